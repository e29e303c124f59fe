// The owner-drawn push button: a flat face that lights up under the pointer, an icon or a bitmap beside
// or above the caption, six state colours and an optional two-state check mode.
#pragma once

#include "platform/ColorRef.h"

#include <QImage>
#include <QPixmap>
#include <QPushButton>

// Where the image and the caption go inside the button.
struct ButtonPlacement
{
    QRect image;   // top-left and size of the image
    QRect caption; // the caption box, moved aside for the image
};
ButtonPlacement PlaceImage(const QRect &item, int width, int height, int alignment, bool hasCaption,
                           bool pressed, bool checkMode);

// The background of slot 0 raised by the smallest per-channel step of min(30, 255 - channel).
COLORREF LightenedColor(COLORREF color);

class CButtonST : public QPushButton
{
    Q_OBJECT
public:
    enum ColorSlot
    {
        BkHot = 0,
        FgHot,
        BkNormal,
        FgNormal,
        BkFocus,
        FgFocus,
        SlotCount
    };

    explicit CButtonST(QWidget *parent = nullptr);
    CButtonST(const QString &caption, QWidget *parent = nullptr);

    // 0 done. The second image of the callers' signature is accepted and not used.
    unsigned AssignStateIcons(const QPixmap &icon, const QPixmap &secondState = QPixmap());
    // 0 done, 2 when the mask cannot be made. Pixels of the transparent colour show the face; the
    // caller's image is left as it was.
    unsigned AssignStateBitmaps(const QImage &bitmap, COLORREF transparent,
                                const QImage &secondState = QImage());
    unsigned LightenBackColor();
    void AssignSlotColor(int slot, COLORREF color);
    COLORREF SlotColor(int slot) const { return m_colors[slot]; }
    void AssignAlignment(int alignment);

    // A check-mode button toggles on each click and keeps its pressed look while checked.
    void SetCheckMode(bool checkMode);
    bool IsCheckMode() const { return m_checkMode; }
    void SetCheck(int check);
    int GetCheck() const { return m_checkMode && isChecked() ? 1 : 0; }
    bool IsHot() const { return m_hot; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

    virtual void PaintBackground(QPainter &painter, const QRect &item);
    virtual void PaintBorder(QPainter &painter, const QRect &item);
    virtual void PaintIcon(QPainter &painter, bool hasCaption, const QRect &item, QRect &caption);
    virtual void PaintBitmap(QPainter &painter, bool hasCaption, const QRect &item, QRect &caption);
    virtual void PaintCaption(QPainter &painter, const QString &text, QRect caption);

private:
    void resetColors();
    void releaseImage();
    void trackHover(const QPoint &localPos, bool leftHeld);
    void setHot(bool hot);
    bool isPressedLook() const;

    COLORREF m_colors[SlotCount];
    int m_alignment = 0;
    QPixmap m_icon;
    QImage m_bitmap; // alpha 0 where the transparent colour was
    bool m_hot = false;
    bool m_checkMode = false;
};
