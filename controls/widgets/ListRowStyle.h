// The per-row style of the skinned list: alignment and colour of a header row's text, the header
// flag and the highlighted cells.
#pragma once

#include "platform/ColorRef.h"

#include <cstdint>

#pragma pack(push, 1)
struct UtListRowStyle
{
    std::uint32_t TextFormat;    // header rows only: 0 left, 1 centre, 2 right
    COLORREF TextColor;          // 0 = black
    std::uint8_t HeaderRow;      // 1 = one band across the whole row
    std::uint32_t HighlightMask; // bit c = cell c highlighted
};
#pragma pack(pop)
static_assert(sizeof(UtListRowStyle) == 13);
