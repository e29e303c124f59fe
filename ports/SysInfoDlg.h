// The system-information page: the chassis and its management card. A child page of the main view,
// shown in its right area.
// So far the page itself and the operations the main view calls, which find nothing to do yet: the
// page's controls and grids are still to come.
#pragma once

#include <QWidget>

class CSysInfoDlg : public QWidget
{
public:
    explicit CSysInfoDlg(QWidget *parent = nullptr);
    // Relabels the page's labels from the current language.
    void SetLanguageText();
};
