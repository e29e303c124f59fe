// The main view's texts fit their places in both languages, measured with the real fonts: every item of the
// navigation tree, the title and banner, the description title and text, the banner beside the tab strip,
// the result tables' column titles, the module table's headings, the report window's tabs beside the
// export bars, every control of the seven test pages and the Group Capacity and Join/Leave result grids.
#include "MainWindowTest.h"

#include "app/KvIGMPTQApp.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "controls/grid/MyCug.h"
#include "controls/grid/UGCell.h"
#include "controls/grid/UGCellType.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/widgets/StaticEx.h"
#include "platform/ScriptedPrompter.h"
#include "ports/ModuleInfodlg.h"
#include "reports/DlgButton.h"
#include "reports/MyPropSheet.h"
#include "reports/ReportPage.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"
#include "testpages/DlgSourceFilter.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabBar>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

namespace {

// What a label's text inks: the label drawn without and with its text, compared.
QRect inkedRect(CStaticEx *label)
{
    const QString text = label->GetText();
    label->SetText(QString());
    const QImage bare = label->grab().toImage();
    label->SetText(text);
    const QImage drawn = label->grab().toImage();
    QRect ink;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            if (drawn.pixel(x, y) != bare.pixel(x, y))
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

// Whether a layout places the widget, directly or through a nested layout.
bool layoutHolds(QLayout *layout, const QWidget *widget)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem *item = layout->itemAt(i);
        if (item->widget() == widget || (item->layout() && layoutHolds(item->layout(), widget)))
            return true;
    }
    return false;
}

// What a page draws cut or crowded: a control its layout placed smaller than it needs (a label's
// one-line text, a list's set width), outside its parent, or over another control of the same parent;
// and a label whose text breaks onto a second line in a one-line row.
QStringList crowdedControls(QWidget *page)
{
    QApplication::sendPostedEvents();
    QStringList faults;
    const auto name = [](const QWidget *widget) {
        const auto *label = qobject_cast<const QLabel *>(widget);
        const QString text = label ? label->text() : widget->objectName();
        return QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') + text;
    };
    std::vector<QWidget *> placed;
    for (QWidget *widget : page->findChildren<QWidget *>()) {
        QWidget *parent = widget->parentWidget();
        if (widget->isVisibleTo(page) && parent->layout() && layoutHolds(parent->layout(), widget))
            placed.push_back(widget);
    }
    for (QWidget *widget : placed) {
        const QSize needed = QWidgetItem(widget).minimumSize();
        if (widget->width() < needed.width() || widget->height() < needed.height())
            faults << name(widget) + QStringLiteral(" squeezed");
        if (!widget->parentWidget()->rect().contains(widget->geometry()))
            faults << name(widget) + QStringLiteral(" outside its parent");
        const auto *label = qobject_cast<const QLabel *>(widget);
        if (label && label->text().contains(QLatin1Char('\n')))
            faults << name(widget) + QStringLiteral(" on two lines");
        for (QWidget *other : placed) {
            if (other < widget && other->parentWidget() == widget->parentWidget() &&
                other->geometry().intersects(widget->geometry()))
                faults << name(widget) + QStringLiteral(" over ") + name(other);
        }
    }
    return faults;
}

// What a result grid cannot show whole: a column title or a cell text wider than its column (or
// wrapped), or a column beyond the grid's visible width.
QStringList cutGridTexts(QTableWidget *grid)
{
    QApplication::sendPostedEvents();
    QStringList faults;
    const int margin = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
    QHeaderView *header = grid->horizontalHeader();
    for (int column = 0; column < grid->columnCount(); ++column) {
        const int width = grid->columnWidth(column);
        const QString title = grid->horizontalHeaderItem(column)->text();
        QStyleOptionHeader option;
        option.initFrom(header);
        option.text = title;
        option.section = column;
        const int titleNeeds =
            header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header).width();
        if (titleNeeds > width)
            faults << QStringLiteral("title ") + title;
        for (int row = 0; row < grid->rowCount(); ++row) {
            const QTableWidgetItem *item = grid->item(row, column);
            if (item && QFontMetrics(grid->font()).horizontalAdvance(item->text()) + margin > width)
                faults << QStringLiteral("cell ") + item->text();
        }
        if (grid->columnViewportPosition(column) < 0 ||
            grid->columnViewportPosition(column) + width > grid->viewport()->width())
            faults << QStringLiteral("column beyond the grid ") + title;
    }
    return faults;
}

// The main frame on screen in the language file of the parameter.
class LayoutFitTest : public MainWindowTest, public testing::WithParamInterface<const char *>
{
protected:
    LayoutFitTest() : MainWindowTest({.languageFile = GetParam(), .fakeLink = true}) {}
};

} // namespace

TEST_P(LayoutFitTest, TreeItemsShowTheirWholeText)
{
    QTreeWidget *tree = view->NavTree;
    tree->expandAll();
    const int margin = tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        QTreeWidgetItem *item = *it;
        tree->scrollToItem(item);
        QStyleOptionViewItem option;
        option.initFrom(tree);
        option.rect = tree->visualItemRect(item);
        option.font = tree->font();
        option.text = item->text(0);
        option.features = QStyleOptionViewItem::HasDisplay;
        if (item->data(0, Qt::CheckStateRole).isValid())
            option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect textRect = tree->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, tree);
        const int needed = QFontMetrics(tree->font()).horizontalAdvance(item->text(0)) + 2 * margin;
        EXPECT_LE(needed, textRect.width()) << item->text(0).toStdString();
        EXPECT_LE(option.rect.left() + (textRect.left() - option.rect.left()) + needed,
                  tree->viewport()->width())
            << item->text(0).toStdString();
    }
}

TEST_P(LayoutFitTest, TitleBannerAndDescriptionFit)
{
    // The banner names the page on show.
    QTreeWidgetItem *portConfig = view->TreeItem(TreeNode::PortConfig);
    ASSERT_NE(portConfig, nullptr);
    QTest::mouseClick(view->NavTree->viewport(), Qt::LeftButton, {},
                      view->NavTree->visualItemRect(portConfig).center());
    for (CStaticEx *label : {view->TitleLabel, view->Banner}) {
        ASSERT_FALSE(label->GetText().isEmpty());
        const QRect ink = inkedRect(label);
        EXPECT_GE(ink.left(), 3) << label->GetText().toStdString();
        EXPECT_LE(ink.right(), label->width() - 4) << label->GetText().toStdString();
    }
    view->OnShowHomePage();
    // The description title wraps inside its place; the text shows every line whole.
    CStaticEx *title = view->DescriptionTitle;
    const QRect needed = QFontMetrics(title->font())
                             .boundingRect(title->contentsRect(),
                                           Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, title->GetText());
    EXPECT_LE(needed.height(), title->contentsRect().height()) << title->GetText().toStdString();
    QTextEdit *text = view->DescriptionText;
    EXPECT_LE(text->document()->size().height(), text->viewport()->height());
}

// The tab strip of the test pages leaves the banner's page title readable.
TEST_P(LayoutFitTest, TabStripLeavesTheBannerTitleClear)
{
    QTreeWidgetItem *testConfig = view->TreeItem(TreeNode::TestConfig);
    ASSERT_NE(testConfig, nullptr);
    QTest::mouseClick(view->NavTree->viewport(), Qt::LeftButton, {},
                      view->NavTree->visualItemRect(testConfig).center());
    ASSERT_TRUE(view->TabCtrl->isVisible());
    ASSERT_FALSE(view->Banner->GetText().trimmed().isEmpty());
    const QRect text = inkedRect(view->Banner).translated(view->Banner->pos());
    ASSERT_FALSE(text.isEmpty());
    for (int tab = 0; tab < view->TabCtrl->count(); ++tab) {
        const QRect onView = view->TabCtrl->tabRect(tab).translated(view->TabCtrl->pos());
        EXPECT_FALSE(onView.intersects(text)) << view->TabCtrl->tabText(tab).toStdString();
    }
}

// Every result page's summary table shows its column titles whole.
TEST_P(LayoutFitTest, ResultTablesShowTheirColumnTitlesWhole)
{
    view->ShowReportPage();
    CTestReportDlg *report = view->ReportDlg;
    for (int index = 0; index < CTestReportDlg::kCounterPage; ++index) {
        auto *page = static_cast<ReportPage *>(report->PropSheet->widget(index));
        page->FillReportGrid();
        CUGCtrl *grid = page->Grid;
        for (int column = 0; column < grid->GetColumnCount(); ++column) {
            CUGCell cell;
            grid->GetCellComposite(column, ReportPage::kColumnTitleRow, &cell);
            const QString *title = cell.GetDisplayText();
            if (!title || title->isEmpty())
                continue;
            const QFont font = cell.Has(CellProp::Font) && cell.m_font ? *cell.m_font : grid->font();
            const int needed = QFontMetrics(font).horizontalAdvance(*title) + 2 * CUGCellType::kTextMargin;
            EXPECT_LE(needed, grid->GetColumnWidth(column)) << index << ": " << title->toStdString();
        }
    }
}

// Module Information shows its two-line headings whole.
TEST_P(LayoutFitTest, ModuleInformationHeadingsFit)
{
    CModuleInfodlg window;
    window.FillDemoInfo();
    MyCug *grid = window.Grid();
    const int height = grid->CurrentSheet()->m_topHdgHeight;
    for (int column = -1; column < CModuleInfodlg::ColumnCount; ++column) {
        CUGCell cell;
        grid->GetCellComposite(column, -1, &cell);
        const QString *title = cell.GetDisplayText();
        if (!title || title->isEmpty())
            continue;
        const QFont font = cell.Has(CellProp::Font) && cell.m_font ? *cell.m_font : grid->font();
        const QRect place(0, 0, grid->GetColumnWidth(column) - 1, 1000);
        EXPECT_LE(QFontMetrics(font).boundingRect(place, Qt::TextWordWrap, *title).height(), height)
            << title->toStdString();
    }
}

// The export bars never cover a tab of the report window, however narrow it is.
TEST_P(LayoutFitTest, ExportBarsLeaveTheReportTabsClear)
{
    view->ShowReportPage();
    CTestReportDlg *report = view->ReportDlg;
    report->ExcelBar->show();
    report->PdfBar->show();
    ASSERT_TRUE(report->PropSheet->isVisible());
    QTabBar *tabs = report->PropSheet->tabBar();
    for (int width : {1200, 900, 760, 668, 600}) {
        report->resize(width, report->height());
        report->Relayout();
        const QRect strip(tabs->mapTo(report, QPoint(0, 0)), tabs->size());
        for (int tab = 0; tab < tabs->count(); ++tab) {
            const QRect shown =
                QRect(tabs->mapTo(report, tabs->tabRect(tab).topLeft()), tabs->tabRect(tab).size())
                    .intersected(strip);
            for (const QWidget *bar :
                 {static_cast<QWidget *>(report->ExcelBar), static_cast<QWidget *>(report->PdfBar)})
                EXPECT_FALSE(shown.intersects(bar->geometry()))
                    << width << " " << tabs->tabText(tab).toStdString();
        }
    }
}

// Every test page draws its controls whole, none over another, with the demo ports listed.
TEST_P(LayoutFitTest, TestPagesDrawEveryControlWhole)
{
    g_Session.BuildDemoInventory();
    std::fill(g_Session.LockedFlags.begin(), g_Session.LockedFlags.end(), std::uint8_t(1));
    view->SourceFilterPage->InitPortLists();
    for (int test = 0; test < TestCount; ++test) {
        view->ShowTestPage(test);
        const QStringList faults = crowdedControls(view->TestPage(test));
        EXPECT_TRUE(faults.isEmpty()) << test << ": " << faults.join(QStringLiteral("; ")).toStdString();
    }
}

// The Group Capacity and Join/Leave result grids show their titles, the monitor row and the delays whole.
TEST_P(LayoutFitTest, CapacityAndJoinLeaveResultGridsShowTheirTextsWhole)
{
    // Pair 1: the first demo port sends, the second receives and is the monitor port.
    g_Session.BuildDemoInventory();
    g_Session.Ports[0].SourcePair = 1;
    g_Session.Ports[1].HostPair = 1;
    g_Session.PortStates[1].RxCountA = 4294967295u;
    CIGMPTestPlan plan;
    UtTestPort source{};
    source.Id = g_Session.PortTable[0].Id;
    source.PortIndex = 0;
    plan.SourcePorts.push_back(source);
    UtTestPort monitor{};
    monitor.Id = g_Session.PortTable[1].Id;
    monitor.PortIndex = 1;
    monitor.Monitor = 1;
    plan.HostPorts.push_back(monitor);

    view->ShowCapacityPage();
    view->CapacityPage->LayOutResults(plan);
    view->CapacityPage->ShowResults(plan);
    QStringList faults = cutGridTexts(view->CapacityPage->ResultGrid);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QStringLiteral("; ")).toStdString();

    view->ShowJoinLeavePage();
    view->JoinLeavePage->ShowResults(plan);
    for (const int column : {CDlgJoinLeave::kJoinColumn, CDlgJoinLeave::kLeaveColumn})
        view->JoinLeavePage->SetDelayCell(1, column, QStringLiteral("9999.99 ms "));
    faults = cutGridTexts(view->JoinLeavePage->ResultGrid);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QStringLiteral("; ")).toStdString();
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, LayoutFitTest, testing::Values("LangEng.lng", "LangChs.lng"));
