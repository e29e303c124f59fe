#include "testpages/DlgSourceFilter.h"

#include "controls/grid/KvAvlGrid.h"
#include "controls/grid/MyCug.h"
#include "controls/widgets/NumEdit.h"
#include "controls/widgets/NumSpinCtrl.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/LanguageText.h"
#include "engine/Session.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "ports/PortCheckGrid.h"
#include "testpages/DlgAddressEdit.h"
#include "testpages/Ipv4Edit.h"
#include "testpages/PageNumberField.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

namespace {

// The IGMPv3 report the Source Filter test sends, in bytes.
constexpr std::uint32_t kV3ReportSize = 540;
constexpr unsigned short kFilterCentred = 0x24;
// The rate of every source: this share of line rate split evenly over the sources.
constexpr int kFilterRateShare = 50;
// The group-count spin steps past the edit's range of groups, up to this.
constexpr int kGroupSpinMaximum = 100;
// The address tree's lines shown at least.
constexpr int kAddressTreeLines = 8;

void addPortRow(CKvAvlGrid *grid, const QString &label)
{
    grid->AddCheckRow(grid->GetRowCount(), label, 0, nullptr, CTestPageBase::kPairCheckStyle);
}

QString rowLabel(CKvAvlGrid *grid, int row)
{
    QString label;
    grid->GetRowName(row, label);
    return label;
}

// True when every row is checked, also when there is none.
bool everyRowChecked(CKvAvlGrid *grid)
{
    for (int row = 0; row < grid->GetRowCount(); ++row) {
        if (!grid->IsRowChecked(row))
            return false;
    }
    return true;
}

void sortAndRedraw(CKvAvlGrid *grid)
{
    grid->SortByHiddenColumn();
    grid->RepaintAllParts();
}

} // namespace

CDlgSourceFilter::CDlgSourceFilter(QWidget *parent) : CTestPageBase(PortLayout::SourceFilter, parent)
{
    buildControls();
    OnInitDialog();
    installEngineHooks();
    SetLanguageText();
}

CDlgSourceFilter::~CDlgSourceFilter()
{
    // The fields lose the focus while they go: nothing of the page may answer that any more.
    for (QObject *child : findChildren<QObject *>())
        child->disconnect(this);
    GroupCountEdit->SetCallback(nullptr);
    EngineHost &host = EngineHost::instance();
    if (host.filterPage == this) {
        host.filterGroupTexts = nullptr;
        host.filterAddressSettings = nullptr;
        host.filterPage = nullptr;
    }
    RemoveAddress({}, {}, {}, true, 0, false);
}

void CDlgSourceFilter::installEngineHooks()
{
    // The run reads the page as it stands: the group list in list order and the address settings.
    EngineHost &host = EngineHost::instance();
    host.filterGroupTexts = [this] { return GroupList.Items(); };
    host.filterAddressSettings = [this] { return AddressSettings; };
    host.filterPage = this;
}

void CDlgSourceFilter::buildControls()
{
    auto *parameters = new QGridLayout;
    const auto numberField = [this, parameters](QLabel *&label, CNumEdit *&edit, CNumSpinCtrl *&spin,
                                                NumberFieldShape shape) {
        shape.editWidth = kNumberEditWidth;
        const NumberFieldControls field = AddNumberField(parameters, ConfigBox, shape);
        label = field.label;
        edit = field.edit;
        spin = field.spin;
    };
    numberField(m_trialsLabel, TrialsEdit, TrialsSpin,
                {.row = 0, .minimum = 1, .maximum = 5, .initial = double(NumberOfTrials), .editId = 1520});
    numberField(m_delayLabel, DelayEdit, DelaySpin,
                {.row = 1, .minimum = 1, .maximum = 300, .initial = double(DelayStart), .editId = 1519});
    numberField(m_durationLabel, DurationEdit, DurationSpin,
                {.row = 2, .minimum = 1, .maximum = 30000, .initial = double(TestDuration), .editId = 1457});
    numberField(m_groupCountLabel, GroupCountEdit, GroupCountSpin,
                {.row = 3,
                 .minimum = 1,
                 .maximum = kMaxGroups,
                 .initial = double(NumberGroup),
                 .editId = 1518,
                 .spinMaximum = kGroupSpinMaximum});
    const auto label = [this](QLabel *&target) { target = new QLabel(ConfigBox); };
    label(m_groupAddressLabel);
    label(m_filterTypeLabel);
    label(m_sourceAvailableLabel);
    label(m_sourceSelectedLabel);
    label(m_hostAvailableLabel);
    label(m_hostSelectedLabel);
    GroupAddressCtrl = new Ipv4Edit(ConfigBox);
    GroupAddressCtrl->setObjectName(QStringLiteral("ctl1525"));
    GroupAddressCtrl->setMaximumWidth(130);
    FilterTypeList = new QComboBox(ConfigBox);
    FilterTypeList->addItems({QString(), QString()});
    SetButton = new QPushButton(ConfigBox);
    AddressTree = new QTreeWidget(ConfigBox);
    AddressTree->setHeaderHidden(true);
    AddressTree->setContextMenuPolicy(Qt::CustomContextMenu);
    // The tree takes the height the port lists leave below the fields, and shows some lines at least.
    AddressTree->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    AddressTree->setMinimumHeight(kAddressTreeLines * AddressTree->fontMetrics().lineSpacing());

    parameters->addWidget(m_groupAddressLabel, 4, 0);
    parameters->addWidget(GroupAddressCtrl, 4, 1, 1, 2);
    parameters->addWidget(m_filterTypeLabel, 5, 0);
    parameters->addWidget(FilterTypeList, 5, 1, 1, 2);
    parameters->addWidget(SetButton, 6, 1, 1, 2);
    // The address tree fills the column below the fields, leaving the width to the port lists.
    parameters->addWidget(AddressTree, 7, 0, 1, 3);
    parameters->setRowStretch(7, 1);

    // One side: its available list, four move buttons, its selected list.
    const auto side = [this](QLabel *availableLabel, CKvAvlGrid *&available, QLabel *selectedLabel,
                             CKvAvlGrid *&selected,
                             std::initializer_list<void (CDlgSourceFilter::*)()> moves) {
        available = new CKvAvlGrid(ConfigBox);
        selected = new CKvAvlGrid(ConfigBox);
        // Wide enough for a whole port label beside its check box.
        const int labelWidth = fontMetrics().horizontalAdvance(QStringLiteral("(  1,16,8) - QM-M13")) + 48;
        available->setMinimumWidth(labelWidth);
        selected->setMinimumWidth(labelWidth);
        auto *layout = new QGridLayout;
        layout->addWidget(availableLabel, 0, 0, 1, 2);
        layout->addWidget(selectedLabel, 0, 2);
        layout->addWidget(available, 1, 0);
        layout->addWidget(selected, 1, 2);
        auto *buttons = new QVBoxLayout;
        buttons->addStretch();
        const char *texts[] = {" >", " >>", " <", " <<"};
        int i = 0;
        for (const auto handler : moves) {
            auto *button = new QPushButton(QString::fromLatin1(texts[i++]), ConfigBox);
            button->setFixedWidth(36);
            connect(button, &QPushButton::clicked, this, handler);
            buttons->addWidget(button);
            m_moveButtons.push_back(button);
        }
        buttons->addStretch();
        layout->addLayout(buttons, 1, 1);
        layout->setColumnStretch(0, 1);
        layout->setColumnStretch(2, 1);
        return layout;
    };
    auto *ports = new QVBoxLayout;
    ports->addLayout(
        side(m_sourceAvailableLabel, SourceAvailableGrid, m_sourceSelectedLabel, SelectedSourceGrid,
             {&CDlgSourceFilter::OnAddSourcePorts, &CDlgSourceFilter::OnAddAllSourcePorts,
              &CDlgSourceFilter::OnRemoveSourcePorts, &CDlgSourceFilter::OnRemoveAllSourcePorts}));
    ports->addLayout(side(m_hostAvailableLabel, HostAvailableGrid, m_hostSelectedLabel, SelectedHostGrid,
                          {&CDlgSourceFilter::OnAddHostPorts, &CDlgSourceFilter::OnAddAllHostPorts,
                           &CDlgSourceFilter::OnRemoveHostPorts, &CDlgSourceFilter::OnRemoveAllHostPorts}));
    SourceAvailableGrid->setObjectName(QStringLiteral("ctl1508"));
    SelectedSourceGrid->setObjectName(QStringLiteral("ctl1017"));
    HostAvailableGrid->setObjectName(QStringLiteral("ctl1018"));
    SelectedHostGrid->setObjectName(QStringLiteral("ctl1023"));

    auto *box = new QHBoxLayout(ConfigBox);
    box->addLayout(parameters);
    box->addLayout(ports, 1);

    connect(SetButton, &QPushButton::clicked, this, &CDlgSourceFilter::OnSetFilterMode);
    connect(AddressTree, &QTreeWidget::customContextMenuRequested, this,
            &CDlgSourceFilter::OnAddressTreeRightClick);
    connect(AddressTree, &QTreeWidget::currentItemChanged, this, &CDlgSourceFilter::OnAddressTreeSelChanged);
}

void CDlgSourceFilter::OnInitDialog()
{
    BuildGroupList();
    // Leaving the field with the count it had keeps the set-up.
    GroupCountEdit->SetCallback([this](QWidget *) {
        if (toIntPrefix(GroupCountEdit->text()) != NumberGroup)
            OnGroupCountChanged();
    });
    for (CKvAvlGrid *grid : {SourceAvailableGrid, SelectedSourceGrid, HostAvailableGrid, SelectedHostGrid})
        grid->InitAttachedWindow(this);
    GroupAddressCtrl->setAddress(GroupIP);
    // A spin click writes the count without the field losing the focus: it counts as a change too.
    connect(GroupCountEdit, &QLineEdit::textChanged, this, &CDlgSourceFilter::onGroupSpinChanged);
    connect(GroupAddressCtrl, &QLineEdit::editingFinished, this, &CDlgSourceFilter::onGroupAddressEdited);
    FilterTypeList->setCurrentIndex(0);
    FilterTypeList->setEnabled(false);
    SetButton->setEnabled(false);
    InitPortLists();
}

void CDlgSourceFilter::SetLanguageText()
{
    CTestPageBase::SetLanguageText();
    m_trialsLabel->setText(languageText("SourceFilter_Trials"));
    m_delayLabel->setText(languageText("SourceFilter_Delay_Start"));
    m_durationLabel->setText(languageText("SourceFilter_Duration"));
    m_groupCountLabel->setText(languageText("SourceFilter_Group_Count"));
    m_groupAddressLabel->setText(languageText("SourceFilter_Group_Address"));
    m_filterTypeLabel->setText(languageText("SourceFilter_Filter_Type"));
    m_sourceAvailableLabel->setText(languageText("SourceFilter_Source_Available"));
    m_hostAvailableLabel->setText(languageText("SourceFilter_Host_Available"));
    m_sourceSelectedLabel->setText(languageText("SourceFilter_Selected"));
    m_hostSelectedLabel->setText(languageText("SourceFilter_Selected"));
    FilterTypeList->setItemText(0, languageText("SourceFilter_Include"));
    FilterTypeList->setItemText(1, languageText("SourceFilter_Exclude"));
    SetButton->setText(languageText("SourceFilter_Set"));
    // The group items show the mode names of the new language.
    RefreshAddressTree();
}

std::vector<CTestPageBase::SectionField> CDlgSourceFilter::SectionFields()
{
    return {{"NumberOfTrails", TrialsEdit},
            {"DelayStart", DelayEdit},
            {"TestDuration", DurationEdit},
            {"NumberGroup", GroupCountEdit},
            {"GroupIP", GroupAddressCtrl}};
}

QStringList CDlgSourceFilter::LockedPortLabels()
{
    QStringList labels;
    const std::size_t count = std::min(
        {std::size_t(g_Session.PortCount), std::size_t(kMaxTestPorts), g_Session.LockedFlags.size()});
    for (std::size_t i = 0; i < count; ++i) {
        if (g_Session.LockedFlags[i] == 1)
            FormatPortLabel({g_Session.PortTable[i].Id, g_Session.PortTable[i].TYPE}, labels.emplace_back());
    }
    return labels;
}

void CDlgSourceFilter::FillPortInfoGrid(int)
{
    FillPortInfoGrid();
}

void CDlgSourceFilter::FillPortInfoGrid()
{
    SnapshotPortSettings();
    PortGrid->ClearAllText();
    for (const QString &item : LockedPortLabels()) {
        for (std::size_t i = 0; i < g_Session.Ports.size(); ++i) {
            if (PortLabelOf(g_Session.Ports[i]) != item)
                continue;
            int row = FindPortInfoRow(item);
            if (row < 0) {
                row = AddPortInfoRow(item);
            } else {
                QString times;
                PortGrid->GetCellTextTo(kAddTimesColumn, row, times);
                PortGrid->SetCellText(kAddTimesColumn, row, formatInt(toIntPrefix(times) + 1));
                PortGrid->SetCellAlignment(kAddTimesColumn, row, kFilterCentred);
            }
            SetPortInfoRow(row, i, -1);
        }
    }
    PortGrid->RepaintAllParts();
}

void CDlgSourceFilter::InitPortLists()
{
    PortList.Clear();
    SelectedSourceList.Clear();
    SelectedHostList.Clear();
    for (CKvAvlGrid *grid : {SourceAvailableGrid, SelectedSourceGrid, HostAvailableGrid, SelectedHostGrid})
        DeleteAllRows(grid);
    for (const QString &label : LockedPortLabels()) {
        PortList.AddString(label);
        addPortRow(SourceAvailableGrid, label);
        addPortRow(HostAvailableGrid, label);
    }
    for (CKvAvlGrid *grid : {SourceAvailableGrid, SelectedSourceGrid, HostAvailableGrid, SelectedHostGrid})
        grid->RepaintAllParts();
    FillPortInfoGrid();
    RefreshAddressTree();
}

// ---- Fields and group list -------------------------------------------------------------------------

void CDlgSourceFilter::exchangeFields()
{
    NumberOfTrials = toIntPrefix(TrialsEdit->text());
    DelayStart = toIntPrefix(DelayEdit->text());
    TestDuration = toIntPrefix(DurationEdit->text());
    NumberGroup = toIntPrefix(GroupCountEdit->text());
    GroupIP = GroupAddressCtrl->address();
}

QStringList CDlgSourceFilter::GroupAddressesOf(std::uint32_t initialAddress, int count)
{
    std::uint8_t base[4];
    BytesOfAddress(initialAddress, base);
    QStringList groups;
    for (int i = 0; i < count; ++i) {
        std::uint8_t address[4];
        CIGMPTestPlan::StepGroupAddress(base, std::uint32_t(i), address);
        groups << DottedText(address);
    }
    return groups;
}

void CDlgSourceFilter::BuildGroupList()
{
    GroupList.Clear();
    for (const QString &group : GroupAddressesOf(GroupIP, NumberGroup))
        GroupList.AddString(group);
}

void CDlgSourceFilter::readGroupFields()
{
    qint64 count = 0;
    if (parseDecimalPrefix(GroupCountEdit->text(), count))
        NumberGroup = std::int32_t(count);
    GroupIP = GroupAddressCtrl->address();
}

void CDlgSourceFilter::OnGroupCountChanged()
{
    readGroupFields();
    BuildGroupList();
    RemoveAddress({}, {}, {}, true, 0, false);
    OnRemoveAllHostPorts();
    // Every row of the port grid shows the new groups.
    StorePortSettings();
    FillPortInfoGrid();
}

void CDlgSourceFilter::groupTexts(int, QString &address, QString &count)
{
    if (!GroupAddressCtrl || !GroupCountEdit)
        return; // the frame lays its grid out before the page's fields exist
    address = GroupAddressCtrl->text();
    count = GroupCountEdit->text();
}

void CDlgSourceFilter::onGroupSpinChanged()
{
    // Typing waits for the field to be left; what the spin (or the field's own range fix) writes counts
    // at once.
    if (m_loading || GroupCountEdit->isModified())
        return;
    const int count = toIntPrefix(GroupCountEdit->text());
    if (count >= 1 && count != NumberGroup)
        OnGroupCountChanged();
}

void CDlgSourceFilter::onGroupAddressEdited()
{
    // A new initial address names other groups: the settings made for the old ones go with them.
    if (!m_loading && GroupAddressCtrl->address() != GroupIP)
        OnGroupCountChanged();
}

// ---- Address settings ------------------------------------------------------------------------------

UtFilterGroup *CDlgSourceFilter::findGroup(const QString &host, const QString &group)
{
    for (UtFilterHost &record : AddressSettings) {
        if (record.PortLabel != host)
            continue;
        for (UtFilterGroup &entry : record.Groups) {
            if (entry.GroupAddress == group)
                return &entry;
        }
        return nullptr;
    }
    return nullptr;
}

void CDlgSourceFilter::AddHostPort(const QString &host, const QString &source)
{
    for (UtFilterHost &record : AddressSettings) {
        if (record.PortLabel != host)
            continue;
        if (GroupList.Count() == 0)
            return;
        const QString &first = GroupList.At(0);
        for (UtFilterGroup &group : record.Groups) {
            if (group.GroupAddress == first) {
                if (!source.isEmpty())
                    group.Sources << source;
                return;
            }
        }
        record.Groups.push_back(
            {first, kIncludeMode, source.isEmpty() ? QStringList() : QStringList{source}});
        return;
    }
    UtFilterHost record{host, {}};
    for (const QString &group : GroupList.Items())
        record.Groups.push_back(
            {group, kIncludeMode, source.isEmpty() ? QStringList() : QStringList{source}});
    AddressSettings.push_back(std::move(record));
}

void CDlgSourceFilter::RemoveAddress(const QString &host, const QString &group, const QString &source,
                                     bool clearAll, std::uint32_t mode, bool setMode)
{
    if (clearAll) {
        AddressSettings.clear();
        return;
    }
    UtFilterGroup *entry = findGroup(host, group);
    if (!entry)
        return;
    if (setMode)
        entry->Mode = mode;
    else
        entry->Sources.removeOne(source);
}

// ---- Address tree ----------------------------------------------------------------------------------

QString CDlgSourceFilter::NullText()
{
    return languageText("SourceFilter_Null");
}

int CDlgSourceFilter::LevelOf(const QTreeWidgetItem *item)
{
    return item ? item->data(0, Qt::UserRole).toInt() : HostLevel;
}

QString CDlgSourceFilter::GroupItemText(const QString &group, std::uint32_t mode) const
{
    return QStringLiteral("Group:%1 - (Filter Mode:%2)")
        .arg(group, FilterTypeList->itemText(mode == kIncludeMode ? 0 : 1));
}

QString CDlgSourceFilter::ExtractGroupText(const QString &itemText)
{
    const qsizetype colon = itemText.indexOf(u':');
    if (colon < 0)
        return {};
    const qsizetype dash = itemText.indexOf(u'-', colon + 1);
    return itemText.mid(colon + 1, dash < 0 ? -1 : dash - colon - 1).trimmed();
}

QString CDlgSourceFilter::ExtractFilterModeText(const QString &itemText)
{
    const qsizetype open = itemText.indexOf(u'(');
    if (open < 0)
        return {};
    const qsizetype colon = itemText.indexOf(u':', open + 1);
    if (colon < 0)
        return {};
    const qsizetype close = itemText.indexOf(u')', colon + 1);
    return itemText.mid(colon + 1, close < 0 ? -1 : close - colon - 1).trimmed();
}

void CDlgSourceFilter::RefreshAddressTree()
{
    const auto item = [](QTreeWidgetItem *parent, const QString &text, int level) {
        auto *child = new QTreeWidgetItem(parent, {text});
        child->setData(0, Qt::UserRole, level);
        return child;
    };
    AddressTree->clear();
    for (int row = 0; row < SelectedHostGrid->GetRowCount(); ++row) {
        const QString label = rowLabel(SelectedHostGrid, row);
        auto *host = new QTreeWidgetItem(AddressTree, {label});
        host->setData(0, Qt::UserRole, HostLevel);
        const auto record = std::find_if(AddressSettings.begin(), AddressSettings.end(),
                                         [&](const UtFilterHost &entry) { return entry.PortLabel == label; });
        if (record != AddressSettings.end()) {
            for (const UtFilterGroup &group : record->Groups) {
                QTreeWidgetItem *groupItem =
                    item(host, GroupItemText(group.GroupAddress, group.Mode), GroupLevel);
                for (const QString &source : group.Sources)
                    item(groupItem, source, SourceLevel);
                if (group.Sources.isEmpty())
                    item(groupItem, NullText(), SourceLevel);
            }
        }
        host->setExpanded(true);
    }
}

std::vector<bool> CDlgSourceFilter::MenuStateOf(const QTreeWidgetItem *item)
{
    switch (item ? LevelOf(item) : HostLevel) {
    case GroupLevel:
        return {true, false, false};
    case SourceLevel:
        return {true, true, true};
    default:
        return {false, false, false};
    }
}

void CDlgSourceFilter::OnAddressTreeRightClick(const QPoint &position)
{
    QTreeWidgetItem *item = AddressTree->itemAt(position);
    if (item)
        AddressTree->setCurrentItem(item);
    const std::vector<bool> state = MenuStateOf(item);
    QMenu menu(this);
    QAction *add = menu.addAction(languageText("SourceFilter_Menu_Add"));
    QAction *remove = menu.addAction(languageText("SourceFilter_Menu_Delete"));
    QAction *edit = menu.addAction(languageText("SourceFilter_Menu_Edit"));
    add->setEnabled(state[0]);
    remove->setEnabled(state[1]);
    edit->setEnabled(state[2]);
    QAction *chosen = menu.exec(AddressTree->viewport()->mapToGlobal(position));
    if (chosen == add)
        OnAddAddress();
    else if (chosen == remove)
        OnDeleteAddress();
    else if (chosen == edit)
        OnEditAddress();
}

void CDlgSourceFilter::OnAddressTreeSelChanged()
{
    QTreeWidgetItem *item = AddressTree->currentItem();
    if (!item)
        return;
    const auto showMode = [this](const QTreeWidgetItem *group) {
        const int index = FilterTypeList->findText(ExtractFilterModeText(group->text(0)));
        if (index >= 0)
            FilterTypeList->setCurrentIndex(index);
    };
    const int level = LevelOf(item);
    if (level == HostLevel) {
        if (item->childCount() > 0)
            showMode(item->child(0));
    } else {
        showMode(level == GroupLevel ? item : item->parent());
    }
    FilterTypeList->setEnabled(level != HostLevel);
    SetButton->setEnabled(level != HostLevel);
}

void CDlgSourceFilter::OnSetFilterMode()
{
    QTreeWidgetItem *item = AddressTree->currentItem();
    if (!item)
        return;
    const auto mode = std::uint32_t(FilterTypeList->currentIndex() + 1);
    QTreeWidgetItem *group = nullptr;
    QString host;
    switch (LevelOf(item)) {
    case GroupLevel:
        group = item;
        host = item->parent() ? item->parent()->text(0) : QString();
        break;
    case SourceLevel:
        group = item->parent();
        host = group && group->parent() ? group->parent()->text(0) : QString();
        break;
    default:
        group = item->childCount() > 0 ? item->child(0) : nullptr;
        host = item->text(0);
        break;
    }
    QString address;
    if (group) {
        address = ExtractGroupText(group->text(0));
        group->setText(0, GroupItemText(address, mode));
    }
    RemoveAddress(host, address, {}, false, mode, true);
}

void CDlgSourceFilter::openAddressEditor(std::uint32_t mode)
{
    CDlgAddressEdit editor(this, mode, this);
    if (RunAddressEditor)
        RunAddressEditor(editor);
    else
        editor.exec();
}

void CDlgSourceFilter::OnAddAddress()
{
    openAddressEditor(CDlgAddressEdit::kAddMode);
}

void CDlgSourceFilter::OnEditAddress()
{
    openAddressEditor(CDlgAddressEdit::kEditMode);
}

void CDlgSourceFilter::OnDeleteAddress()
{
    QTreeWidgetItem *item = AddressTree->currentItem();
    if (!item || LevelOf(item) != SourceLevel || !item->parent() || !item->parent()->parent())
        return;
    QTreeWidgetItem *group = item->parent();
    const QString host = group->parent()->text(0);
    const QString address = ExtractGroupText(group->text(0));
    const QString source = item->text(0);
    if (group->childCount() == 1)
        item->setText(0, NullText());
    else
        delete item;
    RemoveAddress(host, address, source, false, 0, false);
}

// ---- Port moves ------------------------------------------------------------------------------------

QStringList CDlgSourceFilter::moveToSelected(bool all, CKvAvlGrid *available, CKvAvlGrid *selected,
                                             SortedStringList &list)
{
    CKvAvlGrid *other = available == SourceAvailableGrid ? HostAvailableGrid : SourceAvailableGrid;
    std::vector<int> rows;
    QStringList labels;
    for (int row = 0; row < available->GetRowCount(); ++row) {
        if (!all && !available->IsRowChecked(row))
            continue;
        rows.push_back(row);
        const QString label = rowLabel(available, row);
        labels << label;
        addPortRow(selected, label);
        list.AddString(label);
    }
    sortAndRedraw(selected);
    // Both available lists hold the same ports in the same rows.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        available->RemoveRow(*row, 0);
        other->RemoveRow(*row, 0);
    }
    available->RepaintAllParts();
    other->RepaintAllParts();
    return labels;
}

void CDlgSourceFilter::returnToAvailable(bool all, CKvAvlGrid *selected, SortedStringList &list)
{
    if (all)
        list.Clear();
    std::vector<int> rows;
    for (int row = 0; row < selected->GetRowCount(); ++row) {
        if (!all && !selected->IsRowChecked(row))
            continue;
        rows.push_back(row);
        const QString label = rowLabel(selected, row);
        addPortRow(SourceAvailableGrid, label);
        addPortRow(HostAvailableGrid, label);
        list.RemoveString(label);
    }
    sortAndRedraw(SourceAvailableGrid);
    sortAndRedraw(HostAvailableGrid);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        selected->RemoveRow(*row, 0);
    selected->RepaintAllParts();
}

void CDlgSourceFilter::OnAddSourcePorts()
{
    if (everyRowChecked(SourceAvailableGrid) && SelectedHostGrid->GetRowCount() == 0) {
        Prompter::current().messageBox(languageText("SourceFilter_Host_NA"));
        return;
    }
    moveToSelected(false, SourceAvailableGrid, SelectedSourceGrid, SelectedSourceList);
}

void CDlgSourceFilter::OnAddAllSourcePorts()
{
    if (SelectedHostGrid->GetRowCount() == 0) {
        Prompter::current().messageBox(languageText("SourceFilter_Host_NA"));
        return;
    }
    moveToSelected(true, SourceAvailableGrid, SelectedSourceGrid, SelectedSourceList);
}

void CDlgSourceFilter::OnRemoveSourcePorts()
{
    returnToAvailable(false, SelectedSourceGrid, SelectedSourceList);
}

void CDlgSourceFilter::OnRemoveAllSourcePorts()
{
    returnToAvailable(true, SelectedSourceGrid, SelectedSourceList);
}

void CDlgSourceFilter::OnAddHostPorts()
{
    if (everyRowChecked(HostAvailableGrid) && SelectedSourceGrid->GetRowCount() == 0) {
        Prompter::current().messageBox(languageText("SourceFilter_Source_NA"));
        return;
    }
    for (const QString &label : moveToSelected(false, HostAvailableGrid, SelectedHostGrid, SelectedHostList))
        AddHostPort(label, {});
    RefreshAddressTree();
}

void CDlgSourceFilter::OnAddAllHostPorts()
{
    if (SelectedSourceGrid->GetRowCount() == 0) {
        Prompter::current().messageBox(languageText("SourceFilter_Source_NA"));
        return;
    }
    for (const QString &label : moveToSelected(true, HostAvailableGrid, SelectedHostGrid, SelectedHostList))
        AddHostPort(label, {});
    RefreshAddressTree();
}

void CDlgSourceFilter::OnRemoveHostPorts()
{
    returnToAvailable(false, SelectedHostGrid, SelectedHostList);
    RefreshAddressTree();
}

void CDlgSourceFilter::OnRemoveAllHostPorts()
{
    returnToAvailable(true, SelectedHostGrid, SelectedHostList);
    RefreshAddressTree();
}

void CDlgSourceFilter::ClearPortListsAndAddresses()
{
    for (CKvAvlGrid *grid : {SourceAvailableGrid, SelectedSourceGrid, HostAvailableGrid, SelectedHostGrid})
        DeleteAllRows(grid);
    SelectedSourceList.Clear();
    SelectedHostList.Clear();
    AddressTree->clear();
    RemoveAddress({}, {}, {}, true, 0, false);
}

void CDlgSourceFilter::PruneAvailablePortLists()
{
    for (int row = SourceAvailableGrid->GetRowCount() - 1; row >= 0; --row) {
        const QString label = rowLabel(SourceAvailableGrid, row);
        if (SelectedSourceList.Contains(label) || SelectedHostList.Contains(label)) {
            SourceAvailableGrid->RemoveRow(row, 0);
            HostAvailableGrid->RemoveRow(row, 0);
        }
    }
    SourceAvailableGrid->RepaintAllParts();
    HostAvailableGrid->RepaintAllParts();
}

// ---- Run -------------------------------------------------------------------------------------------

bool CDlgSourceFilter::CheckFieldsValid()
{
    clearRefusal();
    const struct
    {
        QLineEdit *field;
        QLabel *label;
        int minimum;
        int maximum;
    } numbers[] = {{DelayEdit, m_delayLabel, 1, 300},
                   {TrialsEdit, m_trialsLabel, 1, 100},
                   {DurationEdit, m_durationLabel, 1, 30000},
                   {GroupCountEdit, m_groupCountLabel, 1, kMaxGroups}};
    for (const auto &number : numbers) {
        if (!NumEditConfig::holdsWholeNumber(number.field->text(), number.minimum, number.maximum)) {
            number.field->setFocus();
            return refuse(RangeRefusal(number.label, number.field->text(), formatInt(number.minimum),
                                       formatInt(number.maximum)));
        }
    }
    exchangeFields();
    const std::uint32_t firstOctet = GroupIP >> 24;
    if (firstOctet < 224 || firstOctet > 239) {
        GroupAddressCtrl->setFocus();
        return refuse(RangeRefusal(m_groupAddressLabel, GroupAddressCtrl->text(), QStringLiteral("224.0.0.0"),
                                   QStringLiteral("239.255.255.255")));
    }
    // Only ports of the inventory count: a label loaded for a port that is gone tests nothing.
    const auto holdsPort = [this](CKvAvlGrid *grid) {
        for (int row = 0; row < grid->GetRowCount(); ++row) {
            if (PortList.Contains(rowLabel(grid, row)))
                return true;
        }
        return false;
    };
    if (!holdsPort(SelectedSourceGrid))
        return refuse(languageText("SourceFilter_Source_NA"));
    if (!holdsPort(SelectedHostGrid))
        return refuse(languageText("SourceFilter_Host_NA"));
    return checkPortTags();
}

void CDlgSourceFilter::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    const EngineHost &host = EngineHost::instance();
    host.log(QStringLiteral("* Configuration Test Parameter... \n"));
    plan.ChartScale = 0;
    plan.TestDuration = std::uint32_t(toIntPrefix(DurationEdit->text()));
    plan.NumberOfTrials = std::uint32_t(toIntPrefix(TrialsEdit->text()));
    host.log(QString::asprintf("* Test Duration :   %d secs,      Test Trails :  %d times\n",
                               int(plan.TestDuration), int(plan.NumberOfTrials)));
    plan.PayloadPattern = 0;
    plan.IgmpVersion = 3;
    plan.DelayAfterJoin = 2;
    plan.FrameSize = 64;
    plan.FilterParams.V3GroupCount = std::uint32_t(NumberGroup);
    BytesOfAddress(GroupIP, plan.FilterParams.V3GroupAddress);
    plan.V3ReportSize = kV3ReportSize;
    // The test takes part in no test pair: the pairs' counter table lists none.
    std::memset(plan.PairSelected, 0, sizeof plan.PairSelected);
    if (SelectedSourceList.Count() == 0) {
        Prompter::current().messageBox(languageText("SourceFilter_Source_Null"));
        return;
    }
    const double rate = double(kFilterRateShare / SelectedSourceList.Count());
    plan.InitialRate = plan.MinRate = plan.MaxRate = rate;
    plan.SourcePorts.clear();
    plan.HostPorts.clear();
    for (const PortRow &row : InventoryPortRows(PortList.Count())) {
        const std::size_t index = row.index;
        UtPortRecord &record = g_Session.Ports[index];
        if (SelectedSourceList.Contains(row.label))
            plan.SourcePorts.push_back(TestPortOfRow(row.row, row.key, index));
        else if (SelectedHostList.Contains(row.label))
            plan.HostPorts.push_back(TestPortOfRow(row.row, row.key, index));
        // Every source counts in one stream for the test; the report window puts the old values back.
        // A port whose values are still saved holds this test's set-up, not its own values.
        const bool saved =
            std::any_of(g_Session.PortSaves.begin(), g_Session.PortSaves.end(),
                        [index](const UtPortSaveEntry &entry) { return entry.PortIndex == index; });
        if (!saved)
            g_Session.PortSaves.push_back(
                {std::uint16_t(index), record.StreamItemA, record.StreamItemB, record.StreamNumber});
        record.StreamItemA = 0;
        record.StreamItemB = 1;
        record.StreamNumber = 100;
        WriteRowSettings(row.row, index);
    }
}
