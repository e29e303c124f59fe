#include "SplitterControl.h"

#include "platform/SysColor.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr COLORREF trackingColor = 0xC8C8C8;
constexpr COLORREF barFill = 0xDCDCC8;
} // namespace

// Two 1-pixel lines one pixel either side of the tracked position, drawn over the parent's children.
class SplitterTrackingLines : public QWidget
{
public:
    SplitterTrackingLines(QWidget *parent, bool vertical) : QWidget(parent), m_vertical(vertical)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QColor color = fromColorRef(trackingColor);
        if (m_vertical) {
            painter.fillRect(0, 0, 1, height(), color);
            painter.fillRect(2, 0, 1, height(), color);
        } else {
            painter.fillRect(0, 0, width(), 1, color);
            painter.fillRect(0, 2, width(), 1, color);
        }
    }

private:
    bool m_vertical;
};

CSplitterControl::CSplitterControl(QWidget *parent) : QWidget(parent) {}

CSplitterControl::~CSplitterControl()
{
    delete m_lines.data();
}

void CSplitterControl::CreateBar(const QRect &rect, QWidget *parent)
{
    setParent(parent);
    m_orientation = rect.width() < rect.height() ? Vertical : Horizontal;
    QRect bar = rect;
    if (m_orientation == Vertical) {
        bar.setWidth(Thickness);
        setCursor(Qt::SizeHorCursor);
    } else {
        bar.setHeight(Thickness);
        setCursor(Qt::SizeVerCursor);
    }
    setGeometry(bar);
    m_minimum = m_maximum = centreLine();
    show();
}

void CSplitterControl::SetRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

const QWidget *CSplitterControl::TrackingLines() const
{
    return m_dragging ? m_lines : nullptr;
}

int CSplitterControl::centreLine() const
{
    return m_orientation == Vertical ? geometry().left() + width() / 2 : geometry().top() + height() / 2;
}

void CSplitterControl::ResizeHorizontally(QWidget *window, int delta, int side)
{
    if (!window || !window->parentWidget() || (side != 1 && side != 2))
        return;
    QRect rect = window->geometry();
    if (side == 1)
        rect.setRight(rect.right() + delta);
    else
        rect.setLeft(rect.left() - delta);
    window->setGeometry(rect);
}

void CSplitterControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect frame = rect();
    painter.setPen(fromColorRef(sysColor(SysColor::BtnHighlight)));
    painter.drawLine(frame.topLeft(), frame.topRight());
    painter.drawLine(frame.topLeft(), frame.bottomLeft());
    painter.setPen(fromColorRef(sysColor(SysColor::BtnShadow)));
    painter.drawLine(frame.bottomLeft(), frame.bottomRight());
    painter.drawLine(frame.topRight(), frame.bottomRight());
    const QRect inner = frame.adjusted(1, 1, -1, -1);
    painter.fillRect(inner, fromColorRef(barFill));
    painter.setPen(fromColorRef(trackingColor));
    painter.drawRect(inner.adjusted(0, 0, -1, -1));
}

void CSplitterControl::showTrackingLines()
{
    QWidget *parent = parentWidget();
    if (!parent)
        return;
    if (!m_lines)
        m_lines = new SplitterTrackingLines(parent, m_orientation == Vertical);
    const int position = m_orientation == Vertical ? m_x : m_y;
    if (m_orientation == Vertical)
        m_lines->setGeometry(position - 1, geometry().top(), 3, height());
    else
        m_lines->setGeometry(geometry().left(), position - 1, width(), 3);
    m_lines->raise();
    m_lines->show();
}

void CSplitterControl::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    const int line = centreLine();
    if (m_orientation == Vertical)
        m_x = line;
    else
        m_y = line;
    m_pressPosition = line;
    showTrackingLines();
}

void CSplitterControl::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const QPoint point = mapToParent(event->position().toPoint());
    m_x = qMax(m_minimum, qMin(m_maximum, point.x()));
    m_y = qMax(m_minimum, qMin(m_maximum, point.y()));
    showTrackingLines();
}

void CSplitterControl::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    if (m_lines)
        m_lines->hide();
    const int delta = (m_orientation == Vertical ? m_x : m_y) - m_pressPosition;
    move(m_orientation == Vertical ? pos() + QPoint(delta, 0) : pos() + QPoint(0, delta));
    if (parentWidget())
        emit moved(delta);
}
