#include "app/MainFormView.h"

#include "app/LogDlg.h"

CMainFormView *g_MainView = nullptr;

CMainFormView::CMainFormView(QWidget *parent, const QString &settingsPath)
    : QWidget(parent), LogDlg(new CLogDlg(settingsPath, this))
{
    g_MainView = this;
}

CMainFormView::~CMainFormView()
{
    if (g_MainView == this)
        g_MainView = nullptr;
}

void CMainFormView::RequestStop()
{
    StopRequested = 1;
    emit stopRequested();
}

void CMainFormView::AppendLog(CMainFormView *view, const QString &text)
{
    if (view)
        view->LogDlg->AppendLog(text);
}

void CMainFormView::OnCommand(int command)
{
    emit commandReceived(command);
}

// The navigation tree and the pages are built by the view's page code; until it exists there is
// nothing to rebuild.
void CMainFormView::BuildTree() {}
void CMainFormView::UpdateTreeState() {}
void CMainFormView::LayoutPages() {}
void CMainFormView::OnShowHomePage() {}
