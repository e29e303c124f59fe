#include "platform/xls/OfficeDrawing.h"

#include "platform/xls/ByteWriter.h"

#include <QCryptographicHash>

#include <cstdint>

namespace {

enum DrawingRecord : std::uint16_t
{
    DggContainer = 0xF000,
    BStoreContainer = 0xF001,
    DgContainer = 0xF002,
    SpgrContainer = 0xF003,
    SpContainer = 0xF004,
    Dgg = 0xF006,
    Bse = 0xF007,
    Dg = 0xF008,
    Spgr = 0xF009,
    Sp = 0xF00A,
    Opt = 0xF00B,
    ClientAnchor = 0xF010,
    ClientData = 0xF011,
    BlipJpeg = 0xF01D,
    BlipPng = 0xF01E,
    SplitMenuColors = 0xF11E,
};

constexpr int kShapeIdsPerDrawing = 1024;
constexpr std::uint16_t kPictureFrame = 75;
constexpr std::uint16_t kBlipTypeJpeg = 5;
constexpr std::uint16_t kBlipTypePng = 6;

void header(ByteWriter &out, std::uint16_t version, std::uint16_t instance, std::uint16_t type,
            std::uint32_t length)
{
    out.u16(std::uint16_t(version | (instance << 4)));
    out.u16(type);
    out.u32(length);
}

QByteArray atom(std::uint16_t version, std::uint16_t instance, std::uint16_t type, const QByteArray &body)
{
    QByteArray bytes;
    ByteWriter out(bytes);
    header(out, version, instance, type, std::uint32_t(body.size()));
    out.bytes(body);
    return bytes;
}

QByteArray container(std::uint16_t instance, std::uint16_t type, const QByteArray &children)
{
    return atom(0xF, instance, type, children);
}

QByteArray storeEntry(const OfficeDrawing::Image &image)
{
    const QByteArray uid = QCryptographicHash::hash(image.data, QCryptographicHash::Md5);
    QByteArray blipBody;
    ByteWriter blipOut(blipBody);
    blipOut.bytes(uid);
    blipOut.u8(0xFF);
    blipOut.bytes(image.data);
    const QByteArray blip = atom(0, image.png ? 0x6E0 : 0x46A, image.png ? BlipPng : BlipJpeg, blipBody);

    QByteArray body;
    ByteWriter out(body);
    const std::uint8_t type = image.png ? kBlipTypePng : kBlipTypeJpeg;
    out.u8(type);
    out.u8(type);
    out.bytes(uid);
    out.u16(0xFF);
    out.u32(std::uint32_t(blip.size()));
    out.u32(std::uint32_t(image.placements));
    out.u32(0); // no delay stream
    out.zeros(4);
    out.bytes(blip);
    return atom(2, type, Bse, body);
}

} // namespace

QByteArray OfficeDrawing::drawingGroup(const std::vector<Image> &images,
                                       const std::vector<int> &shapesPerDrawing)
{
    QByteArray dgg;
    ByteWriter dggOut(dgg);
    std::uint32_t shapesSaved = 0;
    std::uint32_t maxShapeId = 0;
    for (std::size_t i = 0; i < shapesPerDrawing.size(); ++i) {
        const auto shapes = std::uint32_t(shapesPerDrawing[i] + 1); // the pictures and their group
        shapesSaved += shapes;
        maxShapeId = std::uint32_t((i + 1) * kShapeIdsPerDrawing) + shapes;
    }
    dggOut.u32(maxShapeId);
    dggOut.u32(std::uint32_t(shapesPerDrawing.size() + 1));
    dggOut.u32(shapesSaved);
    dggOut.u32(std::uint32_t(shapesPerDrawing.size()));
    for (std::size_t i = 0; i < shapesPerDrawing.size(); ++i) {
        dggOut.u32(std::uint32_t(i + 1));
        dggOut.u32(std::uint32_t(shapesPerDrawing[i] + 2)); // the next free shape id of the drawing
    }

    QByteArray store;
    for (const Image &image : images)
        store.append(storeEntry(image));

    // Default shape properties: fit text to shape, fill and line colours.
    QByteArray defaults;
    ByteWriter defaultsOut(defaults);
    defaultsOut.u16(0x00BF);
    defaultsOut.u32(0x00080008);
    defaultsOut.u16(0x0181);
    defaultsOut.u32(0x08000041);
    defaultsOut.u16(0x01C0);
    defaultsOut.u32(0x08000040);

    QByteArray menuColours;
    ByteWriter menuOut(menuColours);
    for (std::uint32_t colour : {0x0800000Du, 0x0800000Cu, 0x08000017u, 0x100000F7u})
        menuOut.u32(colour);

    QByteArray children = atom(0, 0, Dgg, dgg);
    children.append(container(std::uint16_t(images.size()), BStoreContainer, store));
    children.append(atom(3, 3, Opt, defaults));
    children.append(atom(0, 4, SplitMenuColors, menuColours));
    return container(0, DggContainer, children);
}

std::vector<QByteArray> OfficeDrawing::sheetDrawing(int drawingId, const std::vector<Shape> &shapes)
{
    const auto firstShapeId = std::uint32_t(drawingId * kShapeIdsPerDrawing);

    std::vector<QByteArray> pictures;
    qsizetype picturesSize = 0;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        QByteArray sp;
        ByteWriter spOut(sp);
        spOut.u32(firstShapeId + std::uint32_t(i + 1));
        spOut.u32(0x00000A00); // has an anchor and a shape type
        QByteArray properties;
        ByteWriter propertiesOut(properties);
        propertiesOut.u16(0x4104); // the picture's image, by number
        propertiesOut.u32(std::uint32_t(shapes[i].imageNumber));
        QByteArray children = atom(2, kPictureFrame, Sp, sp);
        children.append(atom(3, 1, Opt, properties));
        children.append(atom(0, 0, ClientAnchor, shapes[i].anchor));
        children.append(atom(0, 0, ClientData, {}));
        pictures.push_back(container(0, SpContainer, children));
        picturesSize += pictures.back().size();
    }

    QByteArray groupShape;
    ByteWriter groupOut(groupShape);
    groupOut.u32(firstShapeId);
    groupOut.u32(0x00000005); // group and patriarch
    QByteArray group = atom(1, 0, Spgr, QByteArray(16, '\0'));
    group.append(atom(2, 0, Sp, groupShape));
    group = container(0, SpContainer, group);

    QByteArray dg;
    ByteWriter dgOut(dg);
    dgOut.u32(std::uint32_t(shapes.size() + 1));
    dgOut.u32(firstShapeId + std::uint32_t(shapes.size()));

    // The containers' lengths cover the pictures that follow in later records.
    QByteArray first;
    ByteWriter firstOut(first);
    const qsizetype groupLength = group.size() + picturesSize;
    header(firstOut, 0xF, 0, DgContainer, std::uint32_t(8 + dg.size() + 8 + groupLength));
    first.append(atom(0, std::uint16_t(drawingId), Dg, dg));
    header(firstOut, 0xF, 0, SpgrContainer, std::uint32_t(groupLength));
    first.append(group);
    if (!pictures.empty())
        pictures.front().prepend(first);
    return pictures;
}

QByteArray OfficeDrawing::pictureObject(int objectId)
{
    QByteArray bytes;
    ByteWriter out(bytes);
    out.u16(0x15); // common object data
    out.u16(0x12);
    out.u16(0x08); // a picture
    out.u16(std::uint16_t(objectId));
    out.u16(0x6011); // locked, printed, automatic fill and line
    out.zeros(12);
    out.u16(0x07); // clipboard format: unspecified
    out.u16(0x02);
    out.u16(0xFFFF);
    out.u16(0x08); // picture option flags: automatic picture
    out.u16(0x02);
    out.u16(0x0001);
    out.u16(0x00); // end
    out.u16(0x00);
    return bytes;
}
