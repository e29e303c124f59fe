#include "ports/PortInfoConfig.h"
#include "engine/LanguageText.h"
#include "ports/PortTables.h"

#include "controls/grid/MyCug.h"
#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/widgets/NumEdit.h"
#include "controls/widgets/NumSpinCtrl.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/Session.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "ports/DlgPortCfgSet.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <cstring>

using namespace std::chrono_literals;

namespace {

constexpr unsigned short kCentred = 4 | 32;
constexpr std::uint8_t kTypeQmM08 = 55;
constexpr std::uint8_t kTypeSfpFirst = 147;
constexpr std::uint8_t kTypeSfpLast = 148;
constexpr std::uint16_t kFibreBit = 0x8000;

bool isSfpModule(std::uint8_t type)
{
    return type >= kTypeSfpFirst && type <= kTypeSfpLast;
}

QString cellText(MyCug *grid, int col, int row)
{
    QString shown;
    grid->GetCellTextTo(col, row, shown);
    return shown;
}

void setDropList(MyCug *grid, int col, int row, const QString &choices, const QString &value)
{
    grid->MakeCellDropList(col, row);
    grid->SetCellLabel(col, row, choices);
    grid->SetCellText(col, row, value);
}

void setEditable(MyCug *grid, int col, int row, bool editable, bool grey)
{
    grid->SetCellReadOnly(col, row, editable ? 0 : 1);
    grid->SetCellBackColor(col, row, grey ? MyCug::kDisabledBackColor : MyCug::kEnabledBackColor);
    grid->SetCellTextColor(col, row, grey ? MyCug::kDisabledTextColor : MyCug::kEnabledTextColor);
}

} // namespace

CPortInfoConfig::CPortInfoConfig(QWidget *parent)
    : QWidget(parent), m_runPortCfgSet([](CDlgPortCfgSet &dialog) { return dialog.exec(); })
{
    AttachSettingsGrid(new MyCug(this));
    SettingsGrid->SetGridKind(MyCug::PhysicalSettings);
    m_waitGroup = new QGroupBox(this);
    m_minWaitLabel = new QLabel(m_waitGroup);
    m_mediaTimeoutLabel = new QLabel(m_waitGroup);
    MinWaitEdit = new CNumEdit(m_waitGroup);
    MediaTimeoutEdit = new CNumEdit(m_waitGroup);
    MinWaitSpin = new CNumSpinCtrl(m_waitGroup);
    MediaTimeoutSpin = new CNumSpinCtrl(m_waitGroup);
    RouterAlertBox = new QCheckBox(this);
    ApplyButton = new QPushButton(this);
    DefaultButton = new QPushButton(this);

    auto *waits = new QHBoxLayout(m_waitGroup);
    waits->addWidget(m_minWaitLabel);
    waits->addWidget(MinWaitEdit);
    waits->addWidget(MinWaitSpin);
    waits->addSpacing(10);
    waits->addWidget(m_mediaTimeoutLabel);
    waits->addWidget(MediaTimeoutEdit);
    waits->addWidget(MediaTimeoutSpin);
    for (CNumEdit *edit : {MinWaitEdit, MediaTimeoutEdit}) {
        edit->setMaxLength(3);
        edit->setFixedWidth(40);
    }
    auto *controls = new QHBoxLayout;
    controls->setSpacing(10);
    controls->addWidget(RouterAlertBox);
    controls->addStretch();
    controls->addWidget(ApplyButton);
    controls->addWidget(DefaultButton);
    auto *page = new QVBoxLayout(this);
    page->setSpacing(10);
    page->addWidget(SettingsGrid, 1);
    page->addWidget(m_waitGroup, 0, Qt::AlignLeft);
    page->addLayout(controls);

    connect(ApplyButton, &QPushButton::clicked, this, &CPortInfoConfig::OnApply);
    connect(DefaultButton, &QPushButton::clicked, this, &CPortInfoConfig::OnDefault);
    connect(RouterAlertBox, &QCheckBox::toggled, this, &CPortInfoConfig::OnRouterAlert);
    connect(MinWaitEdit, &QLineEdit::textChanged, this, &CPortInfoConfig::OnMinWaitTimeChanged);
    connect(MediaTimeoutEdit, &QLineEdit::textChanged, this, &CPortInfoConfig::OnMediaTimeoutChanged);
    OnInitDialog();
}

void CPortInfoConfig::OnInitDialog()
{
    SetLanguageText();
    MinWaitTime = 4;
    MediaChangeTimeout = 8;
    // The texts pass through the change handlers like typed text.
    MinWaitEdit->setText(QStringLiteral("5"));
    MediaTimeoutEdit->setText(QStringLiteral("15"));
    for (CNumSpinCtrl *spin : {MinWaitSpin, MediaTimeoutSpin}) {
        spin->SetDecimals(0);
        spin->SetRangeAndStep(1, 20, 1);
    }
    MinWaitSpin->SetBuddy(MinWaitEdit);
    MediaTimeoutSpin->SetBuddy(MediaTimeoutEdit);
    SettingsGrid->InitAttachedWindow(this);
    FillPortGrid();
    RouterAlertBox->setChecked(true);
    g_Session.RouterAlert = 1;
}

void CPortInfoConfig::SetLanguageText()
{
    m_waitGroup->setTitle(languageText("PortDlg_Auto_Negotiation"));
    m_minWaitLabel->setText(languageText("PortDlg_Min_Wait"));
    m_mediaTimeoutLabel->setText(languageText("PortDlg_Media_Timeout"));
    RouterAlertBox->setText(languageText("PortDlg_Router_Alert"));
    ApplyButton->setText(languageText("PortDlg_Apply"));
    DefaultButton->setText(languageText("PortDlg_Default"));
    if (SettingsGrid && SettingsGrid->GetColumnCount() > 0)
        fillHeadings();
}

void CPortInfoConfig::RequestPortGridRefresh()
{
    if (m_refillPending)
        return;
    m_refillPending = true;
    QTimer::singleShot(0, this, [this] {
        m_refillPending = false;
        FillPortGrid();
    });
}

void CPortInfoConfig::ClearRowFlags()
{
    RowFlags.assign(std::size_t(std::max(SettingsGrid->GetRowCount() - 1, 0)), false);
}

void CPortInfoConfig::fillHeadings()
{
    UgLogFont logFont;
    logFont.height = 14;
    logFont.weight = 500;
    logFont.faceName = QStringLiteral("Arial");
    const int fontIndex = SettingsGrid->FindOrAddFont(logFont);
    const QFont *font = fontIndex >= 0 ? SettingsGrid->GetFont(fontIndex) : nullptr;
    const auto heading = [&](int col, int row, const QString &title, bool top) {
        CUGCell cell;
        SettingsGrid->ReadCell(col, row, &cell);
        cell.m_alignment = kCentred;
        cell.m_cellTypeParam = CUGCellType::kParamWordBreak;
        cell.m_properties |= CellProp::Alignment | CellProp::CellTypeParam;
        if (font) {
            cell.m_font = font;
            cell.m_properties |= CellProp::Font;
        }
        if (top) {
            cell.m_backColor = kHeadingBackColor;
            cell.m_properties |= CellProp::BackColor;
        }
        if (!title.isNull())
            cell.AssignText(title);
        SettingsGrid->WriteCell(col, row, &cell);
    };
    for (int row = -1; row < SettingsGrid->GetRowCount(); ++row)
        heading(-1, row, QString(), row == -1);
    for (int col = 0; col < ColumnCount; ++col)
        heading(col, -1, PortSettingTitle(col + 1), true);
    heading(-1, -1, PortSettingTitle(0), true);
    SettingsGrid->ChangeColumnWidth(ColSfpMode, 100);
}

void CPortInfoConfig::fillAllPortsRow()
{
    MyCug *grid = SettingsGrid;
    for (int col : {int(ColModel), int(ColAlias), int(ColFlowControl)})
        setEditable(grid, col, 0, false, true);
    setDropList(grid, ColSpeed, 0, QStringLiteral("10M\n100M\n1G\n10G\n"), QString());
    setDropList(grid, ColDuplex, 0, QStringLiteral("Full\nHalf\n"), QString());
    setDropList(grid, ColNegotiation, 0, QStringLiteral("Auto\nForce\n"), QString());
    setDropList(grid, ColMedia, 0, QStringLiteral("Copper\nFiber\n"), QString());
    setDropList(grid, ColMasterSlave, 0, QStringLiteral("Master\nSlave\n"), QString());
    setDropList(grid, ColSfpMode, 0, QStringLiteral("Normal Mode\nShadow Mode\n"), QString());
}

void CPortInfoConfig::fillPortRow(int row, int portIndex)
{
    MyCug *grid = SettingsGrid;
    const UtSession &session = g_Session;
    const UtPortTableEntry &entry = session.PortTable[portIndex];
    const UtPortHwInfo &info = session.PortHwInfo[std::size_t(portIndex)];
    const std::uint8_t type = entry.TYPE;
    const std::uint16_t link = info.SpeedMedia;
    const std::uint8_t code = std::uint8_t(link & 0xFF);
    const bool up = code != kLinkDownMediaCode;

    grid->SetCellText(-1, row, QString::asprintf("(%u,%u,%u)", entry.Id.CID, entry.Id.BID, entry.Id.PID));
    grid->SetCellText(ColModel, row, type >= 52 ? ModuleTypeToModelName(type) : QString());
    grid->SetCellText(ColAlias, row, QString());
    grid->SetCellAlignment(ColAlias, row, kCentred);
    QString speed, duplex, negotiation;
    MediaCodeToText(code, speed, duplex, negotiation);
    setDropList(grid, ColSpeed, row, SpeedChoiceListOfPort(type, link), speed);
    setDropList(grid, ColDuplex, row, QStringLiteral("Full\nHalf\n"), duplex);
    setDropList(grid, ColFlowControl, row, QStringLiteral("Off\n"), QStringLiteral("Off"));
    setDropList(grid, ColNegotiation, row, QStringLiteral("Auto\nForce\n"), negotiation);
    setDropList(grid, ColMedia, row, QStringLiteral("Copper\nFiber\n"),
                (link & kFibreBit) ? QStringLiteral("Fiber") : QStringLiteral("Copper"));
    setDropList(grid, ColMasterSlave, row, QStringLiteral("Master\nSlave\n"),
                info.Setting2 ? QStringLiteral("Slave") : QStringLiteral("Master"));
    setDropList(grid, ColSfpMode, row, QStringLiteral("Normal Mode\nShadow Mode\n"),
                info.Setting1 ? QStringLiteral("Shadow Mode") : QStringLiteral("Normal Mode"));

    const bool grey = !up;
    setEditable(grid, ColModel, row, false, false);
    setEditable(grid, ColSpeed, row, up, grey);
    setEditable(grid, ColDuplex, row, up && speed != u"1G" && speed != u"10G", grey);
    setEditable(grid, ColFlowControl, row, false, grey);
    setEditable(grid, ColNegotiation, row, up, grey);
    setEditable(grid, ColMedia, row, up && type == kTypeQmM08, grey);
    setEditable(grid, ColMasterSlave, row, up && code == 9, grey);
    setEditable(grid, ColSfpMode, row, isSfpModule(type), false);
}

void CPortInfoConfig::FillPortGrid()
{
    const UtSession &session = g_Session;
    std::vector<int> listed;
    for (int i = 0; i < session.PortCount; ++i) {
        const UtPortId &id = session.PortTable[i].Id;
        if (LookupPortIndex(id.CID, session.PortIndex, id.BID, id.PID) < 0)
            continue;
        if (std::size_t(i) < session.LockedFlags.size() && session.LockedFlags[std::size_t(i)] == 1 &&
            std::size_t(i) < session.PortHwInfo.size())
            listed.push_back(i);
    }
    MyCug *grid = SettingsGrid;
    CUGGridInfo *sheet = grid->CurrentSheet();
    sheet->m_defColWidth = 70;
    sheet->m_defRowHeight = 20;
    // Cells of an earlier fill keep nothing.
    sheet->m_dataSource->ClearAllCells();
    grid->SetColumnCount(ColumnCount);
    grid->SetRowCount(int(listed.size()) + 1);
    grid->SetSideHeadingWidth(80);
    grid->SetTopHeadingHeight(30);
    fillHeadings();
    fillAllPortsRow();
    for (std::size_t i = 0; i < listed.size(); ++i)
        fillPortRow(int(i) + 1, listed[i]);
    grid->RepaintAllParts();
    ++FillGeneration;
    ClearRowFlags();
}

std::vector<UTPortInfoCfg> CPortInfoConfig::CollectPortSettings()
{
    std::vector<UTPortInfoCfg> settings;
    MyCug *grid = SettingsGrid;
    UtSession &session = g_Session;
    for (int row = 1; row < grid->GetRowCount(); ++row) {
        UtPortKey key{};
        if (!ParsePortIdText(cellText(grid, -1, row), cellText(grid, ColModel, row), key))
            continue;
        const int index = LookupPortIndex(key.Id.CID, session.PortIndex, key.Id.BID, key.Id.PID);
        if (index < 0 || std::size_t(index) >= session.PortHwInfo.size())
            continue;
        UTPortInfoCfg setting{};
        setting.CID = key.Id.CID;
        setting.BID = key.Id.BID;
        setting.PID = key.Id.PID;
        setting.ModuleType = key.TYPE;
        setting.MediaCode = ParseMediaText(cellText(grid, ColSpeed, row), cellText(grid, ColDuplex, row),
                                           cellText(grid, ColNegotiation, row));
        setting.FiberMode = cellText(grid, ColMedia, row) == u"Fiber" ? 1 : 0;
        setting.SlaveMode = cellText(grid, ColMasterSlave, row) == u"Slave" ? 1 : 0;
        setting.ShadowMode = cellText(grid, ColSfpMode, row) == u"Shadow Mode" ? 1 : 0;
        UtPortHwInfo &info = session.PortHwInfo[std::size_t(index)];
        info.Setting1 = setting.ShadowMode;
        info.Setting2 = setting.SlaveMode;
        settings.push_back(setting);
    }
    return settings;
}

void CPortInfoConfig::OnApply()
{
    const std::vector<UTPortInfoCfg> settings = CollectPortSettings();
    if (EngineHost::instance().isDemoMode())
        applyInDemo(settings);
    else
        applyToHardware(settings);
}

// Each port drops its link, and after a second comes back with its new setting.
void CPortInfoConfig::applyInDemo(const std::vector<UTPortInfoCfg> &settings)
{
    const auto setLink = [this](const UTPortInfoCfg &setting, std::uint8_t code) {
        UtSession &session = g_Session;
        const std::int32_t record = FindPortRecordIndex(setting.CID, setting.BID, setting.PID);
        const int index = LookupPortIndex(setting.CID, session.PortIndex, setting.BID, setting.PID);
        // A row without a valid media code keeps its link.
        if (setting.MediaCode == kUnknownMediaCode || record < 0 ||
            std::size_t(record) >= session.Ports.size() || index < 0 ||
            std::size_t(index) >= session.PortHwInfo.size())
            return;
        UtPortHwInfo &info = session.PortHwInfo[std::size_t(index)];
        info.SpeedMedia = std::uint16_t((info.SpeedMedia & 0xFF00) | code);
        UtPortRecord &port = session.Ports[std::size_t(record)];
        port.SpeedMedia = std::uint16_t((port.SpeedMedia & 0xFF00) | code);
        WaitPumping(100ms);
        FillPortGrid();
    };
    for (const UTPortInfoCfg &setting : settings)
        setLink(setting, kLinkDownMediaCode);
    WaitPumping(1s);
    for (const UTPortInfoCfg &setting : settings)
        setLink(setting, std::uint8_t(setting.MediaCode & 0xFF));
}

void CPortInfoConfig::applyToHardware(const std::vector<UTPortInfoCfg> &settings)
{
    for (const UTPortInfoCfg &setting : settings) {
        if (isSfpModule(setting.ModuleType)) {
            KvPortConfigBlock block;
            std::memset(&block, 0xFF, sizeof block);
            block.Port = {setting.CID, setting.BID, setting.PID};
            block.SfpMode = setting.ShadowMode;
            Kv_TQModule_PortConfig(setting.CID, setting.BID, setting.PID, block);
        } else if (setting.MediaCode == 9) {
            KvMediaChangeBlock block{};
            block.Media = setting.MediaCode;
            block.Word6 = 0x0020;
            block.Role = setting.SlaveMode ? 2 : 1;
            Kv_TQModule_MediaTypeChange(setting.CID, setting.BID, setting.PID, block, setting.FiberMode);
        } else if (setting.MediaCode != kUnknownMediaCode) {
            Kv_TQModule_MediaType(setting.CID, setting.BID, setting.PID, std::uint8_t(setting.MediaCode),
                                  setting.FiberMode);
        }
    }
}

void CPortInfoConfig::OnDefault()
{
    MyCug *grid = SettingsGrid;
    for (int row = 1; row < grid->GetRowCount(); ++row) {
        const QString choices = SpeedChoiceList(ModelNameToModuleType(cellText(grid, ColModel, row)));
        grid->SetCellText(ColSpeed, row, choices.left(choices.indexOf(u'\n')));
        grid->SetCellText(ColDuplex, row, QStringLiteral("Full"));
        grid->SetCellText(ColNegotiation, row, QStringLiteral("Auto"));
    }
    grid->RepaintAllParts();
    OnApply();
}

void CPortInfoConfig::OnRouterAlert(bool checked)
{
    g_Session.RouterAlert = checked ? 1 : 0;
}

void CPortInfoConfig::OnMinWaitTimeChanged()
{
    const int wait = toIntPrefix(MinWaitEdit->text());
    const int timeout = toIntPrefix(MediaTimeoutEdit->text());
    if (timeout == 0)
        return;
    if (wait >= 1 && wait < timeout) {
        MinWaitTime = wait;
        return;
    }
    {
        const QSignalBlocker blocker(MinWaitEdit);
        MinWaitEdit->setText(formatUInt(unsigned(MinWaitTime)));
    }
    Prompter::current().messageBox(fillPlaceholders(languageText("MSG_RANGE_OF_Waitetime"), {formatInt(1)}));
}

void CPortInfoConfig::OnMediaTimeoutChanged()
{
    const int timeout = toIntPrefix(MediaTimeoutEdit->text());
    const int wait = toIntPrefix(MinWaitEdit->text());
    if (timeout <= 20 && timeout > wait) {
        MediaChangeTimeout = timeout;
        return;
    }
    {
        const QSignalBlocker blocker(MediaTimeoutEdit);
        MediaTimeoutEdit->setText(formatUInt(unsigned(MediaChangeTimeout)));
    }
    Prompter::current().messageBox(
        fillPlaceholders(languageText("MSG_RANGE_OF_MEDIA_TIMEOUT"), {formatInt(20)}));
}

void CPortInfoConfig::AttachSettingsGrid(MyCug *grid)
{
    SettingsGrid = grid;
    grid->SetAllPortsRunner([this](int col, const QString &value) {
        CDlgPortCfgSet dialog(this);
        dialog.Owner = this;
        dialog.Column = col;
        dialog.Value = value;
        if (m_runPortCfgSet(dialog) == QDialog::Accepted)
            dialog.ApplyToCheckedPorts(dialog.Value, dialog.Column);
    });
}
