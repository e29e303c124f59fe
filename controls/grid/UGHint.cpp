#include "controls/grid/UGHint.h"

#include "controls/grid/UGCtrl.h"

CUGHint::CUGHint(CUGCtrl *ctrl) : QWidget(ctrl, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
}
