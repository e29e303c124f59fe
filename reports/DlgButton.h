// An export bar of the report window: saves the report as a spreadsheet (kind 0) or a PDF (kind 1).
#pragma once

#include <QWidget>
#include <cstdint>

class QPushButton;

class CDlgButton : public QWidget
{
public:
    CDlgButton(int kind, QWidget *parent = nullptr);

    const int Kind;
    // 1 when the last run left results to save; the bar is shown only then.
    std::uint8_t ResultsReady = 0;
    QPushButton *Button;
};
