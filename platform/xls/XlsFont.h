#pragma once

// A font of a workbook: the default font (Arial, 10 points), bold or not.
class XlsFont
{
public:
    void setBold(bool bold) { m_bold = bold; }
    bool bold() const { return m_bold; }

private:
    bool m_bold = false;
};
