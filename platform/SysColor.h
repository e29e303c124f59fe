// The system colours the controls paint with. The original read them from the desktop; one fixed
// table of the classic values keeps every window, and every test image, the same on every machine.
#pragma once

#include "platform/ColorRef.h"

enum class SysColor
{
    Window,
    WindowText,
    Menu,
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
    case SysColor::BtnHighlight:
    case SysColor::HighlightText:
        return RGB(255, 255, 255);
    case SysColor::Menu:
    case SysColor::BtnFace:
        return RGB(212, 208, 200);
    case SysColor::BtnShadow:
    case SysColor::GrayText:
        return RGB(128, 128, 128);
    case SysColor::Highlight:
        return RGB(10, 36, 106);
    case SysColor::InfoBackground:
        return RGB(255, 255, 225);
    case SysColor::WindowText:
    case SysColor::BtnText:
    case SysColor::InfoText:
        break;
    }
    return RGB(0, 0, 0);
}
