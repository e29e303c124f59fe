// The modeless "Module Information" window: the chassis controller and every module with their
// versions, lock state and serial numbers.
#pragma once

#include <QDialog>

class CModuleInfodlg : public QDialog
{
    Q_OBJECT

public:
    explicit CModuleInfodlg(QWidget *owner = nullptr);

    // Reads the controller's and the modules' status and EEPROM into the session tables (hardware
    // mode only).
    void ReadBoardInfo();
    // Fills the grids with the demonstration values.
    void FillChassisGrid(CModuleInfodlg *window);
    // Fills the grids from the session tables.
    void FillModuleGrid(CModuleInfodlg *window);
};
