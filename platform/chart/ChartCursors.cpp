#include "platform/chart/ChartCursors.h"

#include <QBitmap>
#include <QCoreApplication>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <array>
#include <memory>

namespace {

enum Shape
{
    ZoomIn,
    ZoomOut,
    NoZoom,
    Scroll,
    HorizontalScroll,
    VerticalScroll,
    ShapeCount
};

std::array<std::unique_ptr<QCursor>, ShapeCount> g_cursors;

void DestroyChartViewerCursors()
{
    for (auto &cursor : g_cursors)
        cursor.reset();
}

// Draws one picture twice: into the mask (what shows) and into the bitmap (black where set).
struct CursorPainter
{
    QBitmap bitmap{32, 32};
    QBitmap mask{32, 32};
    QPainter black{&bitmap};
    QPainter shown{&mask};

    CursorPainter()
    {
        bitmap.fill(Qt::color0);
        mask.fill(Qt::color0);
    }
    // A shape filled white (shown, not black) or black.
    void polygon(const QPolygon &points, bool blackFill)
    {
        shown.setPen(Qt::color1);
        shown.setBrush(Qt::color1);
        shown.drawPolygon(points);
        black.setPen(blackFill ? Qt::color1 : Qt::color0);
        black.setBrush(blackFill ? Qt::color1 : Qt::color0);
        black.drawPolygon(points);
    }
    void blackRect(int x, int y, int w, int h)
    {
        shown.fillRect(x, y, w, h, Qt::color1);
        black.fillRect(x, y, w, h, Qt::color1);
    }
    QCursor finish()
    {
        black.end();
        shown.end();
        return QCursor(bitmap, mask, 15, 15);
    }
};

QCursor makeGlass(Shape shape)
{
    CursorPainter p;
    // The handle, about 5 pixels thick, down to the lower right.
    p.polygon(QPolygon({{19, 21}, {21, 19}, {27, 25}, {25, 27}}), true);
    p.blackRect(20, 20, 5, 5);
    // The lens: a white disc with a black rim over rows and columns 9 to 21.
    for (QPainter *painter : {&p.shown, &p.black}) {
        painter->setPen(QPen(Qt::color1, 1));
        painter->setBrush(painter == &p.shown ? Qt::color1 : Qt::color0);
        painter->drawEllipse(9, 9, 12, 12);
    }
    if (shape != NoZoom)
        p.blackRect(12, 15, 7, 1);
    if (shape == ZoomIn)
        p.blackRect(15, 12, 1, 7);
    return p.finish();
}

QCursor makeScroll(Shape shape)
{
    CursorPainter p;
    const bool across = shape != VerticalScroll;
    const bool upDown = shape != HorizontalScroll;
    // Arrow heads outlined in white: a white head one pixel larger under a black one.
    const auto head = [&](QPolygon outline, QPolygon inner) {
        p.polygon(outline, false);
        p.polygon(inner, true);
    };
    if (upDown) {
        head(QPolygon({{15, 2}, {21, 9}, {9, 9}}), QPolygon({{15, 3}, {19, 8}, {11, 8}}));
        head(QPolygon({{15, 29}, {21, 22}, {9, 22}}), QPolygon({{15, 28}, {19, 23}, {11, 23}}));
    }
    if (across) {
        head(QPolygon({{2, 15}, {9, 9}, {9, 21}}), QPolygon({{3, 15}, {8, 11}, {8, 19}}));
        head(QPolygon({{29, 15}, {22, 9}, {22, 21}}), QPolygon({{28, 15}, {23, 11}, {23, 19}}));
    }
    p.polygon(QPolygon({{13, 12}, {18, 12}, {18, 18}, {13, 18}}), false);
    p.blackRect(14, 13, 4, 5);
    return p.finish();
}

const QCursor &cursor(Shape shape)
{
    std::unique_ptr<QCursor> &slot = g_cursors[shape];
    if (!slot) {
        if (std::all_of(g_cursors.begin(), g_cursors.end(), [](const auto &c) { return !c; }))
            qAddPostRoutine(DestroyChartViewerCursors);
        slot = std::make_unique<QCursor>(shape <= NoZoom ? makeGlass(shape) : makeScroll(shape));
    }
    return *slot;
}

} // namespace

const QCursor &GetZoomInCursor()
{
    return cursor(ZoomIn);
}

const QCursor &GetZoomOutCursor()
{
    return cursor(ZoomOut);
}

const QCursor &GetNoZoomCursor()
{
    return cursor(NoZoom);
}

const QCursor &GetScrollCursor()
{
    return cursor(Scroll);
}

const QCursor &GetHorizontalScrollCursor()
{
    return cursor(HorizontalScroll);
}

const QCursor &GetVerticalScrollCursor()
{
    return cursor(VerticalScroll);
}
