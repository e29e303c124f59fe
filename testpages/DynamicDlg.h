// The Dynamic parameter page, a child of the main view kept hidden in its tab area:
// a minimum and a maximum rate with a load mode; Enter and Escape close it.
#pragma once

#include "testpages/ParameterDlg.h"

class CDynamicDlg : public CParameterDlg
{
    Q_OBJECT

public:
    explicit CDynamicDlg(QWidget *parent = nullptr);
};
