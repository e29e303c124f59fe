// What a choice in a port row of the physical-settings grid changes in the rest of the row: the
// duplex and master/slave locks that follow the speed and negotiation, and the speed choices of a
// QM-M08 port that follow copper or fibre.
#pragma once

#include <QString>

class MyCug;

namespace PortColumn {
constexpr int Model = 0;
constexpr int Speed = 2;
constexpr int Duplex = 3;
constexpr int Negotiation = 5;
constexpr int Media = 6;
constexpr int MasterSlave = 7;
} // namespace PortColumn

// Applies the rules for the value chosen in the column of the row. The chosen cell itself is not
// written here.
void ApplyPortRowRules(MyCug &grid, int row, int col, const QString &value);
