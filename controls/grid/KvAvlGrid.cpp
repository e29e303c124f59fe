#include "controls/grid/KvAvlGrid.h"

CKvAvlGrid::CKvAvlGrid(QWidget *parent) : CKvPortlistGrid(parent) {}

void CKvAvlGrid::HookSetUpGrid()
{
    CKvPortlistGrid::HookSetUpGrid();
    if (m_colCount >= 0)
        SetColumnCount(m_colCount);
}
