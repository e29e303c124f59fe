#include "Label.h"

#include "platform/SysColor.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int flashIntervalMs = 500;
constexpr int maxFaceLength = 31;
} // namespace

QList<GradientBand> gradientBands(const QRect &rect, COLORREF from, COLORREF to)
{
    QList<GradientBand> bands;
    const int width = rect.width();
    const int count = width < 100 ? width : 100;
    if (count <= 0)
        return bands;
    const int bandWidth = width / count;
    const int fromChannels[3] = {GetRValue(from), GetGValue(from), GetBValue(from)};
    const int toChannels[3] = {GetRValue(to), GetGValue(to), GetBValue(to)};
    int accumulators[3];
    int steps[3];
    for (int c = 0; c < 3; ++c) {
        accumulators[c] = fromChannels[c] * 256;
        steps[c] = (toChannels[c] - fromChannels[c]) * 256 / count;
    }
    int left = rect.left();
    const int right = rect.left() + width; // exclusive
    for (int k = 0; k < count; ++k) {
        const int bandRight = k == count - 1 ? right : left + bandWidth;
        bands.append({QRect(left, rect.top(), bandRight - left, rect.height()),
                      RGB(accumulators[0] / 256, accumulators[1] / 256, accumulators[2] / 256)});
        for (int c = 0; c < 3; ++c)
            accumulators[c] += steps[c];
        left = bandRight;
    }
    return bands;
}

int labelTextFlags(unsigned style, const QString &text)
{
    if (style & SS_CENTERIMAGE) {
        if (text.contains(QStringLiteral("\r\n")))
            return Qt::AlignHCenter;
        return Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine;
    }
    int flags = 0;
    switch (style & 0x1F) {
    case SS_CENTER:
        flags = Qt::AlignHCenter | Qt::TextWordWrap;
        break;
    case SS_RIGHT:
        flags = Qt::AlignRight | Qt::TextWordWrap;
        break;
    case SS_LEFTNOWORDWRAP:
        flags = Qt::AlignLeft;
        break;
    default:
        flags = Qt::AlignLeft | Qt::TextWordWrap;
        break;
    }
    if (text.contains(QLatin1Char('\t')))
        flags |= Qt::TextExpandTabs;
    return flags;
}

CLabel::CLabel(const QString &text, QWidget *parent)
    : QFrame(parent), m_text(text), m_textColor(sysColor(SysColor::WindowText)),
      m_defaultBrush(sysColor(SysColor::BtnFace)), m_font(font()),
      m_open([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_flashPhase = !m_flashPhase;
        RefreshLabel();
    });
}

void CLabel::RefreshLabel()
{
    update();
    if (m_transparent && parentWidget())
        parentWidget()->update(geometry());
}

CLabel &CLabel::ChangeBackColor(COLORREF color, COLORREF endColor, bool gradient)
{
    m_backColor = color;
    m_gradientEnd = endColor;
    m_gradient = gradient;
    m_chosenBrush.reset();
    if (!gradient)
        m_chosenBrush = color;
    RefreshLabel();
    return *this;
}

CLabel &CLabel::ChangeTextColor(COLORREF color)
{
    m_textColor = color;
    RefreshLabel();
    return *this;
}

CLabel &CLabel::ChangeText(const QString &text)
{
    m_text = text;
    RefreshLabel();
    return *this;
}

CLabel &CLabel::rebuildFont(const std::function<void(QFont &)> &change)
{
    change(m_font);
    RefreshLabel();
    return *this;
}

CLabel &CLabel::UseBoldFont(bool bold)
{
    return rebuildFont([bold](QFont &font) { font.setWeight(bold ? QFont::Bold : QFont::Normal); });
}

// The character set is left to the font matcher.
CLabel &CLabel::UseFontFace(const QString &face, unsigned char)
{
    return rebuildFont([face](QFont &font) { font.setFamily(face.left(maxFaceLength)); });
}

CLabel &CLabel::UseUnderline(bool underline)
{
    return rebuildFont([underline](QFont &font) { font.setUnderline(underline); });
}

CLabel &CLabel::UseItalic(bool italic)
{
    return rebuildFont([italic](QFont &font) { font.setItalic(italic); });
}

CLabel &CLabel::UseStrikeOut(bool strikeOut)
{
    return rebuildFont([strikeOut](QFont &font) { font.setStrikeOut(strikeOut); });
}

CLabel &CLabel::UseFontPointSize(int points)
{
    return rebuildFont([points](QFont &font) { font.setPointSize(points); });
}

CLabel &CLabel::UseLogFont(const QFont &newFont)
{
    return rebuildFont([newFont](QFont &font) { font = newFont; });
}

CLabel &CLabel::RotateText(int degrees, bool rotated)
{
    m_degrees = degrees;
    m_rotated = rotated;
    RefreshLabel();
    return *this;
}

void CLabel::updateFrame()
{
    if (m_sunken)
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    else if (m_border)
        setFrameStyle(QFrame::Box | QFrame::Plain);
    else
        setFrameStyle(QFrame::NoFrame);
}

CLabel &CLabel::ShowSunkenEdge(bool show)
{
    m_sunken = show;
    updateFrame();
    return *this;
}

CLabel &CLabel::ShowBorder(bool show)
{
    m_border = show;
    updateFrame();
    return *this;
}

CLabel &CLabel::MakeTransparent(bool transparent)
{
    m_transparent = transparent;
    RefreshLabel();
    return *this;
}

void CLabel::startFlash(FlashKind kind, bool on)
{
    m_timer.stop();
    if (!on) {
        if (kind == FlashText)
            m_flashKind = NoFlash;
        return;
    }
    m_flashPhase = false;
    m_flashKind = kind;
    m_timer.start(flashIntervalMs);
}

CLabel &CLabel::BlinkText(bool blink)
{
    startFlash(FlashText, blink);
    return *this;
}

// A flashing background only repaints every tick; nothing in its look changes.
CLabel &CLabel::BlinkBackground(bool blink)
{
    startFlash(FlashBackground, blink);
    return *this;
}

CLabel &CLabel::MakeHyperlink(bool on, bool notifyParent)
{
    m_linkKind = on ? WebLink : NoLink;
    m_notifyParent = notifyParent;
    return *this;
}

CLabel &CLabel::MakeMailLink(bool on, bool notifyParent)
{
    m_linkKind = on ? MailLink : NoLink;
    m_notifyParent = notifyParent;
    return *this;
}

CLabel &CLabel::UseLinkCursor(const QCursor &cursor)
{
    setCursor(cursor);
    return *this;
}

CLabel &CLabel::SetShadowValues(bool shadow, unsigned direction)
{
    m_shadow = shadow;
    m_shadowDirection = direction;
    RefreshLabel();
    return *this;
}

CLabel &CLabel::ChangeSecondColor(COLORREF color)
{
    m_secondColor = color;
    RefreshLabel();
    return *this;
}

CLabel &CLabel::ChangeLinkTarget(const QString &target)
{
    m_linkTarget = target;
    return *this;
}

void CLabel::SetStaticStyle(unsigned style)
{
    m_style = style;
    RefreshLabel();
}

void CLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect client = contentsRect();
    if (!m_transparent) {
        if (m_gradient) {
            for (const GradientBand &band : gradientBands(client, m_backColor, m_gradientEnd))
                painter.fillRect(band.rect, fromColorRef(band.color));
        } else {
            painter.fillRect(client, fromColorRef(m_chosenBrush.value_or(m_defaultBrush)));
        }
    }
    COLORREF textColor = m_textColor;
    if (m_flashKind == FlashText && !m_flashPhase)
        textColor = m_chosenBrush.value_or(0);
    painter.setFont(m_font);
    painter.setPen(fromColorRef(textColor));
    if (m_rotated) {
        painter.save();
        painter.translate(client.left() + client.width() / 2, client.top() + client.height() / 2);
        painter.rotate(-m_degrees);
        painter.drawText(QPoint(0, 0), m_text);
        painter.restore();
    } else {
        const int flags = labelTextFlags(m_style, m_text);
        const QString text = QString(m_text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        painter.drawText(client, flags, text);
        if (m_shadow) {
            painter.setPen(fromColorRef(m_secondColor));
            const int shift = m_shadowDirection == 0 ? -1 : 1;
            painter.drawText(client.translated(shift, shift), flags, text);
        }
    }
    drawFrame(&painter);
}

void CLabel::mousePressEvent(QMouseEvent *event)
{
    QFrame::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (m_notifyParent)
        emit linkNotify(m_controlId, NotifyCode);
    else if (m_linkKind == WebLink)
        m_open(QUrl::fromUserInput(m_linkTarget.isEmpty() ? m_text : m_linkTarget));
    else if (m_linkKind == MailLink)
        m_open(QUrl(QStringLiteral("mailto:") + m_text));
}
