// The port-settings page: the physical settings of every port in a grid. A child page of the main view,
// shown in its right area.
// So far the page itself, the operations the main view calls, which find nothing to do yet, and what
// the settings grid's "Select Ports to Modify" dialog uses: the grid and the per-row flags.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

class CDlgPortCfgSet;
class MyCug;

class CPortInfoConfig : public QWidget
{
    Q_OBJECT

public:
    explicit CPortInfoConfig(QWidget *parent = nullptr);

    // Takes the physical-settings grid and has a choice in its all-ports row open "Select Ports to
    // Modify".
    void AttachSettingsGrid(MyCug *grid);
    // Runs the "Select Ports to Modify" dialog modally and answers its result; tests put a double here.
    using PortCfgSetRunner = std::function<int(CDlgPortCfgSet &)>;
    void SetPortCfgSetRunner(PortCfgSetRunner runner) { m_runPortCfgSet = std::move(runner); }

    // The physical-settings grid, when the page has one.
    MyCug *SettingsGrid = nullptr;
    // One flag per port row of the grid (index = grid row - 1): the rows a value is copied to.
    std::vector<bool> RowFlags;

private:
    PortCfgSetRunner m_runPortCfgSet;
};
