// A static text that paints itself: its own colours, a solid or banded gradient background, its own
// font, flashing text, a shadow copy of the text, rotation, and web or mail links.
#pragma once

#include "platform/ColorRef.h"

#include <QFrame>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <optional>

// Static-control styles that choose how the text is laid out.
enum LabelStyle : unsigned
{
    SS_LEFT = 0x0,
    SS_CENTER = 0x1,
    SS_RIGHT = 0x2,
    SS_LEFTNOWORDWRAP = 0xC,
    SS_CENTERIMAGE = 0x200,
};

struct GradientBand
{
    QRect rect;
    COLORREF color;
};
// Left-to-right bands from one colour to another: one per pixel column below 100 pixels, else 100.
QList<GradientBand> gradientBands(const QRect &rect, COLORREF from, COLORREF to);
// The text layout flags for a static style and text.
int labelTextFlags(unsigned style, const QString &text);

class CLabel : public QFrame
{
    Q_OBJECT
public:
    enum LinkKind
    {
        NoLink = 0,
        WebLink = 1,
        MailLink = 2
    };
    enum FlashKind
    {
        NoFlash = 0,
        FlashText = 1,
        FlashBackground = 2
    };
    static constexpr int NotifyCode = 0x8200;

    explicit CLabel(const QString &text = QString(), QWidget *parent = nullptr);

    CLabel &ChangeBackColor(COLORREF color, COLORREF endColor = 0, bool gradient = false);
    CLabel &ChangeTextColor(COLORREF color);
    CLabel &ChangeText(const QString &text);
    CLabel &UseBoldFont(bool bold);
    CLabel &UseFontFace(const QString &face, unsigned char charSet = 0);
    CLabel &UseUnderline(bool underline);
    CLabel &UseItalic(bool italic);
    CLabel &UseStrikeOut(bool strikeOut);
    CLabel &UseFontPointSize(int points);
    CLabel &ShowSunkenEdge(bool show);
    CLabel &ShowBorder(bool show);
    CLabel &MakeTransparent(bool transparent);
    CLabel &BlinkText(bool blink);
    CLabel &BlinkBackground(bool blink);
    CLabel &MakeHyperlink(bool on, bool notifyParent);
    CLabel &UseLinkCursor(const QCursor &cursor);
    CLabel &SetShadowValues(bool shadow, unsigned direction);
    CLabel &RotateText(int degrees, bool rotated);
    CLabel &ChangeSecondColor(COLORREF color);
    CLabel &UseLogFont(const QFont &font);
    CLabel &MakeMailLink(bool on, bool notifyParent);
    CLabel &ChangeLinkTarget(const QString &target);

    void SetStaticStyle(unsigned style);
    void SetControlId(int id) { m_controlId = id; }
    QString GetText() const { return m_text; }
    void RefreshLabel();
    // How links are opened; tests replace it.
    void SetUrlOpener(std::function<bool(const QUrl &)> opener) { m_open = std::move(opener); }
    // The flash timer, for those who need to see it tick.
    QTimer &FlashTimer() { return m_timer; }

signals:
    // A link click when the parent is to be notified instead of the link being opened.
    void linkNotify(int id, int code);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    CLabel &rebuildFont(const std::function<void(QFont &)> &change);
    void updateFrame();
    void startFlash(FlashKind kind, bool on);

    QString m_text;
    unsigned m_style = SS_LEFT;
    COLORREF m_textColor;
    COLORREF m_secondColor = 0xFFFFFF;
    COLORREF m_defaultBrush;
    std::optional<COLORREF> m_chosenBrush;
    QFont m_font;
    bool m_flashPhase = false;
    LinkKind m_linkKind = NoLink;
    bool m_transparent = false;
    bool m_shadow = false;
    bool m_notifyParent = false;
    bool m_rotated = false;
    int m_degrees = 0;
    FlashKind m_flashKind = NoFlash;
    unsigned m_shadowDirection = 0;
    bool m_gradient = false;
    COLORREF m_gradientEnd = 0;
    COLORREF m_backColor = 0;
    QString m_linkTarget;
    bool m_sunken = false;
    bool m_border = false;
    int m_controlId = 0;
    QTimer m_timer;
    std::function<bool(const QUrl &)> m_open;
};
