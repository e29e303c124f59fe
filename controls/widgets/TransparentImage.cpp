#include "TransparentImage.h"

#include "ColorKey.h"

#include <QPainter>

CTransparentImage::CTransparentImage(QWidget *parent) : QWidget(parent) {}

void CTransparentImage::SetBitmap(const QImage &bitmap)
{
    m_bitmap = bitmap;
    m_keyed = withColorKeyedOut(bitmap, RGB(255, 255, 255));
    if (!bitmap.isNull())
        resize(bitmap.size());
    update();
}

void CTransparentImage::paintEvent(QPaintEvent *)
{
    if (m_keyed.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_keyed);
}
