#pragma once

// A font of a workbook: the default font (Arial, 10 points), bold or not.
class XlsFont
{
public:
    void setBold(bool bold) { m_bold = bold; }
    bool bold() const { return m_bold; }
    // The size in points (1 to 409; others are kept to that range).
    void setSize(int points) { m_points = points < 1 ? 1 : points > 409 ? 409 : points; }
    int size() const { return m_points; }

private:
    bool m_bold = false;
    int m_points = 10;
};
