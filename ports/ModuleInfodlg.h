// The modeless "Module Information" window: every test module of the chassis with its versions, lock
// state, serial number and MAC address, then the controller and the chassis. Outdated modules are grey
// with a red mark, lite modules grey with an "L". The report writers build it too and fill it from what
// the session holds.
#pragma once

#include "platform/ColorRef.h"

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <array>
#include <vector>

class MyCug;
class QGroupBox;
class QLabel;
class QPushButton;
class UtSession;

class CModuleInfodlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ColumnCount = 8;
    static constexpr COLORREF GreyText = 0x00B0B0B0;
    static constexpr COLORREF HeadingBackColor = 0x00FFFFC8;
    // Columns after the side heading.
    enum Column
    {
        NameColumn,
        FirmwareColumn,
        FpgaColumn,
        PromColumn,
        HardwareColumn,
        LockColumn,
        SerialColumn,
        MacColumn
    };
    // One grid row: the side heading, the eight columns and its marks.
    struct Row
    {
        QString heading;
        std::array<QString, ColumnCount> cells;
        bool grey = false;         // every cell, side heading included
        bool outdatedMark = false; // the red mark in the firmware cell
        bool liteMark = false;     // the "L" in the name cell
    };
    struct Table
    {
        std::vector<Row> rows;
        int rowCount = 0; // the grid's rows; rows beyond the filled ones stay empty
        bool liteLegend = false;
        bool outdatedLegend = false;
        bool sorted = false;
    };

    explicit CModuleInfodlg(QWidget *owner = nullptr);

    // Asks the controller and every module for their status and EEPROM, and waits for the answers (in
    // demo mode only the final short wait).
    void ReadBoardInfo();
    // Fills the grid with the fixed values of demo mode.
    void FillDemoInfo();
    // Fills the grid from the session tables.
    void FillHardwareInfo();

    static Table DemoTable(const UtSession &session);
    static Table HardwareTable(const UtSession &session);

    MyCug *Grid() const { return m_grid; }
    bool IsLiteLegendShown() const;
    bool IsOutdatedLegendShown() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void fill(const Table &table);
    void prepareGrid(int rows);
    void readController();

    QGroupBox *m_group = nullptr;
    MyCug *m_grid = nullptr;
    QPushButton *m_ok = nullptr;
    QPixmap m_outdatedBitmap;
    QPixmap m_liteBitmap;
    QLabel *m_outdatedIcon = nullptr;
    QLabel *m_outdatedText = nullptr;
    QLabel *m_liteIcon = nullptr;
    QLabel *m_liteText = nullptr;
};
