// The Standard parameter page, a child of the main view kept hidden in its tab area:
// one load rate; Enter and Escape do nothing.
#pragma once

#include "testpages/ParameterDlg.h"

class CStandardDlg : public CParameterDlg
{
    Q_OBJECT

public:
    explicit CStandardDlg(QWidget *parent = nullptr);
};
