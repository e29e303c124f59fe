// One cell of the grid: a record of optional properties, each present only while its bit in the
// property mask is set. Cells are merged in layers to build what the grid shows.
#pragma once

#include "platform/ColorRef.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <memory>

class CUGCellFormat;
class QFont;
class QPen;
class QPixmap;

// Property mask bits.
namespace CellProp {
constexpr std::uint32_t Text = 1u << 0;
constexpr std::uint32_t EditMask = 1u << 1;
constexpr std::uint32_t Label = 1u << 2;
constexpr std::uint32_t DataType = 1u << 3;
constexpr std::uint32_t ReservedInt = 1u << 4;
constexpr std::uint32_t CellType = 1u << 5;
constexpr std::uint32_t CellTypeParam = 1u << 6;
constexpr std::uint32_t TextColor = 1u << 7;
constexpr std::uint32_t BackColor = 1u << 8;
constexpr std::uint32_t HighlightTextColor = 1u << 9;
constexpr std::uint32_t HighlightBackColor = 1u << 10;
constexpr std::uint32_t BorderStyle = 1u << 11;
constexpr std::uint32_t BorderPen = 1u << 12;
constexpr std::uint32_t Font = 1u << 13;
constexpr std::uint32_t Bitmap = 1u << 14;
constexpr std::uint32_t Alignment = 1u << 15;
constexpr std::uint32_t ExtraData = 1u << 16;
constexpr std::uint32_t Join = 1u << 17;
constexpr std::uint32_t Format = 1u << 21;
constexpr std::uint32_t StyleCell = 1u << 23;
constexpr std::uint32_t ReadOnly = 1u << 24;
constexpr std::uint32_t Decimals = 1u << 25;
constexpr std::uint32_t NoGrouping = 1u << 26;
constexpr std::uint32_t ThemeStyle = 1u << 27;
} // namespace CellProp

// Data types.
namespace CellData {
constexpr std::uint16_t Text = 1;
constexpr std::uint16_t Number = 2;
constexpr std::uint16_t Check = 3;
constexpr std::uint16_t Date = 4;
constexpr std::uint16_t Currency = 5;
} // namespace CellData

class CUGCell
{
public:
    static constexpr std::uint32_t kDefaultProperties = 0x08008788;
    static constexpr int kMaxDecimals = 20;

    CUGCell();

    int ResetToDefaults();
    void ResetAllFields();
    int MergeFrom(const CUGCell &source);

    void AssignText(const QString &text);
    int SetNumber(double number);
    double GetNumber() const;
    int GetBoolValue() const;
    // The text as shown; for a number cell it is formatted and kept as the cell's text. Null
    // when the cell has no text property.
    const QString *GetDisplayText();
    int ChangeDataType(int dataType);
    void ClearOwnedData();

    static double ParseLocaleNumber(const QString &text);
    // The date value (days since 1899-12-30) of "yyyy-MM-dd[ HH:mm[:ss]]" or "M/d/yyyy".
    // Not a date at all: 0.0 and invalid; a date form with impossible values: -1.0 and invalid.
    static double ParseDateText(const QString &text, bool *valid);

    bool Has(std::uint32_t bits) const { return (m_properties & bits) == bits; }
    bool IsReadOnly() const { return Has(CellProp::ReadOnly) && m_readOnly != 0; }
    bool IsJoined() const { return Has(CellProp::Join); }

    // The auxiliary object, owned by the cell and the cells merged from it.
    std::shared_ptr<void> m_auxiliary;
    std::uint32_t m_properties = kDefaultProperties;
    std::uint8_t m_useTheme = 1;
    CUGCellFormat *m_format = nullptr;
    CUGCell *m_styleCell = nullptr;
    double m_number = 0.0;
    QString m_text;
    QString m_label;
    QString m_editMask;
    std::uint16_t m_dataType = CellData::Text;
    int m_readOnly = 0;
    int m_reservedInt = -1;
    int m_decimals = 0;
    int m_cellTypeIndex = -1;
    int m_cellTypeParam = -1;
    COLORREF m_textColor = 0;
    COLORREF m_backColor = 0;
    COLORREF m_highlightTextColor = 0;
    COLORREF m_highlightBackColor = 0;
    std::uint16_t m_borderStyle = 0;
    const QPen *m_borderPen = nullptr;
    const QFont *m_font = nullptr;
    const QPixmap *m_bitmap = nullptr;
    std::uint16_t m_alignment = 1;
    QByteArray m_extraData;
    int m_joinOrigin = 0;
    int m_joinRowOffset = -1;
    int m_joinColOffset = -1;
    int m_themeStyle = 16;
};
