#include "GifAnimator.h"

#include "GifDecoder.h"

#include <QPainter>

GifAnimator::GifAnimator(QSize size, COLORREF background, QList<AnimationFrame> frames)
    : m_surface(size, QImage::Format_ARGB32_Premultiplied), m_background(fromColorRef(background)),
      m_frames(std::move(frames))
{
    m_surface.fill(m_background);
}

AnimationFrame GifAnimator::fromGifFrame(const GifFrame &frame)
{
    QImage picture(frame.width, frame.height, QImage::Format_ARGB32);
    for (int y = 0; y < frame.height; ++y)
        std::copy_n(frame.pixels.data() + static_cast<std::size_t>(y) * frame.width, frame.width,
                    reinterpret_cast<QRgb *>(picture.scanLine(y)));
    return AnimationFrame{picture, QPoint(frame.left, frame.top), frame.delay == GifNoDelay ? 0 : frame.delay,
                          frame.disposal};
}

int GifAnimator::frameDelayMs(std::uint32_t delay)
{
    return delay < 5 ? 100 : static_cast<int>(delay * 10);
}

int GifAnimator::start()
{
    if (m_frames.isEmpty())
        return 0;
    dispose();
    return render();
}

int GifAnimator::step()
{
    if (m_frames.isEmpty())
        return 0;
    dispose();
    if (++m_current >= m_frames.size()) {
        m_current = 0;
        m_surface.fill(m_background);
    }
    return render();
}

int GifAnimator::render()
{
    const AnimationFrame &frame = m_frames.at(m_current);
    const QRect area(frame.offset, frame.picture.size());
    if (frame.disposal == 3)
        m_restore = m_surface.copy(area);
    QPainter painter(&m_surface);
    painter.drawImage(frame.offset, frame.picture);
    return frameDelayMs(frame.delay);
}

void GifAnimator::dispose()
{
    const AnimationFrame &frame = m_frames.at(m_current);
    const QRect area(frame.offset, frame.picture.size());
    if (frame.disposal == 2) {
        QPainter painter(&m_surface);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(area, m_background);
    } else if (frame.disposal == 3 && !m_restore.isNull()) {
        QPainter painter(&m_surface);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(frame.offset, m_restore);
        m_restore = QImage();
    }
}
