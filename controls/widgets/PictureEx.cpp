#include "PictureEx.h"

#include "GifDecoder.h"
#include "RunningIndicator.h"
#include "platform/SysColor.h"

#include <QPainter>

CPictureEx::CPictureEx(QWidget *parent) : QWidget(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CPictureEx::showNextFrame);
}

CPictureEx::~CPictureEx()
{
    StopAnimation();
}

bool CPictureEx::LoadGifResource()
{
    return LoadPictureData(RunningIndicatorGif());
}

bool CPictureEx::LoadPictureData(const QByteArray &data)
{
    ReleasePicture();
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(data.constData());
    const auto size = static_cast<std::size_t>(data.size());
    if (!hasGifHeader(bytes, size)) {
        m_single = QImage::fromData(data);
        if (m_single.isNull())
            return false;
        return prepareSurface(m_single.size());
    }
    const GifFile gif = decodeGif(bytes, size);
    if (gif.frames.empty())
        return false;
    const QSize screen(gif.width, gif.height);
    if (gif.frameCount == 1) {
        // A still GIF: its one frame at its place on a transparent picture of the screen's size.
        m_single = QImage(screen, QImage::Format_ARGB32_Premultiplied);
        m_single.fill(Qt::transparent);
        const AnimationFrame frame = GifAnimator::fromGifFrame(gif.frames.front());
        QPainter(&m_single).drawImage(frame.offset, frame.picture);
        return prepareSurface(screen);
    }
    QList<AnimationFrame> frames;
    for (const GifFrame &frame : gif.frames)
        frames.append(GifAnimator::fromGifFrame(frame));
    if (!prepareSurface(screen))
        return false;
    m_animator = GifAnimator(screen, m_background, std::move(frames));
    m_animated = true;
    return true;
}

bool CPictureEx::prepareSurface(QSize size)
{
    m_pictureSize = size;
    resize(size);
    m_background = sysColor(SysColor::BtnFace);
    m_surface = QImage(size, QImage::Format_ARGB32_Premultiplied);
    m_surface.fill(fromColorRef(sysColor(SysColor::Menu)));
    m_initialised = true;
    return true;
}

bool CPictureEx::StartAnimation()
{
    if (!m_initialised)
        return false;
    if (m_animated) {
        if (!m_timer.isActive())
            m_timer.start(m_animator.start());
        update();
        return false;
    }
    if (m_single.isNull())
        return false;
    QPainter(&m_surface).drawImage(QRect(QPoint(0, 0), m_pictureSize), m_single);
    update();
    return true;
}

void CPictureEx::showNextFrame()
{
    m_timer.start(m_animator.step());
    update();
}

void CPictureEx::StopAnimation()
{
    m_timer.stop();
}

void CPictureEx::ReleasePicture()
{
    StopAnimation();
    m_single = QImage();
    m_surface = QImage();
    m_animator = GifAnimator();
    m_animated = false;
    m_initialised = false;
}

void CPictureEx::paintEvent(QPaintEvent *)
{
    if (!m_initialised)
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_animated ? m_animator.surface() : m_surface);
}
