#include "ButtonST.h"

#include "ColorKey.h"
#include "platform/SysColor.h"

#include <QApplication>
#include <QEnterEvent>
#include <QPainter>
#include <QStyleOption>
#include <algorithm>

namespace {
constexpr int imageMargin = 3;
constexpr int textFlags = Qt::TextWordWrap | Qt::AlignHCenter | Qt::TextShowMnemonic;

// A 3D frame on the rectangle's outer pixels: top and left in one colour, right and bottom in the other.
void draw3dRect(QPainter &painter, const QRect &rect, COLORREF topLeft, COLORREF bottomRight)
{
    painter.setPen(fromColorRef(topLeft));
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(fromColorRef(bottomRight));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

QPixmap disabledLook(const QPixmap &pixmap, const QWidget *widget)
{
    QStyleOption option;
    option.initFrom(widget);
    return widget->style()->generatedIconPixmap(QIcon::Disabled, pixmap, &option);
}
} // namespace

ButtonPlacement PlaceImage(const QRect &item, int width, int height, int alignment, bool hasCaption,
                           bool pressed, bool checkMode)
{
    ButtonPlacement placement{QRect(item.topLeft(), QSize(width, height)), item};
    int left = item.left();
    int top = item.top();
    if (alignment == 0) {
        if (hasCaption) {
            left += imageMargin;
            placement.caption.setLeft(placement.caption.left() + width + imageMargin);
        } else {
            left += (item.width() - width) / 2;
        }
        top += (item.height() - height) / 2;
    } else {
        left += (item.width() - width) / 2;
        if (hasCaption) {
            top = imageMargin;
            placement.caption.setTop(placement.caption.top() + height);
        } else {
            top += (item.height() - height) / 2;
        }
    }
    if (pressed && !checkMode) {
        ++left;
        ++top;
    }
    placement.image.moveTo(left, top);
    return placement;
}

COLORREF LightenedColor(COLORREF color)
{
    const int channels[3] = {GetRValue(color), GetGValue(color), GetBValue(color)};
    int step = 30;
    for (int channel : channels)
        step = std::min(step, channel + 30 > 255 ? 255 - channel : 30);
    return RGB(channels[0] + step, channels[1] + step, channels[2] + step);
}

CButtonST::CButtonST(QWidget *parent) : CButtonST(QString(), parent) {}

CButtonST::CButtonST(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    resetColors();
    setMouseTracking(true);
    // The button takes the focus when clicked, before the owner's handler runs.
    connect(this, &QAbstractButton::clicked, this, [this] { setFocus(Qt::MouseFocusReason); });
}

void CButtonST::resetColors()
{
    const COLORREF face = sysColor(SysColor::BtnFace);
    const COLORREF text = sysColor(SysColor::BtnText);
    for (int slot = 0; slot < SlotCount; ++slot)
        m_colors[slot] = slot % 2 == 0 ? face : text;
}

void CButtonST::releaseImage()
{
    m_icon = QPixmap();
    m_bitmap = QImage();
}

unsigned CButtonST::AssignStateIcons(const QPixmap &icon, const QPixmap &)
{
    releaseImage();
    m_icon = icon;
    update();
    return 0;
}

unsigned CButtonST::AssignStateBitmaps(const QImage &bitmap, COLORREF transparent, const QImage &)
{
    releaseImage();
    if (bitmap.isNull()) {
        update();
        return 0;
    }
    QImage masked = withColorKeyedOut(bitmap, transparent);
    if (masked.isNull())
        return 2;
    m_bitmap = masked;
    update();
    return 0;
}

unsigned CButtonST::LightenBackColor()
{
    m_colors[BkHot] = LightenedColor(m_colors[BkHot]);
    update();
    return 0;
}

void CButtonST::AssignSlotColor(int slot, COLORREF color)
{
    if (slot < 0 || slot >= SlotCount)
        return;
    m_colors[slot] = color;
    update();
}

void CButtonST::AssignAlignment(int alignment)
{
    m_alignment = alignment;
    update();
}

void CButtonST::SetCheckMode(bool checkMode)
{
    m_checkMode = checkMode;
    setCheckable(checkMode);
    update();
}

void CButtonST::SetCheck(int check)
{
    if (!m_checkMode)
        return;
    setChecked(check == 1 || check == 2);
    update();
}

bool CButtonST::isPressedLook() const
{
    return isDown() || (m_checkMode && isChecked());
}

void CButtonST::setHot(bool hot)
{
    if (m_hot == hot)
        return;
    m_hot = hot;
    update();
}

// A drag that enters the button with the left button held does not light it; the pointer must be
// over this very button, not over a window that covers it.
void CButtonST::trackHover(const QPoint &localPos, bool leftHeld)
{
    if (leftHeld && !m_hot)
        return;
    const bool over = rect().contains(localPos) && QApplication::widgetAt(mapToGlobal(localPos)) == this;
    setHot(over);
}

void CButtonST::enterEvent(QEnterEvent *event)
{
    QPushButton::enterEvent(event);
    trackHover(event->position().toPoint(), QGuiApplication::mouseButtons() & Qt::LeftButton);
}

void CButtonST::mouseMoveEvent(QMouseEvent *event)
{
    QPushButton::mouseMoveEvent(event);
    trackHover(event->position().toPoint(), event->buttons() & Qt::LeftButton);
}

void CButtonST::leaveEvent(QEvent *event)
{
    QPushButton::leaveEvent(event);
    setHot(false);
}

void CButtonST::focusOutEvent(QFocusEvent *event)
{
    QPushButton::focusOutEvent(event);
    setHot(false);
}

// Qt moves the focus off a button that is disabled only when the button had it, so the caret of an
// edit the user is typing in stays where it is.
void CButtonST::changeEvent(QEvent *event)
{
    QPushButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::ActivationChange:
        if (!isActiveWindow())
            setHot(false);
        break;
    case QEvent::EnabledChange:
        if (!isEnabled())
            setHot(false);
        break;
    case QEvent::PaletteChange:
        resetColors();
        update();
        break;
    default:
        break;
    }
}

void CButtonST::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect item = rect();
    PaintBackground(painter, item);
    PaintBorder(painter, item);
    const QString caption = text();
    QRect captionRect = item;
    if (!m_icon.isNull())
        PaintIcon(painter, !caption.isEmpty(), item, captionRect);
    else if (!m_bitmap.isNull())
        PaintBitmap(painter, !caption.isEmpty(), item, captionRect);
    if (!caption.isEmpty())
        PaintCaption(painter, caption, captionRect);
}

void CButtonST::PaintBackground(QPainter &painter, const QRect &item)
{
    COLORREF color = m_colors[BkNormal];
    if (m_hot || isPressedLook())
        color = m_colors[BkHot];
    else if (hasFocus())
        color = m_colors[BkFocus];
    painter.fillRect(item, fromColorRef(color));
}

void CButtonST::PaintBorder(QPainter &painter, const QRect &item)
{
    const COLORREF shadow = sysColor(SysColor::BtnShadow);
    const COLORREF highlight = sysColor(SysColor::BtnHighlight);
    if (isPressedLook())
        draw3dRect(painter, item, shadow, highlight);
    else if (m_hot)
        draw3dRect(painter, item, highlight, shadow);
}

void CButtonST::PaintIcon(QPainter &painter, bool hasCaption, const QRect &item, QRect &caption)
{
    const ButtonPlacement placement = PlaceImage(item, m_icon.width(), m_icon.height(), m_alignment,
                                                 hasCaption, isPressedLook(), m_checkMode);
    caption = placement.caption;
    painter.drawPixmap(placement.image.topLeft(), isEnabled() ? m_icon : disabledLook(m_icon, this));
}

void CButtonST::PaintBitmap(QPainter &painter, bool hasCaption, const QRect &item, QRect &caption)
{
    const ButtonPlacement placement = PlaceImage(item, m_bitmap.width(), m_bitmap.height(), m_alignment,
                                                 hasCaption, isPressedLook(), m_checkMode);
    caption = placement.caption;
    if (isEnabled()) {
        painter.drawImage(placement.image.topLeft(), m_bitmap);
        return;
    }
    // Disabled: the bitmap composed on white, then embossed.
    QPixmap work(m_bitmap.size());
    work.fill(Qt::white);
    QPainter composer(&work);
    composer.drawImage(0, 0, m_bitmap);
    composer.end();
    painter.drawPixmap(placement.image.topLeft(), disabledLook(work, this));
}

void CButtonST::PaintCaption(QPainter &painter, const QString &text, QRect caption)
{
    if (isPressedLook() && !m_checkMode)
        caption.translate(1, 1);
    const QRect box = caption;
    QRect measured = painter.fontMetrics().boundingRect(caption, textFlags, text);
    measured.moveTopLeft(caption.topLeft());
    measured.translate((box.width() - measured.width()) / 2, (box.height() - measured.height()) / 2);
    if (!isEnabled()) {
        painter.setPen(fromColorRef(sysColor(SysColor::BtnHighlight)));
        painter.drawText(measured.translated(1, 1), textFlags, text);
        painter.setPen(fromColorRef(sysColor(SysColor::BtnShadow)));
        painter.drawText(measured, textFlags, text);
        return;
    }
    COLORREF color = m_colors[FgNormal];
    if (m_hot || isPressedLook())
        color = m_colors[FgHot];
    else if (hasFocus())
        color = m_colors[FgFocus];
    painter.setPen(fromColorRef(color));
    painter.drawText(measured, textFlags, text);
}
