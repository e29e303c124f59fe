// The port-pair configuration page: the test pairs of source and host ports. A child page of the main
// view, shown in its right area.
// So far the page itself and the operations the main view calls, which find nothing to do yet: the
// page's controls and grids are still to come.
#pragma once

#include <QWidget>

class CPortConfig : public QWidget
{
public:
    explicit CPortConfig(QWidget *parent = nullptr);
    // Relabels the page's controls from the current language.
    void SetLanguageText();
};
