// The classic system colours the widgets paint with. The original read them from the desktop; a fixed
// table keeps every widget's look the same on every desktop.
#pragma once

#include "platform/ColorRef.h"

enum class SysColorIndex
{
    Menu = 4,
    WindowText = 8,
    BtnFace = 15,
    BtnShadow = 16,
    BtnText = 18,
    BtnHighlight = 20,
};

constexpr COLORREF classicSysColor(SysColorIndex index)
{
    switch (index) {
    case SysColorIndex::Menu:
    case SysColorIndex::BtnFace:
        return RGB(212, 208, 200);
    case SysColorIndex::BtnShadow:
        return RGB(128, 128, 128);
    case SysColorIndex::BtnHighlight:
        return RGB(255, 255, 255);
    case SysColorIndex::WindowText:
    case SysColorIndex::BtnText:
        break;
    }
    return RGB(0, 0, 0);
}
