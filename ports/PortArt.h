// The pictures of the port windows, drawn in code: the image buttons (on white, their transparent colour)
// and the 16 x 16 pictures of the reservation tree and the module legends, by their resource numbers.
#pragma once

#include <QImage>

namespace PortArt {

enum Picture : int
{
    // Image buttons.
    AddPicture = 222,       // right arrow
    RemovePicture = 223,    // left arrow
    RemoveAllPicture = 224, // double left arrow
    TickAllPicture = 309,
    UntickAllPicture = 308,
    // Reservation tree and module legends.
    ActiveDevicesPicture = 139,
    ChassisPicture = 190,
    BoardPicture = 189,
    PortPicture = 188,
    OutdatedModulePicture = 298, // firmware older than the program needs
    LiteModulePicture = 302,
};

QImage bitmap(int id);
// A picture of the reservation tree or the module legends; null for any other id.
QImage treeBitmap(int id);

} // namespace PortArt
