// The hint window: a small borderless pop-up showing one short line of text beside the grid,
// light yellow by default. Alignment flags: 1 left at the point, 2 right-aligned at it, 4 centred
// on it; 16 above it, 32 centred vertically.
#pragma once

#include "platform/ColorRef.h"

#include <QWidget>

class CUGCtrl;

class CUGHint : public QWidget
{
    Q_OBJECT

public:
    explicit CUGHint(CUGCtrl *ctrl);

    void SetText(const QString &text) { m_text = text; }
    void SetTextColor(COLORREF color) { m_textColor = color; }
    void SetBackColor(COLORREF color) { m_backColor = color; }
    void SetHintFont(const QFont *font) { m_font = font; }
    void SetAlignment(int alignment) { m_alignment = alignment; }
    // Places the hint at the point (in the grid's coordinates), inside the grid, and shows it
    // without taking the focus.
    void MoveHint(int x, int y);
    void Show();
    const QString &Text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    CUGCtrl *m_ctrl;
    QString m_text;
    COLORREF m_textColor = 0;
    COLORREF m_backColor = 0xE0FFFF;
    int m_alignment = 1;
    const QFont *m_font = nullptr;
    int m_lineHeight = 0;
};
