#include "app/DlgDescription.h"

#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/MainFormView.h"
#include "app/ShellArt.h"
#include "controls/widgets/ButtonST.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Language keys of the list's entries and of their objectives, in list order.
const char *const kEntryKeys[CDlgDescription::kEntryCount] = {"Panel_Mix_Class",   "Panel_Aggregate",
                                                              "Panel_Scale_Group", "Panel_Latency",
                                                              "Panel_Capacity",    "Panel_Join_Leave"};
const char *const kObjectiveKeys[CDlgDescription::kEntryCount] = {
    "Panel_Objective_Mix_Class", "Panel_Objective_Aggregate", "Panel_Objective_Scale_Group",
    "Panel_Objective_Latency",   "Panel_Objective_Capacity",  "Panel_Objective_Join_Leave"};

QString text(const char *key)
{
    return g_LangMag.GetString(QString::fromLatin1(key));
}

} // namespace

CDlgDescription::CDlgDescription(CMainFormView *view)
    : QWidget(view), PanelBox(new QGroupBox(this)), DescriptionBox(new QGroupBox(this)),
      TestList(new QListWidget(PanelBox)), Picture(new QLabel(DescriptionBox)),
      Objective(new QLabel(DescriptionBox)), GoButton(new CButtonST(this)), m_view(view)
{
    Objective->setTextFormat(Qt::PlainText);
    Objective->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Objective->setWordWrap(true);
    Picture->setFixedSize(190, 128);

    auto *panel = new QVBoxLayout(PanelBox);
    panel->addWidget(TestList);
    auto *description = new QVBoxLayout(DescriptionBox);
    description->addWidget(Picture);
    description->addWidget(Objective, 1);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(GoButton);
    description->addLayout(buttonRow);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(PanelBox, 1);
    layout->addWidget(DescriptionBox, 3);

    connect(TestList, &QListWidget::currentRowChanged, this, [this] { OnSelectTest(); });
    connect(GoButton, &CButtonST::clicked, this, [this] { OnGoToTest(); });
    OnInitDialog();
}

void CDlgDescription::OnInitDialog()
{
    GoButton->setFixedSize(32, 32);
    GoButton->AssignStateBitmaps(ShellArt::bitmap(ShellArt::DescriptionArrowPicture), RGB(255, 255, 255));
    GoButton->LightenBackColor();
    const QSignalBlocker quiet(TestList);
    for (int i = 0; i < kEntryCount; ++i)
        TestList->addItem(QString());
    SetLanguageText();
}

void CDlgDescription::SetLanguageText()
{
    PanelBox->setTitle(text("Panel_Test_Panel"));
    DescriptionBox->setTitle(text("Panel_Test_Description"));
    for (int i = 0; i < kEntryCount; ++i)
        TestList->item(i)->setText(text(kEntryKeys[i]));
    if (TestList->currentRow() >= 0)
        Objective->setText(ObjectiveText(TestList->currentRow()));
}

QString CDlgDescription::ObjectiveText(int index)
{
    return index >= 0 && index < kEntryCount ? text(kObjectiveKeys[index]) : QString();
}

void CDlgDescription::OnSelectTest()
{
    ShowObjective(TestList->currentRow());
}

void CDlgDescription::ShowObjective(int index)
{
    if (index < 0 || index >= kEntryCount)
        return;
    {
        const QSignalBlocker quiet(TestList);
        TestList->setCurrentRow(index);
    }
    Picture->hide();
    Picture->setPixmap(QPixmap::fromImage(m_view->TestPictureImage(index)));
    Picture->show();
    Objective->setText(ObjectiveText(index));
}

void CDlgDescription::OnGoToTest()
{
    QTreeWidgetItem *item = m_view->NavTree ? m_view->NavTree->currentItem() : nullptr;
    const TreeNode node = CMainFormView::NodeOf(item);
    for (int test = TestMixClass; test <= TestJoinLeave; ++test) {
        if (node != CMainFormView::TestNode(test))
            continue;
        if (g_IsRunning)
            return;
        // The page brings its test's description and picture with it.
        m_view->ShowTestPage(test);
        m_view->NavTree->setCurrentItem(item);
        return;
    }
    switch (node) {
    case TreeNode::Report:
        m_view->ShowReportPage();
        break;
    case TreeNode::Root:
        if (!m_view->IsPageShown(this)) {
            m_view->HideAllPages();
            show();
        }
        m_view->setDefaultDescription();
        break;
    case TreeNode::SystemInfo:
        m_view->ShowSystemInfoPage();
        m_view->setDefaultDescription();
        break;
    case TreeNode::PortConfig:
        m_view->ShowPortConfigPage();
        break;
    default:
        break;
    }
}
