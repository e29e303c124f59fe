// The animation of a GIF, free of any widget or timer: it draws frame after frame into one surface
// with the frames' disposal rules and tells how long each frame is to stay.
#pragma once

#include "platform/ColorRef.h"

#include <QImage>
#include <QList>

struct GifFrame;

struct AnimationFrame
{
    QImage picture; // the frame's own rectangle
    QPoint offset;
    std::uint32_t delay = 0; // hundredths of a second
    int disposal = 0;
};

class GifAnimator
{
public:
    GifAnimator() = default;
    GifAnimator(QSize size, COLORREF background, QList<AnimationFrame> frames);

    static AnimationFrame fromGifFrame(const GifFrame &frame);
    // How long a frame stays: 10 x delay ms, or 100 ms below 5 hundredths; a frame without a delay
    // (no control extension) counts as delay 0.
    static int frameDelayMs(std::uint32_t delay);

    // Disposes of the current frame (the one showing when the animation last stopped), draws it
    // again and returns its wait in ms.
    int start();
    // After the current frame's wait: disposes of it, moves to the next one (clearing the whole surface
    // after the last), draws that and returns its wait in ms.
    int step();

    const QImage &surface() const { return m_surface; }
    int currentFrame() const { return m_current; }
    qsizetype frameCount() const { return m_frames.size(); }

private:
    int render();
    void dispose();

    QImage m_surface;
    QColor m_background;
    QList<AnimationFrame> m_frames;
    int m_current = 0;
    QImage m_restore; // what was under a frame with disposal 3
};
