// The hot spots of a drawn chart (its image map) and their lookup by point: one rectangle per bar and
// per box-whisker mark, with the attributes its template gave ("title", "path").
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <vector>

struct HotSpot
{
    QRect rect;
    QString title;
    QString path;
};

class ImageMapHandler
{
public:
    explicit ImageMapHandler(std::vector<HotSpot> spots) : m_spots(std::move(spots)) {}

    // The number (from 1) of the last-drawn hot spot under the point, 0 for none.
    int getHotSpot(QPoint point) const;
    // A hot spot by its number; null for 0 or a number out of range.
    const HotSpot *hotSpot(int number) const;
    const std::vector<HotSpot> &spots() const { return m_spots; }

    // The attributes "name='value'" of a template text, as a hot spot (title and path).
    static HotSpot parseAttributes(const QString &attributes);

private:
    std::vector<HotSpot> m_spots;
};
