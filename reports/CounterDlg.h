// The counter dialog of the report window: a fixed table of eleven counters by three kinds of port in a
// grid, with Save, which exports the table to a workbook file with one "Counter" sheet, and Clear. The
// report window owns it as a hidden child.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>

class CButtonST;
class MyCug;
class QGroupBox;

class CCounterDlg : public QWidget
{
public:
    static constexpr int kRows = 11;
    static constexpr int kColumns = 3;
    // The pictures of the Save and Clear buttons (here and on the counter page).
    static constexpr int kSaveBitmap = 226;
    static constexpr int kClearBitmap = 225;

    explicit CCounterDlg(QWidget *parent = nullptr);

    // A 16 x 16 picture on white (the transparent colour): a disk for Save, a cross for Clear; null for
    // any other id.
    static QImage ButtonBitmap(int id);

    // The grid's size, headings and heading font.
    void InitCounterGrid();
    // The row headings, one per counter; an empty title leaves its heading empty.
    void SetRowTitles(const QStringList &titles);
    // The buttons' texts and the column headings in the current language.
    void SetButtonTexts();
    // Save: the table into a workbook file the user chooses.
    void OnSave();
    // Clear: empties the counter cells; the headings stay.
    void OnClear();

    QGroupBox *FrameBox;
    MyCug *CounterGrid;
    CButtonST *SaveButton;
    CButtonST *ClearButton;
    // Shown in the workbook's header lines.
    QString TesterName = QStringLiteral("New Tester");
    QString DutName = QStringLiteral("New DUT_Device");

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The frame over the whole dialog, the buttons along its top and the grid below them.
    void OnSize();
};

// The local time of a time value (seconds since 1970) as "yyyy-MM-dd HH:mm:ss"; empty when it has none.
QString FormatLocalTime(std::int64_t time);

// Asks for a file name and writes the dialog's grid into it as a workbook with one sheet "Counter": a
// title, the tester and device names, the time, and the table with its headings from cell B11 on.
// Cancel writes nothing; a file that cannot be written is reported and an old one stays as it was.
void ExportCounterWorkbook(CCounterDlg &dialog);
