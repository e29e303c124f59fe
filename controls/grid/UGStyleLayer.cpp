#include "controls/grid/UGStyleLayer.h"

bool CUGStyleLayer::IsThemed()
{
    return false;
}

bool CUGStyleLayer::DrawBackground(QPainter *, int, int, const UgRect &, const UgRect *)
{
    return false;
}

bool CUGStyleLayer::DrawText(QPainter *, int, int, const QString &, int, const UgRect &)
{
    return false;
}

bool CUGStyleLayer::DrawEdge(QPainter *, int, int, const UgRect &, int, int, UgRect *)
{
    return false;
}

void CUGStyleLayer::CloseThemes()
{
    // No style handles are ever opened, so there is nothing to close.
}
