// The view's creation: its controls on the form, the page windows, the splitter and the elapsed time.
#include "app/MainFormView.h"

#include "app/DialogUnits.h"
#include "app/DlgDescription.h"
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
#include "engine/TestReportDlg.h"
#include "platform/SysColor.h"
#include "ports/PortConfig.h"
#include "ports/PortInfoConfig.h"
#include "ports/SysInfoDlg.h"
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
constexpr int kTestPictureIds[6] = {274, 275, 276, 233, 278, 279};
constexpr QSize kLogSize(694, 440);

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
    DescriptionFrame = placed(new QGroupBox(QStringLiteral("Description"), this), kDescriptionFrame);
    ElapsedFrame = placed(new QGroupBox(this), kElapsedFrame);
    TitleLabel = placed(new CStaticEx(this), kTitle);
    TitleLabel->SetText(kProductName);
    TitleLabel->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    NavTree = placed(new QTreeWidget(this), kTree);
    NavTree->setHeaderHidden(true);
    NavTree->setColumnCount(1);
    Banner = placed(new CStaticEx(this), kBanner);
    Banner->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
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
    ElapsedCaption = placed(new QLabel(QStringLiteral("Elapsed\nTime"), this), kElapsedCaption);
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
    Banner->SetBackgroundBitmap(QPixmap::fromImage(ShellArt::bitmap(demo ? 136 : 135)));
    BannerFont = derivedFont(Banner->font(), 24, 8);
    Banner->setFont(BannerFont);
    TitleLabel->SetBackgroundBitmap(QPixmap::fromImage(ShellArt::bitmap(135)));
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

    for (size_t i = 0; i < TestPictures.size(); ++i)
        TestPictures[i] = ShellArt::bitmap(kTestPictureIds[i]);
    TestPicture->SetBitmap(TestPictures[0]);
    TestPicture->show();

    DescriptionTitle->SetText(g_LangMag.GetString(QStringLiteral("Des_IGMP_Des")));
    DescriptionText->setPlainText(g_LangMag.GetString(QStringLiteral("Des_IGMP_TQ")));
    QPalette palette = DescriptionText->palette();
    palette.setColor(QPalette::Base, fromColorRef(sysColor(SysColor::BtnFace)));
    DescriptionText->setPalette(palette);

    ApplyButton->AssignStateBitmaps(ShellArt::bitmap(281), kTransparentWhite);
    ApplyButton->LightenBackColor();
    ApplyButton->AssignAlignment(0);
    ApplyButton->update();

    connectControls();
    BuildTree();
    NavTree->setCurrentItem(TreeItem(TreeNode::Root));
    NavTree->setFocus();
    CreatePages();
    LayoutPages();
}

void CMainFormView::connectControls()
{
    connect(NavTree, &QTreeWidget::itemPressed, this, [this] { m_checkToggled = nullptr; });
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
    create(PortInfoPage);
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
