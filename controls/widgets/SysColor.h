// The classic system colours the widgets paint with. The original read them from the desktop; a fixed
// table keeps every widget's look the same on every desktop.
#pragma once

#include "platform/ColorRef.h"

enum class SysColorIndex
{
    Menu = 4,
    Window = 5,
    WindowText = 8,
    Highlight = 13,
    HighlightText = 14,
    BtnFace = 15,
    BtnShadow = 16,
    GrayText = 17,
    BtnText = 18,
    BtnHighlight = 20,
    DkShadow3D = 21,
    Light3D = 22,
};

constexpr COLORREF classicSysColor(SysColorIndex index)
{
    switch (index) {
    case SysColorIndex::Menu:
    case SysColorIndex::BtnFace:
    case SysColorIndex::Light3D:
        return RGB(212, 208, 200);
    case SysColorIndex::Window:
    case SysColorIndex::HighlightText:
    case SysColorIndex::BtnHighlight:
        return RGB(255, 255, 255);
    case SysColorIndex::Highlight:
        return RGB(10, 36, 106);
    case SysColorIndex::BtnShadow:
    case SysColorIndex::GrayText:
        return RGB(128, 128, 128);
    case SysColorIndex::DkShadow3D:
        return RGB(64, 64, 64);
    case SysColorIndex::WindowText:
    case SysColorIndex::BtnText:
        break;
    }
    return RGB(0, 0, 0);
}
