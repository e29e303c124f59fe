#include "testpages/TestPageBase.h"

#include "controls/grid/MyCug.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/widgets/NumEdit.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/LanguageText.h"
#include "engine/Session.h"
#include "platform/NumberText.h"
#include "ports/PortCheckGrid.h"

#include <QButtonGroup>
#include <QColor>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned short kPageCentred = 0x24;
constexpr COLORREF kDisabledBack = RGB(230, 230, 230);
constexpr COLORREF kDisabledText = RGB(170, 170, 170);
constexpr COLORREF kEnabledBack = RGB(255, 255, 255);
constexpr COLORREF kEnabledText = RGB(0, 0, 0);
const QString kFlagChoices = QStringLiteral("Enable\nDisable\n");
const QString kPriorityChoices = QStringLiteral("0\n1\n2\n3\n4\n5\n6\n7\n");

// Column titles of the 20-column layout; the Mixed Class layout inserts kUnicastTitleKeys after
// "VLan Priority".
constexpr const char *kTitleKeys[20] = {
    "TestPage_Col_Module",  "TestPage_Col_Add_Times", "TestPage_Col_Max_UL",    "TestPage_Col_Cur_UL",
    "TestPage_Col_Max_DL",  "TestPage_Col_Protocol",  "TestPage_Col_MAC",       "TestPage_Col_VLAN_Enable",
    "TestPage_Col_VLAN_ID", "TestPage_Col_CFI",       "TestPage_Col_VLAN_Prio", "TestPage_Col_IP",
    "TestPage_Col_Gateway", "TestPage_Col_Mask",      "TestPage_Col_Link",      "TestPage_Col_Speed",
    "TestPage_Col_Duplex",  "TestPage_Col_Auto_Neg",  "TestPage_Col_Group_IP",  "TestPage_Col_Group_Count"};
constexpr const char *kUnicastTitleKeys[4] = {"TestPage_Col_Uni_VLAN_Enable", "TestPage_Col_Uni_VLAN_ID",
                                              "TestPage_Col_Uni_CFI", "TestPage_Col_Uni_VLAN_Prio"};
constexpr int kFirstUnicastTitle = 11;

// Status texts of the link codes 0 to 13, blanks as the grid has always shown them.
constexpr const char *kLinkStatus[14] = {
    "10M/Half/Force",    "10M/Full/Force",     "100M/Half/Force",    "100M/Full/Force",   "10M/Half/Auto",
    "10M / Full / Auto", "100M / Half / Auto", "100M / Full / Auto", "1G / Half / Force", "1G / Full / Force",
    "1G / Half / Auto",  "1G / Full / Auto",   "10G / Full / Force", "10G / Full / Auto"};
constexpr std::uint8_t kLastLinkCode = 13;

// A field's name as its label shows it, without the closing colon (ASCII or full-width) and blanks.
QString fieldName(const QLabel *label)
{
    QString name = label->text().simplified();
    while (name.endsWith(u':') || name.endsWith(u'\uFF1A') || name.endsWith(u' '))
        name.chop(1);
    return name;
}

QString orderRefusal(const char *key, const QLabel *field, const QString &value, const QLabel *other,
                     const QString &otherValue)
{
    return languageText(key).arg(fieldName(field), value.trimmed(), fieldName(other), otherValue.trimmed());
}

// The nominal speed of a module whose link is down.
QString nominalSpeed(std::uint8_t moduleType)
{
    switch (moduleType) {
    case 0x42:
    case 0x43:
    case 0x44:
        return QStringLiteral("100M");
    case 0x34:
    case 0x35:
    case 0x36:
    case 0x37:
        return QStringLiteral("1G");
    case 0x54:
    case 0x58:
    case 0x59:
    case 0x93:
    case 0x94:
        return QStringLiteral("10G");
    default:
        return QString();
    }
}

// The module type of a port in the inventory table, 0xFF when absent.
std::uint8_t tableModuleType(const UtPortRecord &record)
{
    const std::size_t count = std::min<std::size_t>(g_Session.PortCount, kMaxTestPorts);
    for (std::size_t i = 0; i < count; ++i) {
        const UtPortId &id = g_Session.PortTable[i].Id;
        if (id == record.Id())
            return g_Session.PortTable[i].TYPE;
    }
    return 0xFF;
}

// The pair number a pair-grid label ends with; 0 when it ends with no digit 1 to 8.
int pairNumberOf(const QString &label)
{
    if (label.isEmpty())
        return 0;
    const int number = label.back().digitValue();
    return number >= 1 && number <= int(kMaxTestPairs) ? number : 0;
}

// The test pairs of the application's plan (none before it exists).
const std::vector<UtTestPair> &testPairs()
{
    static const std::vector<UtTestPair> none;
    const CIGMPTestPlan *plan = EngineHost::instance().testPlan();
    return plan ? plan->TestPairs : none;
}

} // namespace

CTestPageBase::CTestPageBase(PortLayout layout, QWidget *parent)
    : QWidget(parent), m_layout(layout), m_columns(ColumnsOf(layout))
{
    auto *pageLayout = new QVBoxLayout(this);
    ConfigBox = new QGroupBox(this);
    ConfigBox->setObjectName(QStringLiteral("ctl1293"));
    pageLayout->addWidget(ConfigBox);
    auto *lower = new QHBoxLayout;
    pageLayout->addLayout(lower, 1);

    if (layout != PortLayout::SourceFilter) {
        PairBox = new QGroupBox(this);
        PairBox->setObjectName(QStringLiteral("ctl1271"));
        auto *pairLayout = new QVBoxLayout(PairBox);
        PairGrid = new CGroupPortCheck(PairBox);
        PairGrid->setObjectName(QStringLiteral("ctl1269"));
        PairGrid->setMinimumWidth(160);
        pairLayout->addWidget(PairGrid);
        lower->addWidget(PairBox);
    }

    PortBox = new QGroupBox(this);
    PortBox->setObjectName(QStringLiteral("ctl1272"));
    auto *portLayout = new QVBoxLayout(PortBox);
    auto *categories = new QHBoxLayout;
    CategoryLabel = new QLabel(PortBox);
    categories->addWidget(CategoryLabel);
    m_categories = new QButtonGroup(this);
    const auto addCategory = [&](QRadioButton *&button, int id, void (CTestPageBase::*handler)()) {
        button = new QRadioButton(PortBox);
        button->setObjectName(QStringLiteral("ctl%1").arg(id));
        m_categories->addButton(button, id);
        categories->addWidget(button);
        connect(button, &QRadioButton::clicked, this, handler);
    };
    addCategory(CategoryAll, 1311, &CTestPageBase::OnCategoryAll);
    addCategory(CategoryBasic, 1312, &CTestPageBase::OnCategoryBasic);
    addCategory(CategoryProtocol, 1313, &CTestPageBase::OnCategoryProtocol);
    addCategory(CategoryIgmpSetting, 1314, &CTestPageBase::OnCategoryIgmpSetting);
    categories->addStretch(1);
    portLayout->addLayout(categories);
    PortGrid = new MyCug(PortBox);
    PortGrid->setObjectName(layout == PortLayout::MixClass ? QStringLiteral("ctl1545")
                                                           : QStringLiteral("ctl1270"));
    PortGrid->SetGridKind(layout == PortLayout::MixClass ? MyCug::MixClassPorts : MyCug::Other);
    portLayout->addWidget(PortGrid, 1);
    lower->addWidget(PortBox, 1);

    // The common start: grids attached, pairs listed, the port settings taken, the port grid laid out.
    if (PairGrid) {
        PairGrid->InitAttachedWindow(this);
        PairGrid->CurrentSheet()->m_menuOn = 0; // checks change only through the check box
        PairGrid->ChangeColumnWidth(0, 154);
    }
    PortGrid->InitAttachedWindow(this);
    FillPairGrid();
    SnapshotPortSettings();
    InitPortInfoGrid();
    CTestPageBase::SetLanguageText();
}

CTestPageBase::~CTestPageBase() = default;

QString CTestPageBase::RangeRefusal(const QLabel *field, const QString &value, const QString &minimum,
                                    const QString &maximum)
{
    const QString shown = value.trimmed();
    if (shown.isEmpty())
        return languageText("TestPage_Refuse_Empty").arg(fieldName(field), minimum, maximum);
    return languageText("TestPage_Refuse_Range").arg(fieldName(field), shown, minimum, maximum);
}

QString CTestPageBase::AboveRefusal(const QLabel *field, const QString &value, const QLabel *other,
                                    const QString &otherValue)
{
    return orderRefusal("TestPage_Refuse_Above", field, value, other, otherValue);
}

QString CTestPageBase::NotBelowRefusal(const QLabel *field, const QString &value, const QLabel *other,
                                       const QString &otherValue)
{
    return orderRefusal("TestPage_Refuse_Not_Below", field, value, other, otherValue);
}

QString CTestPageBase::PortLabelOf(const UtPortRecord &record)
{
    QString label;
    FormatPortLabel({{record.CID, record.BID, record.PID}, tableModuleType(record)}, label);
    return label;
}

CTestPageBase::Columns CTestPageBase::ColumnsOf(PortLayout layout)
{
    if (layout == PortLayout::MixClass)
        return {24, 11, 15, 18, 22};
    return {20, -1, 11, 14, 18};
}

void CTestPageBase::ensurePortSettings()
{
    for (std::size_t i = PortSettingsList.size(); i < g_Session.Ports.size(); ++i)
        PortSettingsList.push_back(PortSettingsOf(g_Session.Ports[i]));
}

void CTestPageBase::SnapshotPortSettings()
{
    ensurePortSettings();
}

std::vector<CTestPageBase::TagCell> CTestPageBase::tagCells() const
{
    std::vector<TagCell> cells = {
        {kVlanEnableColumn + 1, kMaxVLanId,
         [](UtPortProtocolSettings &settings, int value) { settings.VLanID = std::uint16_t(value); }},
        {kVlanEnableColumn + 3, kMaxVLanPriority,
         [](UtPortProtocolSettings &settings, int value) { settings.VLanPriority = std::uint8_t(value); }}};
    if (m_columns.unicast >= 0) {
        cells.push_back({m_columns.unicast + 1, kMaxVLanId, [](UtPortProtocolSettings &settings, int value) {
                             settings.UniVLanID = std::uint16_t(value);
                         }});
        cells.push_back(
            {m_columns.unicast + 3, kMaxVLanPriority, [](UtPortProtocolSettings &settings, int value) {
                 settings.UniVLanPriority = std::uint8_t(value);
             }});
    }
    return cells;
}

void CTestPageBase::storeRow(int row, std::size_t portIndex, UtPortProtocolSettings &settings)
{
    QString cell;
    const auto read = [&](int col) -> const QString & {
        cell.clear();
        PortGrid->GetCellTextTo(col, row, cell);
        return cell;
    };
    ParseDottedText(read(m_columns.address), settings.IPAddress);
    ParseDottedText(read(m_columns.address + 1), settings.GatewayIP);
    ParseDottedText(read(m_columns.address + 2), settings.Mask);
    settings.VLanState = FlagOfText(read(kVlanEnableColumn));
    settings.CFI = FlagOfText(read(kVlanEnableColumn + 2));
    if (m_columns.unicast >= 0) {
        settings.UniVLanState = FlagOfText(read(m_columns.unicast));
        settings.UniCFI = FlagOfText(read(m_columns.unicast + 2));
    }
    // A tag value only when it fits its field; any other text stays on show for Run to refuse.
    for (const TagCell &tag : tagCells()) {
        const QString &text = read(tag.column);
        const std::pair key{portIndex, tag.column};
        if (!NumEditConfig::holdsWholeNumber(text, 0, tag.maximum)) {
            m_untakenTagTexts[key] = text;
            continue;
        }
        m_untakenTagTexts.erase(key);
        tag.store(settings, toIntPrefix(text));
    }
}

bool CTestPageBase::checkPortTags()
{
    for (const PortRow &row : InventoryPortRows()) {
        for (const TagCell &tag : tagCells()) {
            QString text;
            PortGrid->GetCellTextTo(tag.column, row.row, text);
            if (NumEditConfig::holdsWholeNumber(text, 0, tag.maximum))
                continue;
            QString title;
            PortGrid->GetCellTextTo(tag.column, -1, title);
            return refuse(languageText("TestPage_Refuse_Port_Cell")
                              .arg(formatInt(row.row + 1), row.label.trimmed(), title.simplified(),
                                   text.trimmed(), formatInt(0), formatInt(tag.maximum)));
        }
    }
    return true;
}

bool CTestPageBase::checkPairTicked() const
{
    for (int row = 0; PairGrid && row < PairGrid->GetRowCount(); ++row) {
        if (IsRowChecked(PairGrid, row))
            return true;
    }
    return refuse(languageText("TestPage_Refuse_No_Pair"));
}

void CTestPageBase::StorePortSettings()
{
    ensurePortSettings();
    const int rows = PortGrid->GetRowCount();
    for (int row = 0; row < rows; ++row) {
        QString label;
        PortGrid->GetCellTextTo(0, row, label);
        if (label.isEmpty())
            return;
        UtPortKey key{};
        if (!ParsePortLabel(label, key))
            continue;
        for (std::size_t j = 0; j < g_Session.Ports.size(); ++j) {
            const UtPortRecord &record = g_Session.Ports[j];
            if (record.Id() == key.Id)
                storeRow(row, j, PortSettingsList[j]);
        }
    }
}

bool CTestPageBase::InitPortInfoGrid()
{
    CUGGridInfo *sheet = PortGrid->CurrentSheet();
    sheet->m_defColWidth = 80;
    sheet->m_defRowHeight = 20;
    PortGrid->SetRowCount(kPortRows);
    PortGrid->SetColumnCount(m_columns.count);
    for (int col = -1; col < m_columns.count; ++col) {
        PortGrid->SetCellBackColor(col, -1, kHeadingColor);
        PortGrid->ChangeColumnWidth(col, kColumnWidth);
    }
    if (m_layout != PortLayout::MixClass) {
        constexpr int kFirstWidths[] = {125, 90, 115, 135, 115, 135};
        for (int col = 0; col < 6; ++col)
            PortGrid->ChangeColumnWidth(col, kFirstWidths[col]);
    }
    sheet->m_userSizingMode = 0;
    PortGrid->SetSideHeadingWidth(0);
    CategoryAll->setChecked(true);
    for (int col = 1; col <= 4; ++col)
        PortGrid->ChangeColumnWidth(col, 0);
    if (m_layout != PortLayout::SourceFilter)
        PortGrid->ChangeColumnWidth(m_columns.group + 1, 0);
    for (int row = 0; row < 10; ++row) {
        for (int col = m_columns.address; col < m_columns.address + 3; ++col)
            PortGrid->SetCellReadOnly(col, row, 0);
    }
    return true;
}

int CTestPageBase::FindPortInfoRow(const QString &label)
{
    const int rows = PortGrid->GetRowCount();
    for (int row = 0; row < rows; ++row) {
        QString shown;
        PortGrid->GetCellTextTo(0, row, shown);
        if (shown == label)
            return row;
    }
    return -1;
}

int CTestPageBase::AddPortInfoRow(const QString &label)
{
    const int rows = PortGrid->GetRowCount();
    int row = 0;
    for (; row < rows; ++row) {
        QString shown;
        PortGrid->GetCellTextTo(0, row, shown);
        if (shown.isEmpty())
            break;
    }
    // More ports than rows: the grid grows rather than lose a port.
    if (row == rows)
        PortGrid->SetRowCount(rows + 1);
    PortGrid->SetCellText(0, row, label);
    PortGrid->SetCellText(kAddTimesColumn, row, QStringLiteral("1"));
    PortGrid->SetCellAlignment(kAddTimesColumn, row, kPageCentred);
    return row;
}

void CTestPageBase::FillPortInfoGrid(int pairIndex)
{
    ensurePortSettings();
    PortGrid->ClearAllText();
    const int pairRows = PairGrid ? PairGrid->GetRowCount() : 0;
    for (int r = 0; r < pairRows; ++r) {
        QString label;
        PairGrid->GetRowText(r, label);
        const int n = pairNumberOf(label);
        if (n == 0)
            continue;
        if (!IsRowChecked(PairGrid, r)) {
            PairChecked[std::size_t(n)] = 0;
            continue;
        }
        PairChecked[std::size_t(n)] = 1;
        for (std::size_t i = 0; i < g_Session.Ports.size(); ++i) {
            const UtPortRecord &record = g_Session.Ports[i];
            if (record.SourcePair != n && record.HostPair != n)
                continue;
            const QString portLabel = PortLabelOf(record);
            const int row = FindPortInfoRow(portLabel);
            if (row < 0) {
                // A new row shows the group of its own pair.
                SetPortInfoRow(AddPortInfoRow(portLabel), i, n - 1);
                continue;
            }
            QString times;
            PortGrid->GetCellTextTo(kAddTimesColumn, row, times);
            PortGrid->SetCellText(kAddTimesColumn, row, formatInt(toIntPrefix(times) + 1));
            PortGrid->SetCellAlignment(kAddTimesColumn, row, kPageCentred);
            SetPortInfoRow(row, i, pairIndex);
        }
    }
    PortGrid->RepaintAllParts();
}

void CTestPageBase::setTagCells(int firstCol, int row, std::uint8_t state, std::uint16_t id, std::uint8_t cfi,
                                std::uint8_t priority)
{
    const bool enabled = state == 1;
    for (int col = firstCol + 1; col <= firstCol + 3; ++col) {
        PortGrid->SetCellBackColor(col, row, enabled ? kEnabledBack : kDisabledBack);
        PortGrid->SetCellTextColor(col, row, enabled ? kEnabledText : kDisabledText);
        PortGrid->SetCellReadOnly(col, row, enabled ? 0 : 1);
    }
    PortGrid->RepaintRow(row);
    const auto dropList = [&](int col, const QString &value, const QString &choices) {
        PortGrid->SetCellText(col, row, value);
        PortGrid->MakeCellDropList(col, row);
        PortGrid->SetCellLabel(col, row, choices);
        PortGrid->SetCellTypeParam(col, row, kDropListParam);
    };
    dropList(firstCol, FlagText(state), kFlagChoices);
    PortGrid->SetCellText(firstCol + 1, row, formatInt(id));
    dropList(firstCol + 2, FlagText(cfi), kFlagChoices);
    dropList(firstCol + 3, formatInt(priority), kPriorityChoices);
}

void CTestPageBase::setLinkCells(int row, std::uint8_t linkCode, std::uint8_t moduleType)
{
    const int col = m_columns.link;
    if (linkCode == kLinkDownMediaCode) {
        PortGrid->SetCellText(col, row, QStringLiteral("LinkDown"));
        const QString speed = nominalSpeed(moduleType);
        if (!speed.isEmpty())
            PortGrid->SetCellText(col + 1, row, speed);
        return;
    }
    if (linkCode > kLastLinkCode)
        return;
    QString speed, duplex, negotiation;
    MediaCodeToText(linkCode, speed, duplex, negotiation);
    PortGrid->SetCellText(col, row, QString::fromLatin1(kLinkStatus[linkCode]));
    PortGrid->SetCellText(col + 1, row, speed);
    PortGrid->SetCellText(col + 2, row, duplex);
    PortGrid->SetCellText(col + 3, row, negotiation);
}

void CTestPageBase::groupTexts(int pairIndex, QString &address, QString &count)
{
    const std::vector<UtTestPair> &pairs = testPairs();
    if (pairIndex < 0 || std::size_t(pairIndex) >= pairs.size())
        return;
    const UtTestPair &pair = pairs[std::size_t(pairIndex)];
    address = DottedText(pair.GroupIP);
    count = formatInt(pair.NumofGroup);
}

void CTestPageBase::SetPortInfoRow(int row, std::size_t portIndex, int pairIndex)
{
    ensurePortSettings();
    if (portIndex >= g_Session.Ports.size() || row < 0 || row >= PortGrid->GetRowCount())
        return;
    const UtPortRecord &record = g_Session.Ports[portIndex];
    const UtPortProtocolSettings &settings = PortSettingsList[portIndex];
    const std::uint8_t *mac = record.MAC;
    PortGrid->SetCellText(
        kMacColumn, row,
        QString::asprintf("%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]));
    setTagCells(kVlanEnableColumn, row, settings.VLanState, settings.VLanID, settings.CFI,
                settings.VLanPriority);
    if (m_columns.unicast >= 0)
        setTagCells(m_columns.unicast, row, settings.UniVLanState, settings.UniVLanID, settings.UniCFI,
                    settings.UniVLanPriority);
    for (auto kept = m_untakenTagTexts.lower_bound({portIndex, 0});
         kept != m_untakenTagTexts.end() && kept->first.first == portIndex; ++kept)
        PortGrid->SetCellText(kept->first.second, row, kept->second);
    PortGrid->SetCellText(m_columns.address, row, DottedText(settings.IPAddress));
    PortGrid->SetCellText(m_columns.address + 1, row, DottedText(settings.GatewayIP));
    PortGrid->SetCellText(m_columns.address + 2, row, DottedText(settings.Mask));
    setLinkCells(row, std::uint8_t(record.SpeedMedia & 0xFF), record.ModuleType);
    QString address, count;
    groupTexts(pairIndex, address, count);
    PortGrid->SetCellText(m_columns.group, row, address);
    PortGrid->SetCellText(m_columns.group + 1, row, count);
    for (int col = kMacColumn; col < m_columns.count; ++col)
        PortGrid->SetCellAlignment(col, row, kPageCentred);
}

QString CTestPageBase::ResultPairLabel(int pair)
{
    return languageText("Result_Test_Pair") + QString::asprintf(" -%d", pair);
}

void CTestPageBase::FillPairGrid()
{
    if (!PairGrid)
        return;
    DeleteAllRows(PairGrid);
    // Nothing flagged lists nothing: a grid left from before would otherwise be stored over the
    // port settings later.
    PortGrid->ClearAllText();
    beforePairGridFill();
    const std::vector<UtTestPair> &pairs = testPairs();
    const std::size_t count = std::min(pairs.size(), kMaxTestPairs);
    int rowCounter = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (pairs[i].Status != 1)
            continue;
        const bool checked = PairChecked[i + 1] != 0;
        PairGrid->AddRow(rowCounter,
                         fillPlaceholders(languageText("PortDlg_Test_Pair"), {formatInt(int(i) + 1)}),
                         checked ? 1 : 0, nullptr, kPairCheckStyle);
        if (checked) {
            onCheckedPairRow(rowCounter);
            FillPortInfoGrid(int(i));
        }
        ++rowCounter;
    }
    afterPairGridFill();
    PortGrid->RepaintAllParts();
}

void CTestPageBase::FillPortInfoGridForCheckedPairs()
{
    if (!PairGrid)
        return;
    for (int row = 0; row < PairGrid->GetRowCount(); ++row) {
        QString label;
        PairGrid->GetRowText(row, label);
        const int n = pairNumberOf(label);
        if (n > 0 && IsRowChecked(PairGrid, row))
            FillPortInfoGrid(n - 1);
    }
}

void CTestPageBase::FillPortInfoGridForPairRow(int row)
{
    QString label;
    PairGrid->GetRowText(row, label);
    FillPortInfoGrid(pairNumberOf(label) - 1);
}

void CTestPageBase::setColumnWidths(std::initializer_list<std::pair<int, int>> shown, bool all)
{
    if (all)
        PortGrid->ChangeColumnWidth(0, kColumnWidth);
    for (int col = 1; col < m_columns.count; ++col)
        PortGrid->ChangeColumnWidth(col, 0);
    const int protocolWidth = m_layout == PortLayout::MixClass ? kColumnWidth : kProtocolWidth;
    for (const auto &[first, last] : shown) {
        for (int col = first; col <= last; ++col)
            PortGrid->ChangeColumnWidth(col, col == kProtocolColumn ? protocolWidth : kColumnWidth);
    }
    PortGrid->RepaintAllParts();
}

void CTestPageBase::OnCategoryAll()
{
    const int last = m_layout == PortLayout::SourceFilter ? m_columns.group + 1 : m_columns.group;
    setColumnWidths({{kProtocolColumn, last}}, true);
}

void CTestPageBase::OnCategoryBasic()
{
    setColumnWidths({{m_columns.link, m_columns.link + 3}}, false);
}

void CTestPageBase::OnCategoryProtocol()
{
    setColumnWidths({{kProtocolColumn, m_columns.address + 2}}, false);
}

void CTestPageBase::OnCategoryIgmpSetting()
{
    const bool withCount = m_layout != PortLayout::Standard;
    setColumnWidths({{m_columns.group, withCount ? m_columns.group + 1 : m_columns.group}}, false);
}

void CTestPageBase::SetLanguageText()
{
    ConfigBox->setTitle(languageText("TestPage_Test_Configuration"));
    if (PairBox)
        PairBox->setTitle(languageText(m_pairBoxKey));
    PortBox->setTitle(languageText("TestPage_Port_Information"));
    CategoryLabel->setText(languageText("TestPage_Categories"));
    CategoryAll->setText(languageText("TestPage_Category_All"));
    CategoryBasic->setText(languageText("TestPage_Category_Basic"));
    CategoryProtocol->setText(languageText("TestPage_Category_Protocol"));
    CategoryIgmpSetting->setText(languageText("TestPage_Category_IGMP"));
    for (int col = 0; col < m_columns.count; ++col) {
        const char *key = nullptr;
        if (m_columns.unicast < 0 || col < kFirstUnicastTitle)
            key = kTitleKeys[col];
        else if (col < kFirstUnicastTitle + 4)
            key = kUnicastTitleKeys[col - kFirstUnicastTitle];
        else
            key = kTitleKeys[col - 4];
        PortGrid->SetCellText(col, -1, languageText(key));
    }
    PortGrid->RepaintAllParts();
}

std::uint8_t CTestPageBase::PayloadPatternOfIndex(int index)
{
    constexpr std::uint8_t kPatterns[] = {14, 4, 6, 9, 15};
    return index >= 0 && index < int(std::size(kPatterns)) ? kPatterns[index] : 0;
}

std::uint8_t CTestPageBase::IgmpVersionOfIndex(int index)
{
    return index >= 0 && index <= 2 ? std::uint8_t(index + 1) : 2;
}

int CTestPageBase::PairNumberOfLabel(const QString &label)
{
    return pairNumberOf(label);
}

UtTestPort CTestPageBase::TestPortOfRow(int row, const UtPortKey &key, std::size_t portIndex)
{
    UtTestPort port{};
    port.Id = key.Id;
    port.TYPE = key.TYPE;
    port.PortIndex = std::uint16_t(portIndex);
    port.SpeedMedia = std::uint16_t(PortGrid->GetLinkModeCode(row));
    return port;
}

void CTestPageBase::ApplyPairsAndPorts(CIGMPTestPlan &plan, std::vector<UtTestPort> *hostList)
{
    std::memset(plan.PairSelected, 0, sizeof plan.PairSelected);
    const int pairRows = PairGrid ? PairGrid->GetRowCount() : 0;
    for (int r = 0; r < pairRows; ++r) {
        QString label;
        PairGrid->GetRowText(r, label);
        const int n = pairNumberOf(label);
        if (n > 0 && IsRowChecked(PairGrid, r)) {
            plan.PairSelected[n - 1] = 1;
            PairChecked[std::size_t(n)] = 1;
        }
    }
    plan.SourcePorts.clear();
    plan.HostPorts.clear();
    if (hostList)
        hostList->clear();
    for (const PortRow &row : InventoryPortRows()) {
        const UtPortKey &key = row.key;
        UtPortRecord &record = g_Session.Ports[row.index];
        if (record.SourcePair > 0) {
            plan.SourcePorts.push_back(TestPortOfRow(row.row, key, row.index));
        } else if (record.HostPair > 0) {
            UtTestPort port = TestPortOfRow(row.row, key, row.index);
            if (m_columns.unicast >= 0 && record.HostPair <= plan.TestPairs.size()) {
                const UtTestPair &pair = plan.TestPairs[record.HostPair - 1u];
                port.Flag =
                    pair.UniCid == key.Id.CID && pair.UniBid == key.Id.BID && pair.UniPid == key.Id.PID;
            }
            plan.HostPorts.push_back(port);
            if (hostList)
                hostList->push_back(port);
        }
        WriteRowSettings(row.row, row.index);
    }
}

void CTestPageBase::AddIgmpVersionRow(QGridLayout *grid, int row, const QString &comboName, QLabel *&label,
                                      QComboBox *&combo)
{
    label = new QLabel(ConfigBox);
    combo = new QComboBox(ConfigBox);
    combo->setObjectName(comboName);
    combo->addItems({QStringLiteral("v1"), QStringLiteral("v2"), QStringLiteral("v3")});
    combo->setCurrentIndex(1);
    grid->addWidget(label, row, 0);
    grid->addWidget(combo, row, 1, 1, 2);
}

void CTestPageBase::StyleResultLabel(QLabel *label, const QColor &colour, int pixelSize, QFont::Weight weight)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    QFont font(QStringLiteral("Microsoft Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    label->setFont(font);
}

QVBoxLayout *CTestPageBase::AddResultBesideConfig(QGroupBox *&box, QTableWidget *&grid, int columns)
{
    auto *pageLayout = qobject_cast<QVBoxLayout *>(layout());
    pageLayout->removeWidget(ConfigBox);
    auto *top = new QHBoxLayout;
    top->addWidget(ConfigBox);
    auto *results = new QVBoxLayout;
    box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("ctl1275"));
    auto *boxLayout = new QVBoxLayout(box);
    grid = new QTableWidget(1, columns, box);
    grid->setObjectName(QStringLiteral("ctl1277"));
    grid->verticalHeader()->hide();
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every column fits its title and its texts on one line, and the grid keeps the width to show all
    // columns beside a vertical scroll bar.
    grid->setWordWrap(false);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Its height follows the configuration box beside it, with the titles and three rows at least:
    // more rows scroll.
    grid->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    grid->setMinimumHeight(grid->horizontalHeader()->sizeHint().height() +
                           3 * grid->verticalHeader()->defaultSectionSize() + 2 * grid->frameWidth());
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, grid, [grid] {
        grid->setMinimumWidth(grid->horizontalHeader()->length() + 2 * grid->frameWidth() +
                              grid->verticalScrollBar()->sizeHint().width());
    });
    boxLayout->addWidget(grid);
    results->addWidget(box, 1);
    top->addLayout(results, 1);
    pageLayout->insertLayout(0, top);
    return results;
}

std::vector<CTestPageBase::PortRow> CTestPageBase::InventoryPortRows(int maxRows)
{
    std::vector<PortRow> rows;
    const int count = maxRows < 0 ? PortGrid->GetRowCount() : std::min(maxRows, PortGrid->GetRowCount());
    for (int row = 0; row < count; ++row) {
        QString label;
        PortGrid->GetCellTextTo(0, row, label);
        if (label.isEmpty())
            break;
        UtPortKey key{};
        if (!ParsePortLabel(label, key))
            continue;
        const std::int32_t index = FindPortRecordIndex(key.Id.CID, key.Id.BID, key.Id.PID);
        if (index < 0 || std::size_t(index) >= g_Session.Ports.size())
            continue;
        rows.push_back({row, label, key, std::size_t(index)});
    }
    return rows;
}

void CTestPageBase::WriteRowSettings(int row, std::size_t portIndex)
{
    UtPortRecord &record = g_Session.Ports[portIndex];
    UtPortProtocolSettings settings = PortSettingsOf(record);
    storeRow(row, portIndex, settings);
    std::memcpy(&record.IPAddress, settings.IPAddress, 4);
    std::memcpy(&record.GatewayIP, settings.GatewayIP, 4);
    std::memcpy(&record.Mask, settings.Mask, 4);
    record.VLanState = settings.VLanState;
    record.VLanID = settings.VLanID;
    record.CFI = settings.CFI;
    record.VLanPriority = settings.VLanPriority;
    if (m_columns.unicast >= 0) {
        record.UniVLanState = settings.UniVLanState;
        record.UniVLanID = settings.UniVLanID;
        record.UniCFI = settings.UniCFI;
        record.UniVLanPriority = settings.UniVLanPriority;
    }
}
