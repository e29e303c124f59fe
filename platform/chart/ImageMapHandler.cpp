#include "platform/chart/ImageMapHandler.h"

#include <QRegularExpression>

int ImageMapHandler::getHotSpot(QPoint point) const
{
    // Marks drawn later lie on top: the last one containing the point wins.
    for (std::size_t i = m_spots.size(); i > 0; --i) {
        if (m_spots[i - 1].rect.contains(point))
            return int(i);
    }
    return 0;
}

const HotSpot *ImageMapHandler::hotSpot(int number) const
{
    if (number < 1 || std::size_t(number) > m_spots.size())
        return nullptr;
    return &m_spots[std::size_t(number - 1)];
}

HotSpot ImageMapHandler::parseAttributes(const QString &attributes)
{
    static const QRegularExpression attribute(QStringLiteral(R"re((\w+)\s*=\s*(?:'([^']*)'|"([^"]*)"))re"),
                                              QRegularExpression::DotMatchesEverythingOption);
    HotSpot spot;
    for (auto it = attribute.globalMatch(attributes); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString name = match.captured(1).toLower();
        const QString value = match.hasCaptured(2) ? match.captured(2) : match.captured(3);
        if (name == QStringLiteral("title"))
            spot.title = value;
        else if (name == QStringLiteral("href") || name == QStringLiteral("path"))
            spot.path = value;
    }
    return spot;
}
