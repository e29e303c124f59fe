#include "app/ShellArt.h"

#include "app/LangMag.h"

#include <QPainter>
#include <QPainterPath>

namespace ShellArt {
namespace {

enum class Glyph
{
    Arrows,
    FolderIn,
    Disk,
    Lines,
    Sliders,
    Chart,
    Play,
    Square,
    Pairs,
    Blank
};

struct ButtonArt
{
    int id;
    Glyph glyph;
    QColor color;
};

constexpr int kButtonSide = 32;

const ButtonArt kButtons[] = {
    {ReconnectPicture, Glyph::Arrows, QColor(0x2e, 0x7d, 0x32)},
    {LoadPicture, Glyph::FolderIn, QColor(0xc7, 0x8b, 0x1a)},
    {SavePicture, Glyph::Disk, QColor(0x1e, 0x5a, 0xa8)},
    {LogPicture, Glyph::Lines, QColor(0x55, 0x55, 0x55)},
    {TestConfigPicture, Glyph::Sliders, QColor(0x6a, 0x3d, 0x9a)},
    {ReportPicture, Glyph::Chart, QColor(0xb0, 0x30, 0x30)},
    {RunIdlePicture, Glyph::Play, QColor(0x2e, 0x9d, 0x3a)},
    {RunRunningPicture, Glyph::Play, QColor(0xa0, 0xa0, 0xa0)},
    {StopRunningPicture, Glyph::Square, QColor(0xd0, 0x30, 0x30)},
    {StopIdlePicture, Glyph::Square, QColor(0xa0, 0xa0, 0xa0)},
    {PairingPicture, Glyph::Pairs, QColor(0x00, 0x7a, 0x8a)},
    {SparePicture, Glyph::Blank, QColor(0xa0, 0xa0, 0xa0)},
};

void drawGlyph(QPainter &p, Glyph glyph, const QColor &color)
{
    p.setPen(QPen(color, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    switch (glyph) {
    case Glyph::Arrows:
        p.drawArc(QRectF(6, 6, 20, 20), 30 * 16, 270 * 16);
        p.setBrush(color);
        p.drawPolygon(QPolygonF({QPointF(24, 4), QPointF(27, 13), QPointF(18, 11)}));
        break;
    case Glyph::FolderIn:
        p.drawRect(QRectF(4, 12, 24, 15));
        p.drawLine(QPointF(4, 12), QPointF(10, 7));
        p.drawLine(QPointF(10, 7), QPointF(16, 7));
        p.drawLine(QPointF(16, 14), QPointF(16, 23));
        p.drawLine(QPointF(12, 19), QPointF(16, 23));
        p.drawLine(QPointF(20, 19), QPointF(16, 23));
        break;
    case Glyph::Disk:
        p.drawRect(QRectF(5, 5, 22, 22));
        p.setBrush(color);
        p.drawRect(QRectF(10, 5, 12, 7));
        break;
    case Glyph::Lines:
        p.drawRect(QRectF(6, 4, 20, 24));
        for (int y = 10; y <= 22; y += 4)
            p.drawLine(QPointF(10, y), QPointF(22, y));
        break;
    case Glyph::Sliders:
        for (int i = 0; i < 3; ++i) {
            const qreal y = 8 + i * 8;
            p.drawLine(QPointF(5, y), QPointF(27, y));
            p.setBrush(color);
            p.drawEllipse(QPointF(9 + i * 7, y), 3, 3);
            p.setBrush(Qt::NoBrush);
        }
        break;
    case Glyph::Chart:
        p.drawLine(QPointF(5, 27), QPointF(27, 27));
        p.setBrush(color);
        p.drawRect(QRectF(8, 17, 4, 10));
        p.drawRect(QRectF(15, 9, 4, 18));
        p.drawRect(QRectF(22, 13, 4, 14));
        break;
    case Glyph::Play:
        p.setBrush(color);
        p.drawPolygon(QPolygonF({QPointF(9, 5), QPointF(27, 16), QPointF(9, 27)}));
        break;
    case Glyph::Square:
        p.setBrush(color);
        p.drawRect(QRectF(7, 7, 18, 18));
        break;
    case Glyph::Pairs:
        p.drawRect(QRectF(3, 10, 9, 12));
        p.drawRect(QRectF(20, 10, 9, 12));
        p.drawLine(QPointF(12, 16), QPointF(20, 16));
        break;
    case Glyph::Blank:
        break;
    }
}

QImage lamp(const QColor &color)
{
    QImage image(12, 12, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(color);
    p.drawEllipse(QRectF(1, 1, 10, 10));
    return image;
}

QImage logo(const QSize &size, const QString &title)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(QColor(192, 192, 192));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient band(0, 0, size.width(), 0);
    band.setColorAt(0, QColor(0x1e, 0x5a, 0xa8));
    band.setColorAt(1, QColor(0x00, 0x7a, 0x8a));
    p.fillRect(QRect(0, size.height() / 3, size.width(), size.height() / 3), band);
    QFont font = p.font();
    font.setPixelSize(size.height() / 8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, size.height() / 3, size.width(), size.height() / 3), Qt::AlignCenter, title);
    return image;
}

// The banner strips of the title and the page banner: a blue band, or an amber one in demo mode.
QImage bannerStrip(bool demo)
{
    QImage image(5000, 40, QImage::Format_ARGB32);
    QPainter p(&image);
    QLinearGradient band(0, 0, 0, 40);
    band.setColorAt(0, demo ? QColor(0xf4, 0xd0, 0x8a) : QColor(0xc8, 0xdc, 0xf4));
    band.setColorAt(1, demo ? QColor(0xe0, 0xa0, 0x30) : QColor(0x6e, 0x9c, 0xd8));
    p.fillRect(image.rect(), band);
    return image;
}

// A test picture: a source port feeding receiving ports through the device, one layout per test.
QImage testPicture(int receivers, const QColor &color, const QString &caption)
{
    QImage image(190, 128, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.5));
    p.setBrush(QColor(0xe8, 0xe8, 0xe8));
    p.drawRect(QRectF(75, 34, 40, 40));
    p.setBrush(color);
    p.drawRect(QRectF(10, 46, 30, 16));
    for (int i = 0; i < receivers; ++i) {
        const qreal y = 10 + i * (80.0 / qMax(1, receivers - 1));
        p.drawRect(QRectF(150, y, 30, 16));
        p.drawLine(QPointF(115, 54), QPointF(150, y + 8));
    }
    p.drawLine(QPointF(40, 54), QPointF(75, 54));
    QFont font = p.font();
    font.setPixelSize(12);
    p.setFont(font);
    p.setPen(color.darker(150));
    p.drawText(QRect(0, 104, 190, 22), Qt::AlignCenter, caption);
    return image;
}

// A small arrow pointing right: the buttons that lead on to a test's page.
QImage goArrow(int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0x7d, 0x32));
    const qreal s = side;
    p.drawPolygon(
        QPolygonF({QPointF(s * 0.15, s * 0.35), QPointF(s * 0.5, s * 0.35), QPointF(s * 0.5, s * 0.12),
                   QPointF(s * 0.9, s * 0.5), QPointF(s * 0.5, s * 0.88), QPointF(s * 0.5, s * 0.65),
                   QPointF(s * 0.15, s * 0.65)}));
    return image;
}

// The test pictures: picture id, receiving ports, colour and the language key of the caption.
struct TestPictureArt
{
    int id;
    int receivers;
    QColor color;
    const char *captionKey;
};

const TestPictureArt kTestPictures[] = {
    {MixClassTestPicture, 3, QColor(0x1e, 0x5a, 0xa8), "Tree_Mix_Class"},
    {AggregateTestPicture, 4, QColor(0x2e, 0x7d, 0x32), "Tree_Aggregate_Group"},
    {ScaleGroupTestPicture, 5, QColor(0x6a, 0x3d, 0x9a), "Tree_Scaled_Group"},
    {LatencyTestPicture, 2, QColor(0xb0, 0x30, 0x30), "Tree_Latency"},
    {CapacityTestPicture, 6, QColor(0x00, 0x7a, 0x8a), "Tree_Capacity"},
    {JoinLeaveTestPicture, 1, QColor(0xc7, 0x8b, 0x1a), "Tree_Join_Leave"},
};

const TestPictureArt *testPictureArt(int id)
{
    for (const TestPictureArt &art : kTestPictures)
        if (art.id == id)
            return &art;
    return nullptr;
}

// The 16 x 16 pictures of the reservation tree and the module marks, on white.
} // namespace

QString testPictureCaption(int id)
{
    const TestPictureArt *art = testPictureArt(id);
    return art ? g_LangMag.GetString(QString::fromLatin1(art->captionKey)) : QString();
}

QImage bitmap(int id)
{
    if (const TestPictureArt *art = testPictureArt(id))
        return testPicture(art->receivers, art->color, testPictureCaption(id));
    for (const ButtonArt &art : kButtons) {
        if (art.id != id)
            continue;
        QImage image(kButtonSide, kButtonSide, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        drawGlyph(p, art.glyph, art.color);
        return image;
    }
    switch (id) {
    case LampOffPicture:
    case LampOnPicture:
        return lamp(QColor(0x30, 0xc0, 0x40));
    case LampBlinkPicture:
        return lamp(QColor(0x10, 0x50, 0x18));
    case IdleToolPicture: {
        QImage image(28, 28, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x90, 0x90, 0x90), 2));
        p.drawEllipse(QRectF(4, 4, 20, 20));
        return image;
    }
    case LogoPicture:
        return logo(QSize(720, 456), QStringLiteral("Tavrix-IGMP-TQ"));
    case BannerPicture:
    case DemoBannerPicture:
        return bannerStrip(id == DemoBannerPicture);
    case ApplyArrowPicture:
        return goArrow(16);
    case DescriptionArrowPicture:
        return goArrow(24);
    default:
        return QImage();
    }
}

QIcon icon(int id)
{
    if (id != NotConnectedIcon && id != ConnectedIcon)
        return QIcon();
    QImage image(32, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor color = id == ConnectedIcon ? QColor(0x2e, 0x9d, 0x3a) : QColor(0xc0, 0x30, 0x30);
    p.setPen(QPen(color, 2));
    p.drawLine(QPointF(2, 8), QPointF(12, 8));
    p.drawLine(QPointF(20, 8), QPointF(30, 8));
    p.setBrush(color);
    if (id == ConnectedIcon)
        p.drawRect(QRectF(11, 4, 10, 8));
    else
        p.drawEllipse(QPointF(16, 8), 4, 4);
    return QIcon(QPixmap::fromImage(image));
}

} // namespace ShellArt
