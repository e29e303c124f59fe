// The chart viewer's pointer shapes, 32 x 32 with the hot spot at (15, 15), drawn once each on first use
// and freed when the application object goes away.
#pragma once

#include <QCursor>

const QCursor &GetZoomInCursor();
const QCursor &GetZoomOutCursor();
const QCursor &GetNoZoomCursor();
const QCursor &GetScrollCursor();
const QCursor &GetHorizontalScrollCursor();
const QCursor &GetVerticalScrollCursor();
