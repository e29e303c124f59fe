// The rows of a port-list grid as the tests compare them.
#pragma once

#include "controls/grid/KvPortlistGrid.h"

#include <QStringList>

// The rows' names, top to bottom.
inline QStringList rowNames(CKvPortlistGrid *grid)
{
    QStringList names;
    for (int row = 0; row < grid->GetRowCount(); ++row) {
        QString name;
        grid->GetRowName(row, name);
        names << name;
    }
    return names;
}
