#include "controls/grid/GridPaint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QRawFont>
#include <QTextLayout>

namespace GridPaint {

QPen makePen(COLORREF color, int width)
{
    QPen pen(fromColorRef(color), width, Qt::SolidLine);
    pen.setCosmetic(true);
    return pen;
}

void fillRect(QPainter &painter, const UgRect &rect, COLORREF color)
{
    if (rect.width() > 0 && rect.height() > 0)
        painter.fillRect(toQRect(rect), fromColorRef(color));
}

void drawFocusRect(QPainter &painter, const UgRect &rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.save();
    QPen pen(Qt::black, 1, Qt::DotLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // QPainter outlines a rectangle one pixel wider and taller than its size.
    painter.drawRect(QRect(rect.left, rect.top, rect.width() - 1, rect.height() - 1));
    painter.restore();
}

void drawLine(QPainter &painter, const QPen &pen, int x1, int y1, int x2, int y2)
{
    if (x1 == x2 && y1 == y2)
        return;
    // Only horizontal and vertical lines are drawn by the grid: stop one pixel short of the end.
    const int stepX = x2 > x1 ? -1 : (x2 < x1 ? 1 : 0);
    const int stepY = y2 > y1 ? -1 : (y2 < y1 ? 1 : 0);
    // A 1-pixel line is a 1-pixel-wide rectangle: exact pixels, no antialiasing questions.
    const QColor color = pen.color();
    const int endX = x2 + stepX;
    const int endY = y2 + stepY;
    const QRect line(QPoint(std::min(x1, endX), std::min(y1, endY)),
                     QPoint(std::max(x1, endX), std::max(y1, endY)));
    painter.fillRect(line, color);
}

void fillPolygon(QPainter &painter, const QPoint *points, int count, COLORREF color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fromColorRef(color));
    painter.drawPolygon(points, count);
    painter.restore();
}

ShapedTextCache::ShapedTextCache() = default;
ShapedTextCache::~ShapedTextCache() = default;

namespace {

// Whether a text is drawn as one line of glyphs in logical order: no control characters or line
// and paragraph separators.
bool isPlainLine(const QString &text)
{
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        if (code < 0x20 || code == 0x7f || code == 0x2028 || code == 0x2029)
            return false;
    }
    return true;
}

} // namespace

const ShapedTextCache::Shaped *ShapedTextCache::shapedIn(QPainter &painter, const QFont &font,
                                                         const QString &text)
{
    const int dpi = painter.device()->logicalDpiY();
    const Qt::LayoutDirection direction = painter.layoutDirection();
    FontTexts *entry = nullptr;
    for (const std::unique_ptr<FontTexts> &known : m_fonts) {
        if (known->dpi == dpi && known->direction == direction && known->requested == font) {
            entry = known.get();
            break;
        }
    }
    if (!entry) {
        if (m_fonts.size() >= kFonts)
            m_fonts.erase(m_fonts.begin());
        painter.setFont(font);
        m_fonts.push_back(std::make_unique<FontTexts>(
            FontTexts{font, painter.font(), dpi, direction, QFontMetrics(font), {}, {}}));
        entry = m_fonts.back().get();
    } else if (painter.font() != entry->used) {
        painter.setFont(font);
        entry->used = painter.font();
    }
    if (!isPlainLine(text))
        return nullptr;
    if (const auto found = entry->texts.constFind(text); found != entry->texts.constEnd())
        return &*found;
    // Shaping for the cache costs more than drawing once: a text is kept only when it comes again,
    // so values that change with every paint cost no more than drawing them plainly.
    if (!entry->seenOnce.remove(text)) {
        if (entry->seenOnce.size() >= kTextsPerFont)
            entry->seenOnce.clear();
        entry->seenOnce.insert(text);
        return nullptr;
    }
    if (entry->texts.size() >= kTextsPerFont)
        entry->texts.clear();

    Shaped shaped;
    shaped.width = entry->metrics.horizontalAdvance(text);
    shaped.height = entry->metrics.height();
    shaped.ascent = entry->metrics.ascent();
    // The same shaping QPainter::drawText gives a line at a point: one unbroken line in the
    // painter's direction, starting at the point.
    QTextLayout layout(text, painter.font(), painter.device());
    QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(direction);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
    shaped.lineAscent = line.ascent();
    shaped.runs = layout.glyphRuns();
    // The line's box, where underlines and overlines lie, and every glyph's own bounds.
    for (const QGlyphRun &run : std::as_const(shaped.runs)) {
        shaped.ink |= run.boundingRect();
        const QRawFont rawFont = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            shaped.ink |= rawFont.boundingRect(glyphs[i]).translated(positions[i]);
    }
    return &*entry->texts.insert(text, std::move(shaped));
}

void drawText(QPainter &painter, const UgRect &rect, const QString &text, const QFont &font, COLORREF color,
              const TextPlacement &placement, ShapedTextCache *cache)
{
    if (text.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    const int alignment = placement.alignment;
    if (placement.mode != TextClipped) {
        painter.save();
        painter.setFont(font);
        painter.setPen(fromColorRef(color));
        painter.setClipRect(toQRect(rect), Qt::IntersectClip);
        QRect area = toQRect(rect);
        int flags = 0;
        flags |= (alignment & 4) ? Qt::AlignHCenter : (alignment & 2) ? Qt::AlignRight : Qt::AlignLeft;
        flags |= (alignment & 32) ? Qt::AlignVCenter : (alignment & 16) ? Qt::AlignBottom : Qt::AlignTop;
        QString shown = text;
        if (placement.mode == TextWordBreak) {
            flags |= Qt::TextWordWrap;
        } else {
            flags |= Qt::TextSingleLine;
            shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, area.width());
        }
        painter.drawText(area, flags, shown);
        painter.restore();
        return;
    }
    // Font and pen stay set for the next cell, which mostly uses the same ones.
    const ShapedTextCache::Shaped *shaped = cache ? cache->shapedIn(painter, font, text) : nullptr;
    int textWidth, height, ascent;
    if (shaped) {
        textWidth = shaped->width;
        height = shaped->height;
        ascent = shaped->ascent;
    } else {
        if (!cache)
            painter.setFont(font);
        const QFontMetrics metrics(font);
        // Only a right or centred text needs its width.
        textWidth = (alignment & (2 | 4)) ? metrics.horizontalAdvance(text) : 0;
        height = metrics.height();
        ascent = metrics.ascent();
    }
    int x;
    if (alignment & 4)
        x = rect.left + (rect.width() - textWidth) / 2;
    else if (alignment & 2)
        x = rect.right - placement.margin - textWidth;
    else
        x = rect.left + placement.margin + placement.xOffset;
    int top;
    if (alignment & 32)
        top = rect.top + (rect.height() - height) / 2;
    else if (alignment & 16)
        top = rect.bottom - height;
    else
        top = rect.top + 1;
    const QColor penColor = fromColorRef(color);
    if (painter.pen().color() != penColor || painter.pen().style() != Qt::SolidLine)
        painter.setPen(penColor);
    const int baseline = top + ascent;
    // A text whose glyphs lie inside its rectangle needs no clipping, the common case.
    bool inside = false;
    if (shaped) {
        const QRectF ink = shaped->ink.translated(x, baseline - shaped->lineAscent);
        inside = ink.left() >= rect.left && ink.right() <= rect.right && ink.top() >= rect.top &&
                 ink.bottom() <= rect.bottom;
    }
    if (!inside) {
        painter.save();
        painter.setClipRect(toQRect(rect), Qt::IntersectClip);
    }
    if (shaped) {
        for (const QGlyphRun &run : shaped->runs)
            painter.drawGlyphRun(QPointF(x, baseline - shaped->lineAscent), run);
    } else {
        painter.drawText(QPoint(x, baseline), text);
    }
    if (!inside)
        painter.restore();
}

void drawPixmap(QPainter &painter, int x, int y, int width, int height, const QPixmap &pixmap)
{
    if (width == pixmap.width() && height == pixmap.height())
        painter.drawPixmap(x, y, pixmap);
    else
        painter.drawPixmap(QRect(x, y, width, height), pixmap);
}

} // namespace GridPaint
