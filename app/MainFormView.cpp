#include "app/MainFormView.h"

CMainFormView *g_MainView = nullptr;

CMainFormView::CMainFormView(QWidget *parent) : QWidget(parent)
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
