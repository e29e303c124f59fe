#pragma once

#include <cstdint>

class XlsFont;

// A cell format of a workbook. Colours are indices of the standard 56-colour palette (8 to 63);
// the number format is a built-in format number (4 is "#,##0.00").
class XlsFormat
{
public:
    enum AlignH : std::uint8_t
    {
        AlignHGeneral = 0,
        AlignHLeft = 1,
        AlignHCentre = 2,
        AlignHRight = 3
    };
    enum AlignV : std::uint8_t
    {
        AlignVTop = 0,
        AlignVCentre = 1,
        AlignVBottom = 2,
        AlignVJustify = 3,
        AlignVDistributed = 4
    };
    enum Border : std::uint8_t
    {
        BorderNone = 0,
        BorderThin = 1
    };
    enum Fill : std::uint8_t
    {
        FillNone = 0,
        FillSolid = 1
    };
    static constexpr std::uint8_t kAutomaticColour = 0x40;

    void setFont(const XlsFont *font) { m_font = font; }
    void setAlignH(AlignH align) { m_alignH = align; }
    void setAlignV(AlignV align) { m_alignV = align; }
    // Sets the same border on all four sides.
    void setBorder(Border border) { m_border = border; }
    void setBorderColor(std::uint8_t colour) { m_borderColour = paletteColour(colour); }
    void setFillPattern(Fill fill) { m_fill = fill; }
    void setPatternForegroundColor(std::uint8_t colour) { m_fillColour = paletteColour(colour); }
    void setNumFormat(std::uint16_t builtInFormat) { m_numFormat = builtInFormat; }

    const XlsFont *font() const { return m_font; }
    AlignH alignH() const { return m_alignH; }
    AlignV alignV() const { return m_alignV; }
    Border border() const { return m_border; }
    std::uint8_t borderColour() const { return m_borderColour; }
    Fill fill() const { return m_fill; }
    std::uint8_t fillColour() const { return m_fillColour; }
    std::uint16_t numFormat() const { return m_numFormat; }

private:
    // Anything outside the palette is taken as the automatic colour.
    static std::uint8_t paletteColour(std::uint8_t colour)
    {
        return colour >= 8 && colour <= 63 ? colour : kAutomaticColour;
    }

    const XlsFont *m_font = nullptr;
    AlignH m_alignH = AlignHGeneral;
    AlignV m_alignV = AlignVBottom;
    Border m_border = BorderNone;
    std::uint8_t m_borderColour = kAutomaticColour;
    Fill m_fill = FillNone;
    std::uint8_t m_fillColour = kAutomaticColour;
    std::uint16_t m_numFormat = 0;
};
