// The hint window: a small borderless pop-up showing a short text beside the grid, light yellow
// by default.
#pragma once

#include <QWidget>

class CUGCtrl;

class CUGHint : public QWidget
{
    Q_OBJECT

public:
    explicit CUGHint(CUGCtrl *ctrl);
};
