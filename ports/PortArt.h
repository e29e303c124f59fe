// The pictures of the port windows' image buttons, drawn in code on white (their transparent colour):
// 222 add (right arrow), 223 remove (left arrow), 224 remove all (double left arrow), 309 tick all,
// 308 untick all.
#pragma once

#include <QImage>

namespace PortArt {
QImage bitmap(int id);
// The 16 x 16 pictures of the reservation tree and the module legends: 139 active devices,
// 190 chassis, 189 board, 188 port, 298 firmware outdated, 302 lite module; null for any other id.
QImage treeBitmap(int id);
}
