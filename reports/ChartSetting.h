// The modal "Custom Chart Setting" dialog of a result page: for the test of the page that opened it
// (ChartSettingOpener), the test pairs ticked on that test's configuration page and the frame sizes of
// its custom frame-size table as check rows, an initially empty "Currently Setting:" list with "Add"
// and "Del", and "Auto (Running Step)", which shows whether the page's chart follows the running step
// and, while ticked, locks the lists. Nothing it shows is stored; it closes with Esc or Enter only.
#pragma once

#include <QDialog>

class CButtonST;
class CPortCheckGrid;
class QCheckBox;
class QPushButton;

class CChartSetting : public QDialog
{
    Q_OBJECT

public:
    // Check style of the rows.
    static constexpr int kRowCheckStyle = 4096;

    explicit CChartSetting(QWidget *parent = nullptr);

    // The lists, "Add" and "Del" follow "Auto (Running Step)": locked while it is ticked.
    void OnAutoClicked();
    // Removes every ticked row of "Currently Setting:".
    void OnDelClicked();

    CButtonST *TestPairButton;
    CPortCheckGrid *FrameSizeGrid;
    CPortCheckGrid *TestPairGrid;
    CPortCheckGrid *CurrentGrid;
    QCheckBox *AutoCheck;
    QPushButton *AddButton;
    QPushButton *DelButton;
    QPushButton *OkButton;

protected:
    // Enter ends the dialog unless a push button has the focus, which it then presses.
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The rows of the opening page's test.
    void fillFromOpener();
};
