#include "ports/ModuleInfodlg.h"

CModuleInfodlg::CModuleInfodlg(QWidget *owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Module Information"));
    resize(760, 420);
}

void CModuleInfodlg::ReadBoardInfo() {}

void CModuleInfodlg::FillChassisGrid(CModuleInfodlg *) {}

void CModuleInfodlg::FillModuleGrid(CModuleInfodlg *) {}
