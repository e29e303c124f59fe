#pragma once

#include <QByteArray>

#include <vector>

// The drawing layer of a workbook, as far as placed pictures need it: the book-wide drawing group
// that stores the images, and per sheet one drawing with a picture shape for each placement.
namespace OfficeDrawing {

struct Image
{
    QByteArray data;
    bool png;       // PNG, otherwise JPEG
    int placements; // how many shapes show it
};

struct Shape
{
    int imageNumber;   // 1-based, in the order of the drawing group
    QByteArray anchor; // 18 bytes: flags, then the cell corners and their fractions
};

// The data of the MSODRAWINGGROUP record; `shapesPerDrawing` gives each sheet drawing's picture count.
QByteArray drawingGroup(const std::vector<Image> &images, const std::vector<int> &shapesPerDrawing);

// The data of a sheet's MSODRAWING records: element i goes in the record before the OBJ of shape i.
std::vector<QByteArray> sheetDrawing(int drawingId, const std::vector<Shape> &shapes);

// The data of the OBJ record of picture object `objectId` (1-based within the sheet).
QByteArray pictureObject(int objectId);

} // namespace OfficeDrawing
