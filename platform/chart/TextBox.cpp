#include "platform/chart/TextBox.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QRegularExpression>
#include <QtMath>

TextBox::TextBox(const QString &text, const QString &font, double size, ChartColor color)
    : m_text(text), m_font(font), m_size(size), m_color(color)
{
}

void TextBox::setBackground(ChartColor color, ChartColor edge, ChartEffect effect)
{
    m_background = color;
    m_edge = edge;
    m_effect = effect;
}

void TextBox::setFont(const QString &font, double size)
{
    m_font = font;
    m_size = size;
}

QFont TextBox::font() const
{
    return fontOf(m_font, m_size);
}

QFont TextBox::fontOf(const QString &file, double size)
{
    QString name = file.toLower();
    if (name.endsWith(QStringLiteral(".ttf")))
        name.chop(4);
    const bool serif = name.startsWith(QStringLiteral("times"));
    if (name.startsWith(QStringLiteral("times")))
        name.remove(0, 5);
    else if (name.startsWith(QStringLiteral("arial")))
        name.remove(0, 5);
    else
        name.clear();
    QFont font;
    font.setFamilies(serif ? QStringList{QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")}
                           : QStringList{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(serif ? QFont::Serif : QFont::SansSerif);
    font.setPixelSize(qMax(1, qRound((size > 0 ? size : 8) * 96.0 / 72.0)));
    font.setBold(name == QStringLiteral("bd") || name == QStringLiteral("bi"));
    font.setItalic(name == QStringLiteral("i") || name == QStringLiteral("bi"));
    return font;
}

QString TextBox::applyMarkup(const QString &text, QString &font, double &size, ChartColor &color)
{
    static const QRegularExpression prefix(QStringLiteral(R"(^<\*([^*]*)\*>)"));
    const QRegularExpressionMatch match = prefix.match(text);
    if (!match.hasMatch())
        return text;
    for (const QString &item : match.captured(1).split(u',', Qt::SkipEmptyParts)) {
        const qsizetype equals = item.indexOf(u'=');
        if (equals <= 0)
            continue;
        const QString key = item.left(equals).trimmed().toLower();
        const QString value = item.mid(equals + 1).trimmed();
        bool ok = false;
        if (key == QStringLiteral("font")) {
            font = value;
        } else if (key == QStringLiteral("size")) {
            const double parsed = value.toDouble(&ok);
            if (ok && parsed > 0)
                size = parsed;
        } else if (key == QStringLiteral("color")) {
            const uint parsed = value.toUInt(&ok, 16);
            if (ok)
                color = ChartColor(std::uint32_t(parsed));
        }
    }
    return text.mid(match.capturedLength());
}

QSizeF TextBox::textSize(const QString &text) const
{
    const QFontMetricsF metrics(font());
    const QStringList lines = text.split(u'\n');
    double width = 0;
    for (const QString &line : lines)
        width = qMax(width, metrics.horizontalAdvance(line));
    return {width, metrics.height() * lines.size()};
}

QSizeF TextBox::rotatedSize(const QString &text) const
{
    const QSizeF size = textSize(text);
    const double a = qDegreesToRadians(m_angle);
    const double c = qAbs(qCos(a));
    const double s = qAbs(qSin(a));
    return {size.width() * c + size.height() * s, size.width() * s + size.height() * c};
}

QPointF TextBox::alignedTopLeft(QPointF anchor, QSizeF size, int alignment)
{
    double x = anchor.x();
    double y = anchor.y();
    switch (alignment) {
    case BottomLeft:
    case Left:
    case TopLeft:
        break;
    case BottomRight:
    case Right:
    case TopRight:
        x -= size.width();
        break;
    default:
        x -= size.width() / 2;
        break;
    }
    switch (alignment) {
    case TopLeft:
    case Top:
    case TopRight:
        break;
    case BottomLeft:
    case Bottom:
    case BottomRight:
        y -= size.height();
        break;
    default:
        y -= size.height() / 2;
        break;
    }
    return {x, y};
}

QRectF TextBox::paintAt(QPainter &painter, const QString &text, QPointF anchor, int alignment,
                        double padding) const
{
    const QSizeF inner = rotatedSize(text);
    const QSizeF outer(inner.width() + 2 * padding, inner.height() + 2 * padding);
    const QRectF box(alignedTopLeft(anchor, outer, alignment), outer);
    paintIn(painter, text, box);
    return box;
}

void TextBox::paintIn(QPainter &painter, const QString &text, const QRectF &box) const
{
    painter.save();
    if (m_background.isVisible() || m_edge.isVisible()) {
        painter.setPen(m_edge.isVisible() ? m_edge.pen(1) : QPen(Qt::NoPen));
        painter.setBrush(m_background.isVisible() ? m_background.brush() : QBrush(Qt::NoBrush));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        if (m_effect.kind == ChartEffect::Glass) {
            // A glare over the upper half, fading downwards.
            QLinearGradient glare(box.topLeft(), QPointF(box.left(), box.center().y()));
            glare.setColorAt(0, QColor(255, 255, 255, 180));
            glare.setColorAt(1, QColor(255, 255, 255, 40));
            const double inset = qMax(1, m_effect.glare);
            painter.fillRect(
                QRectF(box.left() + inset, box.top() + 1, box.width() - 2 * inset, box.height() / 2 - 1),
                glare);
        }
    }
    painter.setFont(font());
    painter.setPen(m_color.color());
    const QSizeF size = textSize(text);
    painter.translate(box.center());
    painter.rotate(-m_angle);
    painter.drawText(QRectF(-size.width() / 2, -size.height() / 2, size.width(), size.height()),
                     Qt::AlignCenter, text);
    painter.restore();
}
