// "Select Ports to Modify": applies a value chosen in the all-ports row of the physical-settings grid
// to the port rows flagged in the page's row flags.
// So far the members the grid sets and the applying step; the port list is still to come.
#pragma once

#include <QDialog>
#include <QString>

class CPortInfoConfig;

class CDlgPortCfgSet : public QDialog
{
    Q_OBJECT

public:
    explicit CDlgPortCfgSet(QWidget *parent = nullptr);

    // Writes the value into the column of every flagged port row, with the row's dependent cells,
    // then repaints the grid.
    void ApplyToCheckedPorts(const QString &value, int column);

    CPortInfoConfig *Owner = nullptr;
    int Column = 0;
    QString Value;
};
