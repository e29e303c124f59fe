// The source address editor on a Source Filter page: what Apply does to the tree and the address
// settings for each kind of selected item, and the refusals that keep the dialog open.
#include "PageFixture.h"

#include "controls/grid/KvAvlGrid.h"
#include "platform/ScriptedPrompter.h"
#include "testpages/DlgAddressEdit.h"
#include "testpages/DlgSourceFilter.h"
#include "testpages/Ipv4Edit.h"

#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

class DlgAddressEditTest : public testing::Test, public PageFixture
{
protected:
    // One source and one host port; the host's first group holds the given sources.
    DlgAddressEditTest()
    {
        addPort(1, 2, 1, 0, 0);
        addPort(1, 2, 2, 0, 0);
        page = std::make_unique<CDlgSourceFilter>();
        page->SourceAvailableGrid->SetRowChecked(0, 1);
        page->OnAddSourcePorts();
        page->OnAddAllHostPorts();
    }
    void setSources(const QStringList &sources)
    {
        page->AddressSettings[0].Groups[0].Sources = sources;
        page->RefreshAddressTree();
    }
    QTreeWidgetItem *group() const { return page->AddressTree->topLevelItem(0)->child(0); }
    QStringList shown() const
    {
        QStringList texts;
        for (int i = 0; i < group()->childCount(); ++i)
            texts << group()->child(i)->text(0);
        return texts;
    }
    const QStringList &sources() const { return page->AddressSettings[0].Groups[0].Sources; }
    // Apply with the address typed; true when the dialog closed.
    bool apply(std::uint32_t mode, QTreeWidgetItem *selected, const QString &address)
    {
        page->AddressTree->setCurrentItem(selected);
        CDlgAddressEdit editor(page.get(), mode);
        editor.AddressCtrl->setText(address);
        editor.OnApply();
        return editor.result() == QDialog::Accepted;
    }

    ScriptedPrompter prompter;
    std::unique_ptr<CDlgSourceFilter> page;
};

} // namespace

TEST_F(DlgAddressEditTest, AddingReplacesNullThenAppendsUpToTen)
{
    EXPECT_TRUE(apply(CDlgAddressEdit::kAddMode, group(), "10.0.0.1"));
    EXPECT_EQ(shown(), QStringList{"10.0.0.1"});
    EXPECT_EQ(sources(), QStringList{"10.0.0.1"});
    // With a source selected the address goes to the end of its group.
    EXPECT_TRUE(apply(CDlgAddressEdit::kAddMode, group()->child(0), "10.0.0.2"));
    EXPECT_EQ(shown(), (QStringList{"10.0.0.1", "10.0.0.2"}));
    EXPECT_EQ(page->AddressSettings[0].Groups[1].Sources, QStringList());

    QStringList ten;
    for (int i = 1; i <= 10; ++i)
        ten << QStringLiteral("10.0.0.%1").arg(i);
    setSources(ten);
    EXPECT_FALSE(apply(CDlgAddressEdit::kAddMode, group(), "10.0.0.11"));
    EXPECT_EQ(prompter.messages(), QStringList{"The maximum number of Source Address is 10!"});
    EXPECT_EQ(sources().size(), 10);
    // Editing within a full group is allowed and keeps the position.
    EXPECT_TRUE(apply(CDlgAddressEdit::kEditMode, group()->child(1), "10.0.1.2"));
    EXPECT_EQ(sources().at(1), "10.0.1.2");
    EXPECT_EQ(shown().at(1), "10.0.1.2");
    EXPECT_EQ(shown().size(), 10);
}

TEST_F(DlgAddressEditTest, AnAddressAlreadyInTheGroupIsRefusedAlsoItsOwn)
{
    setSources({"10.0.0.1", "10.0.0.2", "10.0.0.3"});
    for (const char *address : {"10.0.0.3", "10.0.0.2"})
        EXPECT_FALSE(apply(CDlgAddressEdit::kEditMode, group()->child(1), address)) << address;
    EXPECT_FALSE(apply(CDlgAddressEdit::kAddMode, group(), "10.0.0.1"));
    EXPECT_EQ(prompter.messages(), QStringList(3, "The Address is already exists"));
    EXPECT_EQ(sources(), (QStringList{"10.0.0.1", "10.0.0.2", "10.0.0.3"}));
}

TEST_F(DlgAddressEditTest, EditingNullAddsAndAHostItemClosesWithoutChange)
{
    EXPECT_TRUE(apply(CDlgAddressEdit::kEditMode, group()->child(0), "192.168.1.9"));
    EXPECT_EQ(shown(), QStringList{"192.168.1.9"});
    EXPECT_EQ(sources(), QStringList{"192.168.1.9"});
    EXPECT_TRUE(apply(CDlgAddressEdit::kAddMode, page->AddressTree->topLevelItem(0), "1.1.1.1"));
    EXPECT_EQ(sources(), QStringList{"192.168.1.9"});
    // A partial address is taken the pages' way, and shown whole.
    EXPECT_TRUE(apply(CDlgAddressEdit::kAddMode, group(), "10.1.2"));
    EXPECT_EQ(sources().back(), "10.1.0.2");
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST_F(DlgAddressEditTest, TitleAndResultCodesWithoutAMatchingRecord)
{
    CDlgAddressEdit add(page.get(), CDlgAddressEdit::kAddMode);
    EXPECT_EQ(add.windowTitle(), "Add Address");
    EXPECT_EQ(add.AddressCtrl->text(), "0.0.0.0");
    EXPECT_EQ(add.AddSourceAddress("(  9, 9,9)", "224.0.1.1", "1.1.1.1"), CDlgAddressEdit::NotAdded);
    EXPECT_EQ(add.AddSourceAddress(page->AddressSettings[0].PortLabel, "224.0.9.9", "1.1.1.1"),
              CDlgAddressEdit::NotAdded);
    CDlgAddressEdit edit(nullptr, CDlgAddressEdit::kEditMode);
    EXPECT_EQ(edit.windowTitle(), "Edit Address");
    EXPECT_EQ(edit.AddSourceAddress(page->AddressSettings[0].PortLabel, "224.0.1.1", "1.1.1.1"),
              CDlgAddressEdit::NotAdded);
}

TEST_F(DlgAddressEditTest, MenuCommandsOpenTheEditorInTheirMode)
{
    QList<std::uint32_t> modes;
    page->RunAddressEditor = [&modes](CDlgAddressEdit &editor) {
        modes << editor.Mode;
        editor.AddressCtrl->setText(QStringLiteral("10.9.9.9"));
        editor.OnApply();
        return editor.result();
    };
    page->AddressTree->setCurrentItem(group());
    page->OnAddAddress();
    page->AddressTree->setCurrentItem(group()->child(0));
    page->OnEditAddress();
    EXPECT_EQ(modes, (QList<std::uint32_t>{CDlgAddressEdit::kAddMode, CDlgAddressEdit::kEditMode}));
    EXPECT_EQ(sources(), QStringList{"10.9.9.9"});
    EXPECT_EQ(prompter.messages(), QStringList{"The Address is already exists"});
}
