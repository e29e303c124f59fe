// The ports still available for a role.
#pragma once

#include "controls/grid/KvPortlistGrid.h"

class CKvAvlGrid : public CKvPortlistGrid
{
    Q_OBJECT

public:
    explicit CKvAvlGrid(QWidget *parent = nullptr);
    void HookSetUpGrid() override;
};
