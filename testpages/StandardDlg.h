// The Standard parameter page, a child of the main view placed in its tab area.
// So far the page itself and the operations the main view calls, which find nothing to do yet: the
// page's controls and grids are still to come.
#pragma once

#include <QWidget>

class CStandardDlg : public QWidget
{
public:
    explicit CStandardDlg(QWidget *parent = nullptr);
    // Relabels the page's controls from the current language.
    void SetLanguageText();
};
