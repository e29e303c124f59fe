// The pictures of the port windows' image buttons, drawn in code on white (their transparent colour):
// 222 add (right arrow), 223 remove (left arrow), 224 remove all (double left arrow), 309 tick all,
// 308 untick all.
#pragma once

#include <QImage>

namespace PortArt {
QImage bitmap(int id);
}
