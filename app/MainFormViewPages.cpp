// The view's creation: its controls on the form, the page windows, the splitter and the elapsed time.
#include "app/MainFormView.h"
#include "app/ViewPageDirectory.h"

#include "app/DialogUnits.h"
#include "app/DlgDescription.h"
#include "app/GlobalTables.h"
#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/LogDlg.h"
#include "app/LogoDlg.h"
#include "app/MainFormViewLayout.h"
#include "app/MainFrame.h"
#include "app/ShellArt.h"
#include "controls/widgets/ButtonST.h"
#include "controls/widgets/SplitterControl.h"
#include "controls/widgets/StaticEx.h"
#include "controls/widgets/TransparentImage.h"
#include "engine/Session.h"
#include "platform/SysColor.h"
#include "ports/PortConfig.h"
#include "ports/PortInfoConfig.h"
#include "ports/SysInfoDlg.h"
#include "reports/ChartSettingOpener.h"
#include "reports/CounterDlg.h"
#include "reports/CounterLog.h"
#include "reports/DlgButton.h"
#include "reports/MyPropSheet.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportScale.h"
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

#include <QDateTime>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>
#include <QTextEdit>
#include <QTreeWidget>
#include <algorithm>

namespace {

constexpr COLORREF kElapsedColor = RGB(34, 139, 34);
constexpr COLORREF kDescriptionTitleColor = RGB(160, 82, 13);
constexpr COLORREF kTransparentWhite = RGB(255, 255, 255);
const QString kProductName = QStringLiteral("Tavrix-IGMP-TQ");
constexpr int kTestPictureIds[6] = {ShellArt::MixClassTestPicture,   ShellArt::AggregateTestPicture,
                                    ShellArt::ScaleGroupTestPicture, ShellArt::LatencyTestPicture,
                                    ShellArt::CapacityTestPicture,   ShellArt::JoinLeaveTestPicture};
constexpr QSize kLogSize(694, 440);
constexpr int kEdgeMargin = 4;

// A font of the given pixel height and average character width. Weights below the thinnest (80, 90)
// render as the thinnest.
QFont derivedFont(const QFont &base, int pixelHeight, int averageWidth)
{
    QFont font = base;
    font.setPixelSize(pixelHeight);
    font.setWeight(QFont::Thin);
    const int natural = QFontMetrics(font).averageCharWidth();
    if (natural > 0)
        font.setStretch(std::clamp(100 * averageWidth / natural, 1, 4000));
    return font;
}

template <typename Widget> Widget *placed(Widget *widget, const QRect &dlu)
{
    widget->setGeometry(DialogUnits::toPixels(dlu));
    return widget;
}

} // namespace

void CMainFormView::OnInitialUpdate()
{
    if (TitleLabel)
        return;
    using namespace ViewLayout;
    // The frames first, so that the controls inside them lie above them.
    DescriptionFrame = placed(new QGroupBox(this), kDescriptionFrame);
    ElapsedFrame = placed(new QGroupBox(this), kElapsedFrame);
    TitleLabel = placed(new CStaticEx(this), kTitle);
    TitleLabel->SetText(kProductName);
    TitleLabel->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The sunken edge of the title and banner: their texts keep clear of the sides.
    TitleLabel->setContentsMargins(kEdgeMargin, 0, kEdgeMargin, 0);
    NavTree = placed(new QTreeWidget(this), kTree);
    NavTree->setHeaderHidden(true);
    NavTree->setColumnCount(1);
    Banner = placed(new CStaticEx(this), kBanner);
    Banner->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Banner->setContentsMargins(kEdgeMargin, 0, kEdgeMargin, 0);
    // The tab strip lies over the banner's row, so it comes after the banner.
    TabCtrl = placed(new QTabBar(this), kTab);
    TabCtrl->setDrawBase(false);
    TabCtrl->setExpanding(false);
    TabCtrl->hide();
    ElapsedValue = placed(new CStaticEx(this), kElapsedValue);
    ElapsedValue->SetText(QStringLiteral("XX"));
    ElapsedValue->SetAlignment(Qt::AlignHCenter | Qt::AlignTop);
    DescriptionTitle = placed(new CStaticEx(this), kDescriptionTitle);
    DescriptionTitle->SetText(kProductName + u'.');
    ElapsedCaption = placed(new QLabel(this), kElapsedCaption);
    ElapsedCaption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ElapsedCaption->setWordWrap(true);
    Separator = placed(new QFrame(this), kSeparator);
    Separator->setFrameShape(QFrame::VLine);
    Separator->setFrameShadow(QFrame::Sunken);
    TestPicture = placed(new CTransparentImage(this), kPicture);
    DescriptionText = placed(new QTextEdit(this), kDescriptionText);
    DescriptionText->setReadOnly(true);
    DescriptionText->setLineWrapMode(QTextEdit::WidgetWidth);
    ApplyButton = placed(new CButtonST(this), kApplyButton);

    const bool demo = g_App && g_App->DemoMode;
    Banner->SetBackgroundBitmap(
        QPixmap::fromImage(ShellArt::bitmap(demo ? ShellArt::DemoBannerPicture : ShellArt::BannerPicture)));
    BannerFont = derivedFont(Banner->font(), 24, 8);
    Banner->setFont(BannerFont);
    TitleLabel->SetBackgroundBitmap(QPixmap::fromImage(ShellArt::bitmap(ShellArt::BannerPicture)));
    TitleFont = derivedFont(BannerFont, 24, 8);
    TitleLabel->setFont(TitleFont);

    Splitter = new CSplitterControl(this);
    Splitter->CreateBar(DialogUnits::toPixels(kSplitterPlace), this);
    Splitter->SetRange(kSplitterPosition, kSplitterPosition);

    ElapsedFont = derivedFont(ElapsedValue->font(), 35, 9);
    ElapsedValue->setFont(ElapsedFont);
    ElapsedValue->SetText(QStringLiteral("00:00:00"));
    ElapsedValue->SetTextColor(kElapsedColor);
    DescriptionTitle->SetTextColor(kDescriptionTitleColor);

    setDefaultDescription();
    QPalette palette = DescriptionText->palette();
    palette.setColor(QPalette::Base, fromColorRef(sysColor(SysColor::BtnFace)));
    DescriptionText->setPalette(palette);

    ApplyButton->AssignStateBitmaps(ShellArt::bitmap(ShellArt::ApplyArrowPicture), kTransparentWhite);
    ApplyButton->LightenBackColor();
    ApplyButton->AssignAlignment(0);
    ApplyButton->update();

    connectControls();
    BuildTree();
    NavTree->setCurrentItem(TreeItem(TreeNode::Root));
    NavTree->setFocus();
    CreatePages();
    LayoutPages();
    relabelWindows();
}

const QImage &CMainFormView::TestPictureImage(int index)
{
    static const QImage none;
    if (index < 0 || index >= int(m_testPictures.size()))
        return none;
    // A picture carries its test's name.
    QString caption = ShellArt::testPictureCaption(kTestPictureIds[index]);
    if (m_testPictures[index].isNull() || caption != m_pictureCaptions[index]) {
        m_testPictures[index] = ShellArt::bitmap(kTestPictureIds[index]);
        m_pictureCaptions[index] = std::move(caption);
    }
    return m_testPictures[index];
}

void CMainFormView::relabelWindows()
{
    const auto text = [](const char *key) { return g_LangMag.GetString(QString::fromLatin1(key)); };
    DescriptionFrame->setTitle(text("View_Description"));
    ElapsedCaption->setText(text("Tree_Elapsed_Time"));
    if (g_IsRunning == 0)
        showStatusReady(); // the idle status text follows the language too
    if (LogDlg)
        LogDlg->SetLanguageText();
    if (DescriptionPage)
        DescriptionPage->SetLanguageText();
    if (ReportDlg) {
        static const char *const kTabKeys[] = {"Report_Tab_Mix_Class", "Report_Tab_Aggregate",
                                               "Report_Tab_Scale",     "Report_Tab_Latency",
                                               "Report_Tab_Filter",    "Report_Tab_Counter"};
        for (int tab = 0; tab < int(std::size(kTabKeys)) && tab < ReportDlg->PropSheet->count(); ++tab)
            ReportDlg->PropSheet->setTabText(tab, text(kTabKeys[tab]));
        ReportDlg->CounterPage->SetLanguageText();
        ReportDlg->ExcelBar->SetLanguageText();
        ReportDlg->PdfBar->SetLanguageText();
        ReportDlg->CounterDlg->SetButtonTexts();
        ReportDlg->CounterDlg->SetRowTitles(
            QStringList(g_CounterColumnTitles.begin(), g_CounterColumnTitles.end()));
        for (ReportPage *page : {static_cast<ReportPage *>(ReportDlg->MixClassPage),
                                 static_cast<ReportPage *>(ReportDlg->AggregatePage),
                                 static_cast<ReportPage *>(ReportDlg->ScalePage),
                                 static_cast<ReportPage *>(ReportDlg->LatencyPage),
                                 static_cast<ReportPage *>(ReportDlg->FilterPage)})
            page->SetLanguageText();
    }
}

void CMainFormView::connectControls()
{
    connect(NavTree, &QTreeWidget::itemPressed, this, [this] { m_checkToggled = nullptr; });
    // Items come and go with the language and the selected tests; each change fits the tree again.
    const auto treeChanged = [this] {
        if (!m_treeRebuilding)
            fitTreeTexts();
    };
    connect(NavTree->model(), &QAbstractItemModel::rowsInserted, this, treeChanged);
    connect(NavTree->model(), &QAbstractItemModel::rowsRemoved, this, treeChanged);
    connect(NavTree->model(), &QAbstractItemModel::dataChanged, this, treeChanged);
    connect(NavTree, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem *item) { OnTreeCheckChanged(item); });
    connect(NavTree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { OnTreeClick(item); });
    connect(TabCtrl, &QTabBar::currentChanged, this, [this](int index) { OnTabSelChange(index); });
    connect(ApplyButton, &CButtonST::clicked, this, [this] { OnApplyButton(); });
    connect(Splitter, &CSplitterControl::moved, this, [this](int delta) { LayoutControls(delta); });
    connect(&ElapsedTimer, &QTimer::timeout, this, [this] { OnTimer(kElapsedTimerId); });
}

void CMainFormView::CreatePages()
{
    if (!TabCtrl)
        return;
    fillTabItems();
    const QRect area = TabCtrl->geometry().adjusted(5, 25, -5, -10);
    const auto create = [this, &area](auto *&page) {
        if (page)
            return;
        page = new std::remove_reference_t<decltype(*page)>(this);
        page->setGeometry(area);
        page->hide();
    };
    create(SysInfoPage);
    if (!m_logPlaced) {
        m_logPlaced = true;
        LogDlg->resize(kLogSize);
        CenterLogOnFrame();
        LogDlg->hide();
    }
    if (!PortInfoPage) {
        create(PortInfoPage);
        // Link reports refill the port-settings grid; a burst of them refills once.
        g_Session.PortGridRefresh = [page = PortInfoPage] { page->RequestPortGridRefresh(); };
    }
    create(PortConfigPage);
    create(StandardPage);
    create(DynamicPage);
    create(MaxThroughputPage);
    create(ReportDlg);
    if (g_App)
        ReportDlg->SetPlan(&g_App->TestPlan);
    create(LogoPage);
    create(MixClassPage);
    create(AggregatePage);
    create(ScalePage);
    create(LatencyPage);
    create(CapacityPage);
    create(JoinLeavePage);
    create(DescriptionPage);
    create(SourceFilterPage);
    // A result page's chart setting dialog lists the pairs and frame sizes of its test's page.
    ChartSettingOpener::SetConfigPages({MixClassPage, AggregatePage, ScalePage, LatencyPage});
    // The check grids on the pages reach the pages through the directory.
    if (!m_pageDirectory)
        m_pageDirectory = std::make_unique<ViewPageDirectory>(*this);

    if (Banner->GetText().isEmpty()) {
        LogoPage->show();
    } else if (IsPageShown(TabCtrl)) {
        selectTab(0);
        PortConfigPage->show();
    }
}

void CMainFormView::LayoutControls(int delta)
{
    const auto moveRightEdge = [delta](QWidget *window) {
        CSplitterControl::ResizeHorizontally(window, delta, 1);
    };
    const auto moveLeftEdge = [delta](QWidget *window) {
        CSplitterControl::ResizeHorizontally(window, -delta, 2);
    };
    moveRightEdge(TitleLabel);
    moveRightEdge(NavTree);
    for (QWidget *window : std::initializer_list<QWidget *>{Banner, TabCtrl, LogoPage, PortConfigPage,
                                                            StandardPage, SysInfoPage, LogDlg, PortInfoPage})
        moveLeftEdge(window);
    moveRightEdge(ElapsedFrame);
    moveRightEdge(DescriptionFrame);
    for (QWidget *window : std::initializer_list<QWidget *>{ReportDlg, MixClassPage, AggregatePage})
        moveLeftEdge(window);
    update();
}

QString CMainFormView::ElapsedText(std::int64_t seconds)
{
    // A clock set back during the run shows no negative time.
    seconds = std::max<std::int64_t>(seconds, 0);
    return QString::asprintf("%02d:%02d:%02d", int(seconds / 3600 % 24), int(seconds / 60 % 60),
                             int(seconds % 60));
}

void CMainFormView::CenterLogOnFrame()
{
    if (!g_MainFrame || LogDlg->isVisible())
        return;
    QRect placement(QPoint(), LogDlg->size());
    placement.moveCenter(g_MainFrame->frameGeometry().center());
    LogDlg->move(placement.topLeft());
}

void CMainFormView::OnTimer(int timerId)
{
    if (timerId != kElapsedTimerId || !ElapsedValue)
        return;
    const std::int64_t now = QDateTime::currentSecsSinceEpoch();
    ElapsedValue->SetText(ElapsedText(now - StartTime.Seconds));
}
