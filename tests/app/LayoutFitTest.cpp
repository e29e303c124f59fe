// The main view's texts fit their places in both languages, measured with the real fonts: every item of the
// navigation tree, the title and banner, the description title and text.
#include "ShellTestSupport.h"

#include "app/KvIGMPTQApp.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "controls/widgets/StaticEx.h"
#include "platform/ScriptedPrompter.h"

#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

namespace {

// The columns of a label that its text inks: the label drawn without and with its text, compared.
std::pair<int, int> inkedColumns(CStaticEx *label)
{
    const QString text = label->GetText();
    label->SetText(QString());
    const QImage bare = label->grab().toImage();
    label->SetText(text);
    const QImage drawn = label->grab().toImage();
    int first = -1, last = -1;
    for (int x = 0; x < drawn.width(); ++x) {
        for (int y = 0; y < drawn.height(); ++y) {
            if (drawn.pixel(x, y) != bare.pixel(x, y)) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

class LayoutFitTest : public testing::TestWithParam<const char *>
{
protected:
    LayoutFitTest()
    {
        app = std::make_unique<CKvIGMPTQApp>(std::make_unique<FakeServices>(folder.path()));
        g_LangMag.SetLangFile(folder.languageFile(GetParam()));
        frame = std::make_unique<CMainFrame>(folder.path());
        frame->show();
        view = frame->View();
    }

    ShellGlobalsGuard guard;
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    FakeLink link;
    std::unique_ptr<CKvIGMPTQApp> app;
    std::unique_ptr<CMainFrame> frame;
    CMainFormView *view = nullptr;
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
        const auto [first, last] = inkedColumns(label);
        EXPECT_GE(first, 3) << label->GetText().toStdString();
        EXPECT_LE(last, label->width() - 4) << label->GetText().toStdString();
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

INSTANTIATE_TEST_SUITE_P(BothLanguages, LayoutFitTest, testing::Values("LangEng.lng", "LangChs.lng"));
