// "Select Ports to Modify": the ports of the physical-settings grid that can take a value chosen in its
// all-ports row, each with a check box that starts ticked. OK marks the ticked rows in the page's row
// flags; the opener then writes the value into those rows with ApplyToCheckedPorts.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

class CButtonST;
class CPortInfoConfig;
class QPushButton;
class QTreeWidget;

class CDlgPortCfgSet : public QDialog
{
    Q_OBJECT

public:
    explicit CDlgPortCfgSet(QWidget *parent = nullptr);

    // Lists every port row that can take Value in Column, ticked; every row's flag is cleared.
    void FillPortTree();
    void OnOK();
    void OnSelectAll();
    void OnUnselectAll();
    // Writes the value into the column of every flagged port row, with the row's dependent cells,
    // then repaints the grid. Nothing is written when the grid was refilled after the list was made.
    void ApplyToCheckedPorts(const QString &value, int column);

    CPortInfoConfig *Owner = nullptr;
    int Column = 0;
    QString Value;

    QTreeWidget *Tree = nullptr;
    CButtonST *UnAllButton = nullptr;
    CButtonST *AllButton = nullptr;
    QPushButton *OkButton = nullptr;
    QPushButton *CancelButton = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Whether the port row can take the value.
    bool isEligible(int row) const;
    bool gridChanged() const;

    // The owner's fill generation the list was made for.
    std::optional<std::uint32_t> m_generation;
    bool m_filled = false;
};
