#include "StaticEx.h"

#include "platform/Prompter.h"
#include "platform/SysColor.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

CStaticEx::CStaticEx(QWidget *parent)
    : QWidget(parent), m_textColor(sysColor(SysColor::WindowText)), m_backColor(sysColor(SysColor::BtnFace)),
      m_open([](const QString &target) { return QDesktopServices::openUrl(QUrl::fromUserInput(target)); })
{
}

void CStaticEx::SetText(const QString &text)
{
    m_text = text;
    update();
}

void CStaticEx::SetTextColor(COLORREF color)
{
    m_textColor = color;
    update();
}

void CStaticEx::SetBackColor(COLORREF color)
{
    m_backColor = color;
    update();
}

void CStaticEx::SetBackgroundBitmap(const QPixmap &bitmap)
{
    m_bitmap = bitmap;
    update();
}

void CStaticEx::SetAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

void CStaticEx::SetLinkTarget(const QString &target)
{
    m_linkTarget = target;
    update();
}

void CStaticEx::SetHandCursor(bool hand)
{
    if (hand)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void CStaticEx::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    COLORREF textColor = m_textColor;
    if (!m_bitmap.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), m_bitmap);
    } else {
        painter.fillRect(rect(), fromColorRef(m_backColor));
        if (!m_linkTarget.isEmpty() && m_visited)
            textColor = VisitedColor;
    }
    painter.setPen(fromColorRef(textColor));
    // The text keeps to the contents rectangle: the owner's margins leave room at the edges.
    painter.drawText(contentsRect(), static_cast<int>(m_alignment) | Qt::TextWordWrap, m_text);
}

void CStaticEx::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    if (m_toggleWindow)
        m_toggleWindow->setVisible(!m_toggleWindow->isVisible());
    if (!m_linkTarget.isEmpty()) {
        if (m_open(m_linkTarget)) {
            m_visited = true;
            update();
        } else {
            QApplication::beep();
            Prompter::current().messageBox(QStringLiteral("Unable to open ") + m_linkTarget,
                                           MB_OK | MB_ICONINFORMATION);
        }
    }
    emit clicked();
}
