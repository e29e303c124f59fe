// An export bar of the report window: one button that saves the report as a spreadsheet (kind 0,
// "Export to Excel") or as a PDF file (kind 1, "Export to PDF").
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>

class CButtonST;

class CDlgButton : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kExcel = 0;
    static constexpr int kPdf = 1;

    CDlgButton(int kind, QWidget *parent = nullptr);

    // The button's text in the current language.
    void SetLanguageText();
    // The picture beside the button's text, on white (the button's transparent colour).
    static QImage ExportPicture(int kind);

    const int Kind;
    // 1 when the last run left results to save; the bar is shown only then.
    std::uint8_t ResultsReady = 0;
    CButtonST *Button;

signals:
    // The user asked to save the report of this bar's kind.
    void ExportClicked(int kind);

private:
    void OnExportClicked();
};
