// A picture control that shows a still picture or plays an animated GIF. The GIF is decoded by our
// own reader; the animation runs on a timer of the user-interface thread, the only thread that paints.
#pragma once

#include "GifAnimator.h"

#include <QTimer>
#include <QWidget>

class CPictureEx : public QWidget
{
    Q_OBJECT
public:
    explicit CPictureEx(QWidget *parent = nullptr);
    ~CPictureEx() override;

    // The program's running indicator (resource 212).
    bool LoadGifResource();
    // A GIF87a/GIF89a goes through the GIF reader, anything else to the image loaders whole. 0 when
    // nothing could be loaded.
    bool LoadPictureData(const QByteArray &data);
    // 0 when nothing is loaded; with several frames the animation starts and the result is 0; a still
    // picture is drawn and the result is 1.
    bool StartAnimation();
    // Stops at once; the current frame is kept, so the next start resumes there.
    void StopAnimation();
    void ReleasePicture();

    bool IsAnimating() const { return m_timer.isActive(); }
    QSize GetPictureSize() const { return m_pictureSize; }
    const GifAnimator &Animator() const { return m_animator; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool prepareSurface(QSize size);
    void showNextFrame();

    QSize m_pictureSize;
    COLORREF m_background = 0;
    bool m_initialised = false;
    QImage m_single;  // a still picture, drawn at (0, 0)
    QImage m_surface; // what the control shows while still
    GifAnimator m_animator;
    bool m_animated = false;
    QTimer m_timer;
};
