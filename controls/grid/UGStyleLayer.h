// The switch between the platform's visual styles and the classic look for every drawing site of
// the grid family. The grid draws the classic look only, so every answer is negative and callers
// always draw the classic way.
#pragma once

#include "controls/grid/UgRect.h"

#include <QString>

class QPainter;

class CUGStyleLayer
{
public:
    // Drawing elements and their states.
    enum Element
    {
        ElementCell = 1,
        ElementDropButton = 2,
    };
    enum State
    {
        StateNormal = 0,
        StateSelected = 1,
        StateCurrent = 2,
        StatePressed = 3,
    };

    CUGStyleLayer() = delete;

    static bool IsThemed();
    static bool DrawBackground(QPainter *painter, int elementKind, int elementState, const UgRect &rect,
                               const UgRect *clipRect);
    static bool DrawText(QPainter *painter, int elementKind, int elementState, const QString &text,
                         int textFlags, const UgRect &rect);
    static bool DrawEdge(QPainter *painter, int elementKind, int elementState, const UgRect &rect, int edge,
                         int flags, UgRect *contentRect);
    static void CloseThemes();
};
