// A picture whose bitmap is drawn with pure white as the transparent colour, so the parent's
// background shows through where the bitmap is white.
#pragma once

#include <QImage>
#include <QWidget>

class CTransparentImage : public QWidget
{
    Q_OBJECT
public:
    explicit CTransparentImage(QWidget *parent = nullptr);

    // Replaces the bitmap (the static control's set-image message); the control takes its size.
    void SetBitmap(const QImage &bitmap);
    QImage GetBitmap() const { return m_bitmap; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_bitmap;
    QImage m_keyed; // white pixels made transparent, once per bitmap
};
