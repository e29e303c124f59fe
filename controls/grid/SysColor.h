// The system colours the grid family draws with. They come from one fixed table of the classic
// desktop values, so every machine (and every test image) shows the same colours.
#pragma once

#include "platform/ColorRef.h"

enum class SysColor
{
    Window,
    WindowText,
    BtnFace,
    BtnShadow,
    BtnHighlight,
    BtnText,
    Highlight,
    HighlightText,
    GrayText,
    InfoBackground,
    InfoText,
};

constexpr COLORREF sysColor(SysColor index)
{
    switch (index) {
    case SysColor::Window:
        return RGB(255, 255, 255);
    case SysColor::WindowText:
        return RGB(0, 0, 0);
    case SysColor::BtnFace:
        return RGB(240, 240, 240);
    case SysColor::BtnShadow:
        return RGB(160, 160, 160);
    case SysColor::BtnHighlight:
        return RGB(255, 255, 255);
    case SysColor::BtnText:
        return RGB(0, 0, 0);
    case SysColor::Highlight:
        return RGB(51, 153, 255);
    case SysColor::HighlightText:
        return RGB(255, 255, 255);
    case SysColor::GrayText:
        return RGB(109, 109, 109);
    case SysColor::InfoBackground:
        return RGB(255, 255, 225);
    case SysColor::InfoText:
        return RGB(0, 0, 0);
    }
    return RGB(0, 0, 0);
}

// Width of a vertical and height of a horizontal scroll bar, in pixels.
constexpr int kScrollBarSize = 17;
