// The Max Throughput parameter page, a child of the main view kept hidden in its tab area:
// an initial, a minimum and a maximum rate with a load mode; Enter and Escape close it.
#pragma once

#include "testpages/ParameterDlg.h"

class CMaxThroughputDlg : public CParameterDlg
{
    Q_OBJECT

public:
    explicit CMaxThroughputDlg(QWidget *parent = nullptr);
};
