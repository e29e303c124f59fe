#include "controls/widgets/TreeCtrlEx.h"
#include "WidgetTestSupport.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

struct TreeFixture
{
    CTreeCtrlEx tree;
    QTreeWidgetItem *root = new QTreeWidgetItem(&tree, QStringList{"Chassis"});
    QList<QTreeWidgetItem *> calls;
    TreeFixture()
    {
        tree.resize(300, 300);
        tree.SetClickCallback([this](QTreeWidgetItem *item) { calls.append(item); });
        tree.show();
    }
    QTreeWidgetItem *add(int state, int data = 0)
    {
        auto *item =
            new QTreeWidgetItem(root, QStringList{QStringLiteral("Port %1").arg(root->childCount())});
        CTreeCtrlEx::SetStateImage(item, state);
        CTreeCtrlEx::SetItemData(item, data);
        root->setExpanded(true);
        return item;
    }
    void clickBox(QTreeWidgetItem *item)
    {
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.StateIconRect(item).center());
    }
};

} // namespace

TEST(TreeCtrlExTest, CheckClicksToggleOnceAndCallBackOnce)
{
    struct Case
    {
        int state;
        int data;
        int after;
        bool called;
    } cases[] = {{1, 0, 3, true},  {3, 0, 1, true},  {2, 0, 3, true}, {4, 0, 4, false},
                 {5, 0, 5, false}, {1, 1, 1, false}, {3, 1, 3, false}};
    for (const Case &test : cases) {
        TreeFixture fixture;
        QTreeWidgetItem *item = fixture.add(test.state, test.data);
        fixture.clickBox(item);
        EXPECT_EQ(CTreeCtrlEx::GetStateImage(item), test.after) << test.state << "/" << test.data;
        EXPECT_EQ(fixture.calls.size(), test.called ? 1 : 0) << test.state << "/" << test.data;
        if (test.called) {
            EXPECT_EQ(fixture.calls.front(), item);
        }
        EXPECT_EQ(fixture.tree.currentItem() == item, test.called) << test.state << "/" << test.data;
    }
}

TEST(TreeCtrlExTest, CallbackSeesTheToggledState)
{
    TreeFixture fixture;
    QTreeWidgetItem *item = fixture.add(CTreeCtrlEx::Unchecked);
    bool checkedWhenCalled = false;
    fixture.tree.SetClickCallback(
        [&](QTreeWidgetItem *clicked) { checkedWhenCalled = fixture.tree.HasCheckedStateImage(clicked); });
    fixture.clickBox(item);
    EXPECT_TRUE(checkedWhenCalled);
    EXPECT_TRUE(fixture.tree.HasCheckedStateImage(item));
}

TEST(TreeCtrlExTest, ClicksOffTheBoxAndOnTheRootDoNotToggle)
{
    TreeFixture fixture;
    QTreeWidgetItem *item = fixture.add(CTreeCtrlEx::Unchecked);
    const QRect label = fixture.tree.visualItemRect(item);
    QTest::mouseClick(fixture.tree.viewport(), Qt::LeftButton, {},
                      QPoint(label.left() + 40, label.center().y()));
    EXPECT_EQ(CTreeCtrlEx::GetStateImage(item), CTreeCtrlEx::Unchecked);
    EXPECT_TRUE(fixture.calls.isEmpty());
    EXPECT_EQ(fixture.tree.currentItem(), item);

    EXPECT_TRUE(fixture.tree.StateIconRect(fixture.root).isEmpty());
    const QRect rootRect = fixture.tree.visualItemRect(fixture.root);
    QTest::mouseClick(fixture.tree.viewport(), Qt::LeftButton, {},
                      QPoint(rootRect.left() + 3, rootRect.center().y()));
    EXPECT_EQ(CTreeCtrlEx::GetStateImage(fixture.root), CTreeCtrlEx::NoState);
    EXPECT_TRUE(fixture.calls.isEmpty());
}

TEST(TreeCtrlExTest, StateImagesAreDrawnBeforeTheText)
{
    TreeFixture fixture;
    QTreeWidgetItem *item = fixture.add(CTreeCtrlEx::Checked);
    QPixmap red(13, 13);
    red.fill(QColor(255, 0, 0));
    QList<QPixmap> images = fixture.tree.StateImages();
    images[CTreeCtrlEx::Checked] = red;
    fixture.tree.SetStateImages(images);
    const QRect box = fixture.tree.StateIconRect(item);
    const QImage image = fixture.tree.viewport()->grab().toImage();
    EXPECT_EQ(toColorRef(QColor(image.pixel(box.center()))), RGB(255, 0, 0));
}

TEST(TreeCtrlExTest, ItemTextColourKeepsTheTreesFont)
{
    TreeFixture fixture;
    QTreeWidgetItem *item = fixture.add(CTreeCtrlEx::Unchecked);
    fixture.tree.AssignItemTextColor(item, 0x080808);
    EXPECT_EQ(toColorRef(item->foreground(0).color()), 0x080808u);
    EXPECT_FALSE(item->data(0, Qt::FontRole).isValid());
    fixture.tree.AssignItemTextColor(item, 0x0000FF);
    const QRect rect = fixture.tree.visualItemRect(item);
    const QImage image = fixture.tree.viewport()->grab(rect).toImage();
    bool red = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            red = red || toColorRef(QColor(image.pixel(x, y))) == RGB(255, 0, 0);
    EXPECT_TRUE(red);
    fixture.tree.AssignItemTextColor(item, CTreeCtrlEx::SystemTextColor);
    EXPECT_FALSE(item->data(0, Qt::ForegroundRole).isValid());
}

// Without the focus only an item with a colour record drops the selection look.
TEST(TreeCtrlExTest, InactiveSelectionRedrawsOnlyColouredItems)
{
    TreeFixture fixture;
    QTreeWidgetItem *plain = fixture.add(CTreeCtrlEx::Unchecked);
    QTreeWidgetItem *coloured = fixture.add(CTreeCtrlEx::Unchecked);
    fixture.tree.AssignItemTextColor(coloured, 0x080808);
    fixture.tree.clearFocus();
    ASSERT_FALSE(fixture.tree.hasFocus());
    const COLORREF window = toColorRef(fixture.tree.palette().color(QPalette::Base));
    // A point of the row right of the text.
    auto background = [&](QTreeWidgetItem *item) {
        fixture.tree.setCurrentItem(item);
        const QRect rect = fixture.tree.visualItemRect(item);
        return pixelRef(grabImage(*fixture.tree.viewport()), rect.right() - 3, rect.center().y());
    };
    EXPECT_NE(background(plain), window);
    EXPECT_EQ(background(coloured), window);
}
