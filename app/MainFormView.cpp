// The view's core: its construction, the stop request, the log, and the placing and hiding of its controls
// and pages.
#include "app/MainFormView.h"
#include "app/ViewPageDirectory.h"

#include "app/DialogUnits.h"
#include "app/DlgDescription.h"
#include "app/LogDlg.h"
#include "app/LogoDlg.h"
#include "app/MainFormViewLayout.h"
#include "controls/widgets/ButtonST.h"
#include "controls/widgets/SplitterControl.h"
#include "controls/widgets/StaticEx.h"
#include "controls/widgets/TransparentImage.h"
#include "engine/Session.h"
#include "ports/PortConfig.h"
#include "ports/PortInfoConfig.h"
#include "ports/SysInfoDlg.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgAggregate.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"
#include "testpages/DlgScale.h"
#include "testpages/DlgSourceFilter.h"
#include "testpages/DynamicDlg.h"
#include "testpages/MaxThroughputDlg.h"
#include "testpages/StandardDlg.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>
#include <QTextEdit>
#include <QTreeWidget>

CMainFormView *g_MainView = nullptr;

CMainFormView::CMainFormView(QWidget *parent, const QString &settingsPath)
    : QWidget(parent), LogDlg(new CLogDlg(settingsPath, this))
{
    ElapsedTimer.setInterval(1000);
    g_MainView = this;
}

CMainFormView::~CMainFormView()
{
    if (g_MainView == this)
        g_MainView = nullptr;
    g_Session.PortGridRefresh = nullptr;
}

void CMainFormView::RequestStop()
{
    Run.RequestStop();
}

void CMainFormView::AppendLog(CMainFormView *view, const QString &text)
{
    if (view)
        view->LogDlg->AppendLog(text);
}

void CMainFormView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (Splitter) {
        LayoutPages();
        update();
    }
}

void CMainFormView::LayoutPages()
{
    if (!TitleLabel)
        return;
    using namespace ViewLayout;
    const int W = width();
    const int H = height();
    const QRect title = DialogUnits::toPixels(kTitle);
    const int tw = title.width();
    const int th = title.height();
    const int dh = DialogUnits::toPixels(kDescriptionFrame).height();
    const int eh = DialogUnits::toPixels(kElapsedFrame).height();
    const int pw = TestPicture->width();
    const int ph = TestPicture->height();
    const QSize button = DialogUnits::toPixels(kApplyButton).size();
    const int bw = button.width();
    const int bh = button.height();
    const auto place = [](QWidget *widget, int x, int y, int w, int h) {
        if (widget)
            widget->setGeometry(x, y, w, h);
    };

    place(TitleLabel, 0, 0, tw, th);
    place(DescriptionFrame, 0, H - dh - 5, tw, dh);
    const int titleRight = DescriptionTitle->x() + DescriptionTitle->width();
    place(DescriptionTitle, 10, H - dh + 15, titleRight - 10, 17);
    place(DescriptionText, 10, H - dh + 37, tw - 20, 80);
    place(TestPicture, 3, H - ph - 5, pw, ph);
    place(ApplyButton, pw + 30 - bw, H - bh - 10, bw, bh);
    place(ElapsedFrame, 0, H - dh - eh - 6, tw, eh);
    place(ElapsedValue, tw - 130, H - dh - eh + 9, 120, eh - 25);
    place(ElapsedCaption, 7, H - dh - eh + 12, 55, eh - 28);
    place(Separator, 67, H - dh - eh + 9, 2, eh - 20);
    place(NavTree, 0, th + 5, tw, H - dh - eh - th - 12);
    place(Splitter, tw, 0, Splitter->width(), H);
    place(Banner, tw + 2, 0, W - tw - 2, th);
    for (QWidget *page :
         std::initializer_list<QWidget *>{LogoPage, SysInfoPage, PortInfoPage, PortConfigPage})
        place(page, tw + 4, th + 5, W - tw - 4, H - th - 5);
    // The tab strip lies below the banner: reaching up into its row, it would hide the page's name.
    place(TabCtrl, tw + 4, th, W - tw - 4, H - th);
    const QRect tab = TabCtrl->geometry();
    for (QWidget *page : std::initializer_list<QWidget *>{
             StandardPage, DynamicPage, MaxThroughputPage, MixClassPage, AggregatePage, ScalePage,
             LatencyPage, CapacityPage, JoinLeavePage, SourceFilterPage, DescriptionPage})
        place(page, tab.x() + 5, tab.y() + 25, tab.width() - 10, tab.height() - 30);
    place(ReportDlg, tw + 4, th + 5, W - tw - 4, H - th - 5);
}

void CMainFormView::HideAllPages()
{
    // Every way out of a test page passes here: what was typed into its port grid is kept first, so
    // that showing the page again or a run refills the grid with it.
    storePortSettings(VisibleTestPage());
    if (TabCtrl)
        TabCtrl->hide();
    for (QWidget *page : std::initializer_list<QWidget *>{
             PortConfigPage, StandardPage, LogoPage, SysInfoPage, PortInfoPage, ReportDlg, DynamicPage,
             MaxThroughputPage, MixClassPage, AggregatePage, ScalePage, LatencyPage, CapacityPage,
             JoinLeavePage, SourceFilterPage, DescriptionPage})
        if (page)
            page->hide();
}

bool CMainFormView::IsPageShown(const QWidget *page) const
{
    return page && page->isVisibleTo(this);
}

CTestPageBase *CMainFormView::TestPage(int test) const
{
    CTestPageBase *const pages[TestCount] = {MixClassPage, AggregatePage, ScalePage,       LatencyPage,
                                             CapacityPage, JoinLeavePage, SourceFilterPage};
    return test >= 0 && test < TestCount ? pages[test] : nullptr;
}

int CMainFormView::VisibleTestPage() const
{
    for (int test = 0; test < TestCount; ++test)
        if (IsPageShown(TestPage(test)))
            return test;
    return -1;
}
