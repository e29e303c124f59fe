// The plain in-cell editor. Where the cell's text may run on into its neighbours, the editor grows
// to the right with the text, cell by cell, never past the cell area and never below its first
// size.
#pragma once

#include "controls/grid/UGEditBase.h"

#include <QRect>

class CUGEdit : public CUGEditBase
{
    Q_OBJECT

public:
    CUGEdit(CUGCtrl *ctrl, QWidget *parent);

    int m_mayGrow = 0;

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    void grow();

    QRect m_firstRect;
};
