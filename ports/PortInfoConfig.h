// The port-settings page: the physical settings of every port in a grid. A child page of the main view,
// shown in its right area.
// So far the page itself and the operations the main view calls, which find nothing to do yet: the
// page's controls and grids are still to come.
#pragma once

#include <QWidget>

class CPortInfoConfig : public QWidget
{
public:
    explicit CPortInfoConfig(QWidget *parent = nullptr);
};
