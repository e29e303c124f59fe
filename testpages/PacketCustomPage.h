// "Packet Size Customization": the modal editor of a rate page's custom frame-size table. OK stores the
// rows as shown; Default writes the default rows into the table at once; Cancel, Escape and Enter
// close it without storing.
#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

class CPacketCustomGrid;
class QPushButton;
struct UtCustomFrame;

class CPacketCustomPage : public QDialog
{
    Q_OBJECT

public:
    // Test kinds: 1 Mixed Class, 2 Aggregate, 3 Scale, 4 Latency (its second rate is the step).
    CPacketCustomPage(std::vector<UtCustomFrame> &table, std::uint32_t kind, QWidget *parent = nullptr);

    // Rebuilds the grid from the table.
    void FillTable();
    void OnOkButton();
    void OnDefault();

    CPacketCustomGrid *Grid = nullptr;
    QPushButton *OkButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *DefaultButton = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    std::vector<UtCustomFrame> &m_table;
    std::uint32_t m_kind;
};
