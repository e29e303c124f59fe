#include "ports/PortInfoConfig.h"

#include "controls/grid/MyCug.h"
#include "ports/DlgPortCfgSet.h"

CPortInfoConfig::CPortInfoConfig(QWidget *parent)
    : QWidget(parent), m_runPortCfgSet([](CDlgPortCfgSet &dialog) { return dialog.exec(); })
{
}

void CPortInfoConfig::AttachSettingsGrid(MyCug *grid)
{
    SettingsGrid = grid;
    grid->SetAllPortsRunner([this](int col, const QString &value) {
        CDlgPortCfgSet dialog(this);
        dialog.Owner = this;
        dialog.Column = col;
        dialog.Value = value;
        if (m_runPortCfgSet(dialog) == QDialog::Accepted)
            dialog.ApplyToCheckedPorts(dialog.Value, dialog.Column);
    });
}
