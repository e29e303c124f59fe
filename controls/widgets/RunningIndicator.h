// The running indicator of the tool bar (resource 212): a 28 x 28 GIF89a of six frames, 10 hundredths
// of a second each, drawn by us: a ring of dots whose bright dot goes round.
#pragma once

#include <QByteArray>

QByteArray RunningIndicatorGif();
