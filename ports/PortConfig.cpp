#include "ports/PortConfig.h"

#include "controls/grid/KvAvlGrid.h"
#include "controls/grid/KvSelGrid.h"
#include "controls/widgets/ButtonST.h"
#include "controls/widgets/NumEdit.h"
#include "controls/widgets/NumSpinCtrl.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/LanguageText.h"
#include "engine/Session.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "ports/IpAddressEdit.h"
#include "ports/PageDirectory.h"
#include "ports/PortArt.h"
#include "ports/PortCheckGrid.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <algorithm>
#include <cstring>

namespace {

bool isLocked(int index)
{
    const UtSession &session = g_Session;
    return index >= 0 && std::size_t(index) < session.LockedFlags.size() && session.LockedFlags[index] == 1;
}

UtPortRecord *recordOf(std::uint16_t chassis, std::uint8_t card, std::uint8_t port)
{
    const std::int32_t index = FindPortRecordIndex(chassis, card, port);
    if (index < 0 || std::size_t(index) >= g_Session.Ports.size())
        return nullptr;
    return &g_Session.Ports[std::size_t(index)];
}

// The first item that starts with the text, not case-sensitive; -1 when none does.
int findPrefix(const QComboBox *combo, const QString &prefix)
{
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i).startsWith(prefix, Qt::CaseInsensitive))
            return i;
    }
    return -1;
}

int findPrefix(const QStringList &list, const QString &prefix)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].startsWith(prefix, Qt::CaseInsensitive))
            return int(i);
    }
    return -1;
}

// Where a text takes its place in a list kept in case-insensitive order.
template <typename TextAt> int sortedPlace(int count, const QString &text, TextAt textAt)
{
    int place = 0;
    while (place < count && QString::compare(textAt(place), text, Qt::CaseInsensitive) <= 0)
        ++place;
    return place;
}

void addSorted(QComboBox *combo, const QString &text)
{
    combo->insertItem(sortedPlace(combo->count(), text, [combo](int i) { return combo->itemText(i); }), text);
}

void addSorted(QStringList &list, const QString &text)
{
    list.insert(sortedPlace(int(list.size()), text, [&list](int i) { return list[i]; }), text);
}

// The model code of the module whose ports the rebuilt source list offers.
const QString kRebuiltSourceModel = QStringLiteral("M08");

} // namespace

void UpdatePairFields(UtPortRecord &record)
{
    record.Select_state = std::uint8_t((record.SourcePair ? 1 : 0) | (record.HostPair ? 2 : 0));
    const int itemPair = record.HostPair ? record.HostPair : record.SourcePair;
    if (itemPair == 0) {
        record.StreamItemA = record.StreamItemB = 0;
        record.StreamNumber = 0;
        return;
    }
    record.StreamItemA = std::uint8_t(2 * (itemPair - 1));
    record.StreamItemB = std::uint8_t(2 * (itemPair - 1) + 1);
    record.StreamNumber = record.SourcePair ? std::uint16_t(100 + 2 * (record.SourcePair - 1))
                                            : std::uint16_t(101 + 2 * (record.HostPair - 1));
}

CPortConfig::CPortConfig(QWidget *parent) : QWidget(parent)
{
    TabCtrl = new QTabBar(this);
    TabCtrl->setContextMenuPolicy(Qt::CustomContextMenu);
    TabCtrl->setExpanding(false);
    SourceCombo = new QComboBox(this);
    SourceEdit = new QLineEdit(this);
    SourceEdit->setEnabled(false);
    AvailableGrid = new CKvAvlGrid(this);
    SelectedGrid = new CKvSelGrid(this);
    AddButton = new CButtonST(this);
    RemoveButton = new CButtonST(this);
    RemoveAllButton = new CButtonST(this);
    GroupAddress = new IpAddressEdit(this);
    GroupCountEdit = new CNumEdit(this);
    GroupCountSpin = new CNumSpinCtrl(this);
    SetButton = new QPushButton(this);
    ResetButton = new QPushButton(this);
    m_sourceLabel = new QLabel(this);
    m_sourceSetLabel = new QLabel(this);
    m_availableLabel = new QLabel(this);
    m_selectedLabel = new QLabel(this);
    m_groupLabel = new QLabel(this);
    HiddenAvailableGrid = new CKvAvlGrid(this);
    HiddenSelectedGrid = new CKvSelGrid(this);
    HiddenAddButton = new CButtonST(this);
    HiddenRemoveButton = new CButtonST(this);
    HiddenRemoveAllButton = new CButtonST(this);
    m_hiddenAvailableLabel = new QLabel(this);
    m_hiddenSelectedLabel = new QLabel(this);
    DebugButton = new QPushButton(QStringLiteral("debug"), this);

    auto *buttons = new QVBoxLayout;
    buttons->addStretch();
    for (CButtonST *button : {AddButton, RemoveButton, RemoveAllButton}) {
        button->setFixedSize(30, 30);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto *grid = new QGridLayout;
    grid->addWidget(m_sourceLabel, 0, 0);
    grid->addWidget(SourceCombo, 1, 0);
    grid->addWidget(m_sourceSetLabel, 0, 2);
    grid->addWidget(SourceEdit, 1, 2);
    grid->addWidget(m_availableLabel, 2, 0);
    grid->addWidget(m_selectedLabel, 2, 2);
    grid->addWidget(AvailableGrid, 3, 0);
    grid->addLayout(buttons, 3, 1);
    grid->addWidget(SelectedGrid, 3, 2);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    auto *group = new QHBoxLayout;
    group->addWidget(m_groupLabel);
    group->addWidget(GroupAddress);
    group->addWidget(GroupCountEdit);
    group->addWidget(GroupCountSpin);
    group->addStretch();
    group->addWidget(SetButton);
    group->addWidget(ResetButton);
    auto *page = new QVBoxLayout(this);
    page->addWidget(TabCtrl);
    page->addLayout(grid, 1);
    page->addLayout(group);

    connect(TabCtrl, &QTabBar::currentChanged, this, [this] { OnTabSelChange(); });
    connect(TabCtrl, &QTabBar::customContextMenuRequested, this, &CPortConfig::OnTabRightClick);
    connect(SourceCombo, &QComboBox::activated, this, [this] { OnSourceComboChange(); });
    connect(AddButton, &QPushButton::clicked, this, &CPortConfig::OnAddHosts);
    connect(RemoveButton, &QPushButton::clicked, this, &CPortConfig::OnRemoveHosts);
    connect(RemoveAllButton, &QPushButton::clicked, this, &CPortConfig::OnRemoveAllHosts);
    connect(HiddenAddButton, &QPushButton::clicked, this, &CPortConfig::OnHiddenAddHosts);
    connect(HiddenRemoveButton, &QPushButton::clicked, this, &CPortConfig::OnHiddenRemoveHosts);
    connect(HiddenRemoveAllButton, &QPushButton::clicked, this, &CPortConfig::OnHiddenRemoveAllHosts);
    connect(SetButton, &QPushButton::clicked, this, &CPortConfig::OnSet);
    connect(ResetButton, &QPushButton::clicked, this, &CPortConfig::OnReset);
    OnInitDialog();
}

void CPortConfig::OnInitDialog()
{
    SetLanguageText();
    AvailableGrid->InitAttachedWindow(this);
    SelectedGrid->InitAttachedWindow(this);
    HiddenAvailableGrid->InitAttachedWindow(this);
    HiddenSelectedGrid->InitAttachedWindow(this);
    for (QWidget *hidden : std::initializer_list<QWidget *>{
             HiddenSelectedGrid, HiddenAvailableGrid, HiddenAddButton, HiddenRemoveButton,
             HiddenRemoveAllButton, m_hiddenAvailableLabel, m_hiddenSelectedLabel, DebugButton})
        hidden->hide();
    GroupCountSpin->SetBuddy(GroupCountEdit);
    GroupCountSpin->SetDecimals(0);
    GroupCountSpin->SetRangeAndStep(kMinPairGroups, kMaxPairGroups, 1);
    GroupCountSpin->SetBuddyValue(1);
    GroupCountSpin->SetValue(1);
    GroupCountEdit->hide();
    GroupCountSpin->hide();
    for (CButtonST *add : {AddButton, HiddenAddButton})
        add->AssignStateBitmaps(PortArt::bitmap(PortArt::AddPicture), 0xFFFFFF);
    for (CButtonST *remove : {RemoveButton, HiddenRemoveButton})
        remove->AssignStateBitmaps(PortArt::bitmap(PortArt::RemovePicture), 0xFFFFFF);
    for (CButtonST *removeAll : {RemoveAllButton, HiddenRemoveAllButton})
        removeAll->AssignStateBitmaps(PortArt::bitmap(PortArt::RemoveAllPicture), 0xFFFFFF);
    Plan().TestPairs.clear();
    for (int n = 1; n <= kMaxPairs; ++n)
        Plan().TestPairs.push_back(DefaultPair(n));
    {
        const QSignalBlocker blocker(TabCtrl);
        TabCtrl->addTab(QString());
        TabCtrl->addTab(QStringLiteral("+"));
        TabCtrl->setCurrentIndex(0);
    }
    m_pairCount = 1;
    renameTabs();
    RefreshPortGrids();
}

void CPortConfig::SetPlan(CIGMPTestPlan *plan)
{
    m_plan = plan;
    InitDefaultPairs();
    SelectTestPair(std::clamp(SelectedTab(), 0, kMaxPairs - 1));
}

CIGMPTestPlan &CPortConfig::Plan() const
{
    if (m_plan)
        return *m_plan;
    if (CIGMPTestPlan *plan = EngineHost::instance().testPlan())
        return *plan;
    // A page made without an installed plan edits a plan of its own.
    static CIGMPTestPlan ownPlan;
    return ownPlan;
}

void CPortConfig::SetLanguageText()
{
    m_sourceLabel->setText(languageText("PortDlg_Available_Src"));
    m_availableLabel->setText(languageText("PortDlg_Available_Host"));
    m_sourceSetLabel->setText(languageText("PortDlg_Selected"));
    m_selectedLabel->setText(languageText("PortDlg_Selected"));
    m_hiddenAvailableLabel->setText(languageText("PortDlg_Available"));
    m_hiddenSelectedLabel->setText(languageText("PortDlg_Selected"));
    ResetButton->setText(languageText("PortDlg_Reset"));
    SetButton->setText(languageText("PortDlg_Set"));
    m_groupLabel->setText(languageText("PortDlg_Group_Address"));
    // The edit's language texts; a port text stays.
    const int pair = std::clamp(SelectedTab(), 0, kMaxPairs - 1);
    if (!SourceCombo->isEnabled())
        SourceEdit->setText(languageText("PortDlg_Not_enough_TX"));
    else if (Plan().TestPairs.size() == kMaxPairs && Plan().TestPairs[std::size_t(pair)].Status == 0)
        SourceEdit->setText(notSetText());
    renameTabs();
}

void CPortConfig::renameTabs()
{
    for (int i = 0; i < m_pairCount && i < TabCtrl->count() - 1; ++i)
        TabCtrl->setTabText(i, fillPlaceholders(languageText("PortDlg_Test_Pair"), {formatInt(i + 1)}));
}

UtTestPair CPortConfig::DefaultPair(int n)
{
    UtTestPair pair{};
    pair.PairID = std::uint8_t(n);
    pair.GroupIP[0] = 224;
    pair.GroupIP[2] = std::uint8_t(n);
    pair.GroupIP[3] = 1;
    pair.NumofGroup = 1;
    pair.UniCid = 0xFFFF;
    pair.UniBid = 0xFF;
    pair.UniPid = 0xFF;
    return pair;
}

void CPortConfig::InitDefaultPairs()
{
    CIGMPTestPlan &plan = Plan();
    plan.TestPairs.clear();
    PageDirectory *pages = PageDirectory::current();
    for (int n = 1; n <= kMaxPairs; ++n) {
        plan.TestPairs.push_back(DefaultPair(n));
        plan.PairSelected[n - 1] = 0;
        if (pages)
            pages->ClearPairSelection(n - 1);
    }
}

QString CPortConfig::notSetText() const
{
    return languageText("PortDlg_no_Available");
}

void CPortConfig::ResetDialog()
{
    SourceCombo->clear();
    HiddenSourceList.clear();
    SourceEdit->setText(notSetText());
    emptyPortGrids();
    // Stale stream fields would otherwise survive for ports in no pair.
    for (UtPortRecord &record : g_Session.Ports) {
        record.SourcePair = record.HostPair = 0;
        UpdatePairFields(record);
    }
}

void CPortConfig::emptyPortGrids()
{
    for (CKvPortlistGrid *grid : std::initializer_list<CKvPortlistGrid *>{
             AvailableGrid, SelectedGrid, HiddenAvailableGrid, HiddenSelectedGrid})
        DeleteAllRows(grid);
}

QString CPortConfig::portText(std::uint16_t chassis, std::uint8_t card, std::uint8_t port)
{
    const int index = LookupPortIndex(chassis, g_Session.PortIndex, card, port);
    if (index < 0 || index >= g_Session.PortCount)
        return QString();
    QString label;
    FormatPortLabel({g_Session.PortTable[index].Id, g_Session.PortTable[index].TYPE}, label);
    return label;
}

void CPortConfig::showPairAddress(const UtTestPair &pair)
{
    GroupAddress->SetAddress(pair.GroupIP);
    GroupCountEdit->setText(formatInt(pair.NumofGroup));
}

int CPortConfig::SelectedTab() const
{
    return TabCtrl->currentIndex();
}

void CPortConfig::RefreshPortGrids()
{
    const UtSession &session = g_Session;
    bool added = false;
    for (int i = 0; i < session.PortCount; ++i) {
        if (!isLocked(i))
            continue;
        QString label;
        FormatPortLabel({session.PortTable[i].Id, session.PortTable[i].TYPE}, label);
        if (SourceCombo->findText(label, Qt::MatchExactly) < 0)
            addSorted(SourceCombo, label);
        if (!HiddenSourceList.contains(label))
            addSorted(HiddenSourceList, label);
        added = true;
    }
    const int pair = std::clamp(SelectedTab(), 0, kMaxPairs - 1);
    const UtTestPair &shown = Plan().TestPairs[std::size_t(pair)];
    if (added) {
        SourceCombo->setEnabled(true);
        SourceCombo->setCurrentIndex(0);
        m_rememberedSource = SourceCombo->itemText(0);
        SourceEdit->setText(shown.Status ? portText(shown.Src_Cid, shown.Src_Bid, shown.Src_Pid)
                                         : notSetText());
    }
    DeleteAllRows(AvailableGrid);
    DeleteAllRows(HiddenAvailableGrid);
    const int proposed =
        SourceCombo->count() > 0 ? findPrefix(HiddenSourceList, SourceCombo->itemText(0)) : -1;
    for (int i = 0; i < HiddenSourceList.size(); ++i) {
        if (i == proposed)
            continue;
        addPortRow(AvailableGrid, HiddenSourceList[i]);
        addPortRow(HiddenAvailableGrid, HiddenSourceList[i]);
    }
    AvailableGrid->RepaintAllParts();
    showPairAddress(shown);
}

void CPortConfig::addPortRow(CKvAvlGrid *grid, const QString &label)
{
    grid->AddCheckRow(grid->GetRowCount(), label, 0, nullptr, kRowValue);
}

void CPortConfig::addPortRow(CKvSelGrid *grid, const QString &label)
{
    grid->AddCheckRow(grid->GetRowCount(), label, 0, nullptr, kRowValue);
}

void CPortConfig::SelectTestPair(int pair)
{
    if (pair < 0 || pair >= kMaxPairs)
        return;
    const UtSession &session = g_Session;
    const std::uint8_t number = std::uint8_t(pair + 1);
    SourceCombo->clear();
    for (int i = 0; i < session.PortCount; ++i) {
        if (!isLocked(i))
            continue;
        const UtPortTableEntry &entry = session.PortTable[i];
        const UtPortRecord *record = recordOf(entry.Id.CID, entry.Id.BID, entry.Id.PID);
        if (!record)
            continue;
        QString label;
        FormatPortLabel({entry.Id, entry.TYPE}, label);
        if (record->SourcePair == 0 && record->HostPair == 0) {
            addSorted(SourceCombo, label);
        } else if (record->SourcePair == number) {
            SourceCombo->insertItem(0, label);
        }
    }
    emptyPortGrids();
    if (SourceCombo->count() == 0) {
        SourceCombo->setEnabled(false);
        SourceEdit->setText(languageText("PortDlg_Not_enough_TX"));
        AvailableGrid->RepaintAllParts();
        SelectedGrid->RepaintAllParts();
        return;
    }
    SourceCombo->setEnabled(true);
    SourceCombo->setCurrentIndex(0);
    const UtTestPair &shown = Plan().TestPairs[std::size_t(pair)];
    SourceEdit->setText(shown.Status ? portText(shown.Src_Cid, shown.Src_Bid, shown.Src_Pid) : notSetText());
    const QString proposed = SourceCombo->currentText();
    for (int i = 0; i < session.PortCount; ++i) {
        if (!isLocked(i))
            continue;
        const UtPortTableEntry &entry = session.PortTable[i];
        const UtPortRecord *record = recordOf(entry.Id.CID, entry.Id.BID, entry.Id.PID);
        if (!record)
            continue;
        QString label;
        FormatPortLabel({entry.Id, entry.TYPE}, label);
        if (IsHostOfPair(*record, number))
            addPortRow(SelectedGrid, label);
        else if (record->HostPair == 0 && record->SourcePair == 0 && label != proposed)
            addPortRow(AvailableGrid, label);
    }
    AvailableGrid->RepaintAllParts();
    SelectedGrid->RepaintAllParts();
    RemoveSelectedFromCombos();
    showPairAddress(shown);
}

void CPortConfig::OnSourceComboChange()
{
    const int pair = SelectedTab();
    if (pair < 0 || pair >= m_pairCount)
        return;
    const UtSession &session = g_Session;
    const QString chosen = SourceCombo->currentText();
    DeleteAllRows(AvailableGrid);
    // Ports of any pair stay out: a port holds one role in one pair.
    for (int i = 0; i < session.PortCount; ++i) {
        if (!isLocked(i))
            continue;
        const UtPortTableEntry &entry = session.PortTable[i];
        const UtPortRecord *record = recordOf(entry.Id.CID, entry.Id.BID, entry.Id.PID);
        if (!record || record->SourcePair != 0 || record->HostPair != 0)
            continue;
        QString label;
        FormatPortLabel({entry.Id, entry.TYPE}, label);
        if (label != chosen && SelectedGrid->FindRowByKey(label) < 0)
            addPortRow(AvailableGrid, label);
    }
    const QString previous = SourceEdit->text();
    if (previous != notSetText() && previous != chosen && SelectedGrid->FindRowByKey(previous) < 0)
        addPortRow(AvailableGrid, previous);
    AvailableGrid->RepaintAllParts();
}

template <typename From, typename To> void CPortConfig::moveCheckedRows(From *from, To *to)
{
    for (int row = 0; row < from->GetRowCount(); ++row) {
        QString label;
        if (from->IsRowChecked(row) && from->GetRowName(row, label))
            addPortRow(to, label);
    }
    to->SortByHiddenColumn();
    to->RepaintAllParts();
    for (int row = from->GetRowCount() - 1; row >= 0; --row) {
        if (from->IsRowChecked(row))
            from->RemoveRow(row, 0);
    }
    from->RepaintAllParts();
}

void CPortConfig::OnAddHosts()
{
    moveCheckedRows(AvailableGrid, SelectedGrid);
    RemoveSelectedFromCombos();
}

void CPortConfig::OnRemoveHosts()
{
    moveCheckedRows(SelectedGrid, AvailableGrid);
}

bool CPortConfig::checkEveryRow(CKvSelGrid *grid)
{
    const int rows = grid->GetRowCount();
    for (int row = 0; row < rows; ++row)
        grid->SetRowChecked(row, 1);
    return rows > 0;
}

void CPortConfig::OnRemoveAllHosts()
{
    if (checkEveryRow(SelectedGrid))
        OnRemoveHosts();
}

void CPortConfig::OnHiddenAddHosts()
{
    moveCheckedRows(HiddenAvailableGrid, HiddenSelectedGrid);
    RebuildCombos();
}

void CPortConfig::OnHiddenRemoveHosts()
{
    moveCheckedRows(HiddenSelectedGrid, HiddenAvailableGrid);
    RebuildCombos();
}

void CPortConfig::OnHiddenRemoveAllHosts()
{
    if (checkEveryRow(HiddenSelectedGrid))
        OnHiddenRemoveHosts();
}

void CPortConfig::RemoveSelectedFromCombos()
{
    for (int row = 0; row < SelectedGrid->GetRowCount(); ++row) {
        QString label;
        if (!SelectedGrid->GetRowName(row, label))
            continue;
        if (const int at = findPrefix(SourceCombo, label); at >= 0)
            SourceCombo->removeItem(at);
        if (const int at = findPrefix(HiddenSourceList, label); at >= 0)
            HiddenSourceList.removeAt(at);
        if (const int at = HiddenAvailableGrid->FindRowByKey(label); at >= 0)
            HiddenAvailableGrid->RemoveRow(at, 0);
    }
    HiddenAvailableGrid->RepaintAllParts();
}

void CPortConfig::RebuildCombos()
{
    for (int row = 0; row < HiddenSelectedGrid->GetRowCount(); ++row) {
        QString label;
        if (!HiddenSelectedGrid->GetRowName(row, label))
            continue;
        if (const int at = SourceCombo->findText(label, Qt::MatchFixedString); at >= 0)
            SourceCombo->removeItem(at);
        HiddenSourceList.removeOne(label);
        if (const int at = AvailableGrid->FindRowByKey(label); at >= 0)
            AvailableGrid->RemoveRow(at, 0);
    }
    const int keptShown = findPrefix(SourceCombo, m_rememberedSource);
    for (int i = SourceCombo->count() - 1; i >= 0; --i) {
        if (i != keptShown)
            SourceCombo->removeItem(i);
    }
    const int keptHidden = findPrefix(HiddenSourceList, m_rememberedSource);
    for (int i = int(HiddenSourceList.size()) - 1; i >= 0; --i) {
        if (i != keptHidden)
            HiddenSourceList.removeAt(i);
    }
    DeleteAllRows(AvailableGrid);
    for (int row = 0; row < HiddenAvailableGrid->GetRowCount(); ++row) {
        QString label;
        if (!HiddenAvailableGrid->GetRowName(row, label))
            continue;
        if (label.contains(kRebuiltSourceModel))
            addSorted(SourceCombo, label);
        addSorted(HiddenSourceList, label);
        addPortRow(AvailableGrid, label);
    }
    AvailableGrid->RepaintAllParts();
}

bool CPortConfig::ApplyPairSettings(int pair, bool tellUser)
{
    if (pair < 0 || pair >= kMaxPairs || SourceCombo->currentIndex() < 0 || SelectedGrid->GetRowCount() == 0)
        return false;
    const int groups = toIntPrefix(GroupCountEdit->text());
    if (groups < kMinPairGroups || groups > kMaxPairGroups) {
        if (tellUser) {
            Prompter::current().messageBox(languageText("PortDlg_Group_Range"));
            GroupCountEdit->setFocus();
        }
        return false;
    }
    std::uint8_t firstGroup[4];
    GroupAddress->GetAddress(firstGroup);
    if (!IsMulticastGroupRange(firstGroup, std::uint32_t(groups))) {
        if (tellUser) {
            Prompter::current().messageBox(
                languageText("PortDlg_Group_Not_Multicast").arg(groups).arg(GroupAddress->text().trimmed()));
            GroupAddress->setFocus();
        }
        return false;
    }
    // Every port is checked before anything is written: a failed Set changes nothing.
    UtPortKey source{};
    if (!ParsePortLabel(SourceCombo->currentText(), source) ||
        !recordOf(source.Id.CID, source.Id.BID, source.Id.PID))
        return false;
    std::vector<UtPortKey> hosts;
    for (int row = 0; row < SelectedGrid->GetRowCount(); ++row) {
        QString label;
        UtPortKey host{};
        if (!SelectedGrid->GetRowName(row, label) || !ParsePortLabel(label, host) ||
            !recordOf(host.Id.CID, host.Id.BID, host.Id.PID))
            return false;
        hosts.push_back(host);
    }

    const std::uint8_t number = std::uint8_t(pair + 1);
    UtTestPair &shown = Plan().TestPairs[std::size_t(pair)];
    shown.Src_Cid = source.Id.CID;
    shown.Src_Bid = source.Id.BID;
    shown.Src_Pid = source.Id.PID;
    shown.Status = 1;
    shown.num_of_destmember = std::uint16_t(hosts.size());
    shown.NumofGroup = std::uint16_t(groups);
    std::memcpy(shown.GroupIP, firstGroup, sizeof firstGroup);
    for (UtPortRecord &record : g_Session.Ports) {
        if (record.SourcePair == number)
            record.SourcePair = 0;
        if (IsHostOfPair(record, number))
            record.HostPair = 0;
    }
    recordOf(source.Id.CID, source.Id.BID, source.Id.PID)->SourcePair = number;
    for (const UtPortKey &host : hosts)
        recordOf(host.Id.CID, host.Id.BID, host.Id.PID)->HostPair = number;
    for (UtPortRecord &record : g_Session.Ports)
        UpdatePairFields(record);
    SourceEdit->setText(SourceCombo->currentText());
    UpdateMinHostCount();
    return true;
}

void CPortConfig::OnSet()
{
    const int pair = SelectedTab();
    if (pair < 0 || pair >= m_pairCount || !ApplyPairSettings(pair))
        Prompter::current().messageBox(languageText("Stat_Fail"));
}

void CPortConfig::OnReset()
{
    ResetDialog();
    InitDefaultPairs();
    RefreshPortGrids();
}

void CPortConfig::UpdateMinHostCount()
{
    int smallest = -1;
    const std::vector<UtTestPair> &pairs = Plan().TestPairs;
    for (int i = 0; i < m_pairCount && std::size_t(i) < pairs.size(); ++i) {
        if (pairs[std::size_t(i)].Status == 1 &&
            (smallest < 0 || pairs[std::size_t(i)].num_of_destmember < smallest))
            smallest = pairs[std::size_t(i)].num_of_destmember;
    }
    m_minHostCount = smallest;
    if (PageDirectory *pages = PageDirectory::current())
        pages->SetClientLimit(smallest);
}

void CPortConfig::selectTab(int index)
{
    const QSignalBlocker blocker(TabCtrl);
    TabCtrl->setCurrentIndex(index);
}

void CPortConfig::AddTestPair()
{
    const int tab = SelectedTab();
    if (tab <= 0) {
        SelectTestPair(0);
    } else if (tab < kMaxPairs) {
        if (tab == m_pairCount) {
            {
                const QSignalBlocker blocker(TabCtrl);
                TabCtrl->insertTab(tab, QString());
            }
            ++m_pairCount;
            renameTabs();
            selectTab(tab);
        }
        SelectTestPair(tab);
    } else {
        Prompter::current().messageBox(languageText("PortDlg_Max_Pairs"));
        selectTab(kMaxPairs - 1);
        SelectTestPair(kMaxPairs - 1);
    }
}

void CPortConfig::OnTabSelChange()
{
    AddTestPair();
}

void CPortConfig::OnTabRightClick(const QPoint &pos)
{
    const int tab = TabCtrl->tabAt(pos);
    if (tab < 0 || tab >= m_pairCount)
        return;
    const int previous = SelectedTab();
    selectTab(tab);
    QMenu menu(this);
    QAction *remove = menu.addAction(languageText("PortDlg_Delete"));
    if (menu.exec(TabCtrl->mapToGlobal(pos)) == remove)
        OnDeletePair();
    else
        selectTab(previous); // the shown pair stays the one its tab names
}

void CPortConfig::OnDeletePair()
{
    const int tab = SelectedTab();
    if (tab < 0 || tab >= m_pairCount)
        return;
    if (tab == 0 && m_pairCount == 1) {
        Prompter::current().messageBox(languageText("PortDlg_First_Pair"));
        return;
    }
    DeleteTestPair(tab);
    {
        const QSignalBlocker blocker(TabCtrl);
        TabCtrl->removeTab(tab);
    }
    --m_pairCount;
    renameTabs();
    const int shown = std::min(tab, m_pairCount - 1);
    selectTab(shown);
    SelectTestPair(shown);
}

void CPortConfig::DeleteTestPair(int pair)
{
    if (pair < 0 || pair >= kMaxPairs)
        return;
    CIGMPTestPlan &plan = Plan();
    std::vector<UtTestPair> &pairs = plan.TestPairs;
    PageDirectory *pages = PageDirectory::current();
    const int number = pair + 1;
    for (UtPortRecord &record : g_Session.Ports) {
        if (IsHostOfPair(record, number))
            record.HostPair = 0;
        else if (record.HostPair > number)
            --record.HostPair;
        if (record.SourcePair == number)
            record.SourcePair = 0;
        else if (record.SourcePair > number)
            --record.SourcePair;
        UpdatePairFields(record);
    }
    // Every later place moves up one, set or not, so no pair is left twice.
    const auto resetPlace = [&](int place) {
        const UtTestPair defaults = DefaultPair(place + 1);
        UtTestPair &target = pairs[std::size_t(place)];
        const std::uint16_t media = target.mediatype;
        target = defaults;
        target.mediatype = media;
        plan.PairSelected[place] = 0;
        if (pages)
            pages->ClearPairSelection(place);
    };
    for (int place = pair; place < kMaxPairs - 1; ++place) {
        const UtTestPair &next = pairs[std::size_t(place + 1)];
        if (next.Status != 1) {
            resetPlace(place);
            continue;
        }
        UtTestPair &target = pairs[std::size_t(place)];
        target.Status = next.Status;
        target.num_of_destmember = next.num_of_destmember;
        target.Src_Cid = next.Src_Cid;
        target.Src_Bid = next.Src_Bid;
        target.Src_Pid = next.Src_Pid;
        target.NumofGroup = next.NumofGroup;
        std::copy(std::begin(next.GroupIP), std::end(next.GroupIP), std::begin(target.GroupIP));
        target.UniCid = next.UniCid;
        target.UniBid = next.UniBid;
        target.UniPid = next.UniPid;
        plan.PairSelected[place] = plan.PairSelected[place + 1];
        if (pages)
            pages->MovePairSelection(place + 1, place);
    }
    resetPlace(std::max(m_pairCount - 1, pair));
    resetPlace(kMaxPairs - 1);
    UpdateMinHostCount();
}
