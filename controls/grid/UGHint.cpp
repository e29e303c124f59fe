#include "controls/grid/UGHint.h"

#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCtrl.h"

#include <QFontMetrics>
#include <QPainter>

CUGHint::CUGHint(CUGCtrl *ctrl) : QWidget(ctrl, Qt::ToolTip | Qt::FramelessWindowHint), m_ctrl(ctrl)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_lineHeight = QFontMetrics(font()).boundingRect(QStringLiteral("X")).height();
}

void CUGHint::MoveHint(int x, int y)
{
    hide();
    const QFontMetrics metrics(m_font ? *m_font : font());
    const int width = metrics.horizontalAdvance(m_text) + 4;
    const int height = std::max(m_lineHeight, metrics.height()) + 4;
    if (m_alignment & 2)
        x -= width;
    else if (m_alignment & 4)
        x -= width / 2;
    if (m_alignment & 16)
        y -= height;
    else if (m_alignment & 32)
        y -= height / 2;
    // Kept inside the grid.
    x = std::max(0, std::min(x, m_ctrl->width() - width));
    y = std::max(0, std::min(y, m_ctrl->height() - height));
    setGeometry(QRect(m_ctrl->mapToGlobal(QPoint(x, y)), QSize(width, height)));
    Show();
    repaint();
}

void CUGHint::Show()
{
    if (isHidden())
        show();
}

void CUGHint::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const UgRect area = fromQRect(rect());
    GridPaint::fillRect(painter, area, m_backColor);
    // The border a pop-up window has.
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(fromColorRef(m_textColor));
    if (m_font)
        painter.setFont(*m_font);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, m_text);
}
