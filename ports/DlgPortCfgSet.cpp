#include "ports/DlgPortCfgSet.h"

#include "controls/grid/MyCug.h"
#include "controls/grid/PortRowRules.h"
#include "controls/widgets/ButtonST.h"
#include "engine/EngineHost.h"
#include "ports/PortArt.h"
#include "ports/PortInfoConfig.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CDlgPortCfgSet::CDlgPortCfgSet(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(EngineHost::instance().text(QStringLiteral("PortDlg_Select_Ports")));
    Tree = new QTreeWidget(this);
    Tree->setHeaderHidden(true);
    Tree->setRootIsDecorated(false);
    AllButton = new CButtonST(this);
    UnAllButton = new CButtonST(this);
    OkButton = new QPushButton(EngineHost::instance().text(QStringLiteral("PortDlg_OK")), this);
    CancelButton = new QPushButton(EngineHost::instance().text(QStringLiteral("PortDlg_Cancel")), this);
    AllButton->AssignStateBitmaps(PortArt::bitmap(PortArt::TickAllPicture), 0xFFFFFF);
    UnAllButton->AssignStateBitmaps(PortArt::bitmap(PortArt::UntickAllPicture), 0xFFFFFF);
    for (CButtonST *button : {AllButton, UnAllButton}) {
        button->LightenBackColor();
        button->setFixedSize(22, 22);
    }
    auto *marks = new QHBoxLayout;
    marks->setSpacing(5);
    marks->addWidget(AllButton);
    marks->addWidget(UnAllButton);
    marks->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);
    auto *page = new QVBoxLayout(this);
    page->setSpacing(5);
    page->addLayout(marks);
    page->addWidget(Tree, 1);
    page->addLayout(buttons);
    OkButton->setDefault(true);
    resize(300, 360);

    connect(OkButton, &QPushButton::clicked, this, &CDlgPortCfgSet::OnOK);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(AllButton, &QPushButton::clicked, this, &CDlgPortCfgSet::OnSelectAll);
    connect(UnAllButton, &QPushButton::clicked, this, &CDlgPortCfgSet::OnUnselectAll);
}

void CDlgPortCfgSet::showEvent(QShowEvent *event)
{
    if (!m_filled)
        FillPortTree();
    QDialog::showEvent(event);
}

bool CDlgPortCfgSet::isEligible(int row) const
{
    MyCug &grid = *Owner->SettingsGrid;
    // The speed is judged by the row's choices alone (a port whose link is down still takes a speed),
    // whole entries, so that "1G" never matches a longer speed.
    if (Column == PortColumn::Speed)
        return grid.GetCellLabel(Column, row).split(u'\n', Qt::SkipEmptyParts).contains(Value);
    // Any other column takes a value only where its cell is editable.
    return !grid.IsCellReadOnly(Column, row);
}

void CDlgPortCfgSet::FillPortTree()
{
    m_filled = true;
    Tree->clear();
    if (!Owner || !Owner->SettingsGrid)
        return;
    MyCug &grid = *Owner->SettingsGrid;
    m_generation = Owner->FillGeneration;
    const int rows = grid.GetRowCount();
    Owner->RowFlags.assign(std::size_t(std::max(rows - 1, 0)), false);
    for (int row = 1; row < rows; ++row) {
        if (!isEligible(row))
            continue;
        QString port, model;
        grid.GetCellTextTo(-1, row, port);
        grid.GetCellTextTo(PortColumn::Model, row, model);
        auto *item = new QTreeWidgetItem(Tree, {port + QLatin1Char('-') + model});
        item->setData(0, Qt::UserRole, row - 1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
    }
}

bool CDlgPortCfgSet::gridChanged() const
{
    return !Owner || !Owner->SettingsGrid || (m_generation && *m_generation != Owner->FillGeneration);
}

void CDlgPortCfgSet::OnOK()
{
    // The grid was refilled while the list was open: its rows are not those listed.
    if (gridChanged()) {
        reject();
        return;
    }
    for (int i = 0; i < Tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = Tree->topLevelItem(i);
        const int flag = item->data(0, Qt::UserRole).toInt();
        if (flag >= 0 && std::size_t(flag) < Owner->RowFlags.size())
            Owner->RowFlags[std::size_t(flag)] = item->checkState(0) == Qt::Checked;
    }
    accept();
}

void CDlgPortCfgSet::OnSelectAll()
{
    for (int i = 0; i < Tree->topLevelItemCount(); ++i)
        Tree->topLevelItem(i)->setCheckState(0, Qt::Checked);
}

void CDlgPortCfgSet::OnUnselectAll()
{
    for (int i = 0; i < Tree->topLevelItemCount(); ++i)
        Tree->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
}

void CDlgPortCfgSet::ApplyToCheckedPorts(const QString &value, int column)
{
    if (gridChanged())
        return;
    MyCug &grid = *Owner->SettingsGrid;
    const int rows = grid.GetRowCount();
    for (int row = 1; row < rows; ++row) {
        const std::size_t flag = std::size_t(row - 1);
        if (flag >= Owner->RowFlags.size() || !Owner->RowFlags[flag])
            continue;
        grid.SetCellText(column, row, value);
        ApplyPortRowRules(grid, row, column, value);
    }
    grid.RepaintAllParts();
}
