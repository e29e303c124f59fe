#include "app/DlgDescription.h"

#include "app/KvIGMPTQApp.h"
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

const QString kEntries[CDlgDescription::kEntryCount] = {
    QStringLiteral("Mixed Class"), QStringLiteral("Aggregate"), QStringLiteral("Scale Group"),
    QStringLiteral("Latency"),     QStringLiteral("Capacity"),  QStringLiteral("Join/Leave Delay")};

const QString kObjectives[CDlgDescription::kEntryCount] = {
    QStringLiteral("Objective:\n    To determine the throughput of a DUT/SUT when both unicast class frames "
                   "and multicast class frames are offered\n    simultaneously to a fixed number of "
                   "interfaces.\n\nProcedure: \n    This test measures the DUT's ability to operate "
                   "heterogeneous traffic stream, source port send a aggregated traffic stream\n    which "
                   "consists of a mixture of unicast and multicast packets to every destination ports. "),
    QStringLiteral(
        "Objective:\n    To determine the maximum rate at which none of the offered frames to be forwarded "
        "through N destination interfaces of\n    the same multicast groups are dropped.\n\nProcedure:\n    "
        "Offer multicast traffic at an initial offered load to all destination ports in fixed parameter of "
        "setting. An iterative binary\n    search algorithm used to find the maximum rate at which none of "
        "the offered frames are dropped is determined while N \n    destination.\n    Every iteration will "
        "increase the Destionation port and to find the maximum non-drop offered load."),
    QStringLiteral(
        "Objective:\n    To determine Forwarding Rate as a function of tested multicast groups for a fixed "
        "number of tested DUT/SUT ports.\n\nProcedure:\n    The destination test port(s) join an initial "
        "number of multicast groups on the first iteration to measure the maximum non-drop\n    offered "
        "load. The number of multicast groups joined by each destination test port is then scaled in "
        "following iterations and\n    the forwarding rate is measured.\n\n*Note:   The total number of "
        "multicast groups joined MUST not exceed the multicast group capacity of the DUT/SUT."),
    QStringLiteral(
        "Objective:\n    To produce a set of multicast latency measurements from a single, multicast ingress "
        "interface of a DUT/SUT\n    through multiple, egress multicast interfaces of that same DUT/SUT as "
        "provided for by the metric multicast latency\n\nProcedure:\n    The measurement of latency from the "
        "collection methodology for latency in RFC 2544. Destination ports collect a set of\n    latency "
        "measurements M over a duration. where M composed of maximum and minimum latency."),
    QStringLiteral(
        "Objective:\n    To determine the maximum number of multicast groups a DUT/SUT can support while "
        "maintaining the ability to\n    forward multicast frames to all multicast groups registered to that "
        "DUT/SUT.\n\nProcedure:\n    One or more destination test ports of DUT/SUT will join an initial "
        "number of multicast groups. After a minimum delay, the\n    source test ports MUST transmit to each "
        "group at a specified offered load. If at least one frame for each multicast group is\n    forwarded "
        "properly by the DUT/SUT on each participating egress interface, the iteration is said to pass at "
        "the current\n    capacity."),
    QStringLiteral("Objective:\n    To determine the time duration it takes a DUT/SUT to process a "
                   "successful IGMP group membership report(leave report).")};

} // namespace

CDlgDescription::CDlgDescription(CMainFormView *view)
    : QWidget(view), PanelBox(new QGroupBox(QStringLiteral("Test Panel"), this)),
      DescriptionBox(new QGroupBox(QStringLiteral("Test Description"), this)),
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
    GoButton->AssignStateBitmaps(ShellArt::bitmap(288), RGB(255, 255, 255));
    GoButton->LightenBackColor();
    const QSignalBlocker quiet(TestList);
    for (const QString &entry : kEntries)
        TestList->addItem(entry);
}

QString CDlgDescription::ObjectiveText(int index)
{
    return index >= 0 && index < kEntryCount ? kObjectives[index] : QString();
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
    Picture->setPixmap(QPixmap::fromImage(m_view->TestPictures[index]));
    Picture->show();
    Objective->setText(kObjectives[index]);
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
        m_view->ShowTestPage(test);
        m_view->NavTree->setCurrentItem(item);
        m_view->setTestPicture(m_view->TestPictures[test]);
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
