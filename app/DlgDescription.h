// The "Test Panel" page of the main view: the list of the benchmarks and, for the chosen one, its picture
// and a text with the test's objective and procedure. Its button leads on to the configuration page
// of the node selected in the navigation tree.
#pragma once

#include <QWidget>

class CButtonST;
class CMainFormView;
class QGroupBox;
class QLabel;
class QListWidget;

class CDlgDescription : public QWidget
{
public:
    // The list's entries; Source Filter has none.
    static constexpr int kEntryCount = 6;

    explicit CDlgDescription(CMainFormView *view);

    // Selects list entry index (0 to 5), shows its picture and its objective; any other index does nothing.
    void ShowObjective(int index);
    void OnSelectTest();
    // Opens the page of the navigation tree's selected node.
    void OnGoToTest();
    // The objective and procedure of list entry index, in the current language.
    static QString ObjectiveText(int index);
    // The titles, entries and shown objective in the current language.
    void SetLanguageText();

    QGroupBox *PanelBox;
    QGroupBox *DescriptionBox;
    QListWidget *TestList;
    QLabel *Picture;
    QLabel *Objective;
    CButtonST *GoButton;

private:
    void OnInitDialog();

    CMainFormView *m_view;
};
