#include "ports/ModuleInfodlg.h"

#include "controls/grid/MyCug.h"
#include "controls/grid/UGCell.h"
#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGGridInfo.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/HardwareInfo.h"
#include "engine/LanguageText.h"
#include "engine/Session.h"
#include "platform/Prompter.h"
#include "ports/PortArt.h"
#include "ports/PortTables.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>

namespace {

const QString kNotAvailable = QStringLiteral("n/a");
constexpr int kControllerPolls = 10;
// The heading row of the module table is never lower than this.
constexpr int kMinHeadingHeight = 25;
constexpr std::uint32_t kControllerPollMs = 200;

bool moduleDemoMode()
{
    return EngineHost::instance().isDemoMode();
}

// The model names of the module window: the codes 0x34 to 0x94 of the model table.
QString moduleName(std::uint8_t type)
{
    return type >= 0x34 && type <= 0x94 ? ModuleTypeToModelName(type) : QString();
}

int moduleCount(const UtSession &session)
{
    int count = 0;
    for (std::uint16_t i = 0; i < session.PortCount; ++i)
        count += session.PortTable[i].Id.PID == 1 ? 1 : 0;
    return count;
}

bool hasControllerRows(std::uint8_t model)
{
    return IsKnownControllerModel(model);
}

// Marks a module row outdated or lite by its session flags.
void markModule(CModuleInfodlg::Row &row, bool outdated, bool lite)
{
    if (outdated) {
        row.grey = true;
        row.outdatedMark = true;
        row.cells[CModuleInfodlg::FirmwareColumn] += QStringLiteral("(Outdated)");
    }
    if (lite) {
        row.grey = true;
        row.liteMark = true;
    }
}

} // namespace

CModuleInfodlg::CModuleInfodlg(QWidget *owner) : QDialog(owner)
{
    setWindowTitle(EngineHost::instance().text(QStringLiteral("ModuleInfo_Title")));
    resize(980, 520);
    m_group = new QGroupBox(this);
    m_grid = new MyCug(this);
    m_grid->InitAttachedWindow(this);
    m_ok = new QPushButton(EngineHost::instance().text(QStringLiteral("ModuleInfo_BT_OK")), this);
    m_ok->resize(90, 28);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    // Esc closes the window wherever the focus is: the grid keeps every other key for itself.
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QDialog::reject, Qt::WidgetWithChildrenShortcut);
    m_outdatedBitmap = QPixmap::fromImage(PortArt::treeBitmap(PortArt::OutdatedModulePicture));
    m_liteBitmap = QPixmap::fromImage(PortArt::treeBitmap(PortArt::LiteModulePicture));
    const auto legend = [this](QLabel *&icon, QLabel *&label, const QPixmap &bitmap, const char *key) {
        icon = new QLabel(this);
        icon->setPixmap(bitmap);
        label = new QLabel(languageText(key), this);
        icon->hide();
        label->hide();
    };
    legend(m_outdatedIcon, m_outdatedText, m_outdatedBitmap, "Reserved_Note_Outdated");
    legend(m_liteIcon, m_liteText, m_liteBitmap, "Reserved_Note_Lite");
    if (EngineHost::instance().isTestRunning())
        Prompter::current().messageBox(EngineHost::instance().text(QStringLiteral("Note_System_Runing")),
                                       MB_OK);
}

void CModuleInfodlg::ReadBoardInfo()
{
    if (!moduleDemoMode()) {
        readController();
        ProbeModules(g_Session);
    }
    WaitPumping(kModuleProbeWaitMs);
}

void CModuleInfodlg::readController()
{
    UtSession &session = g_Session;
    const UtPortId &at = session.Controller.Id;
    const auto waitForAnswer = [&] {
        for (int poll = 0; poll < kControllerPolls && session.EepromArrived == 0; ++poll)
            WaitPumping(kControllerPollMs);
    };
    switch (ControllerModel(session.Controller.Model)) {
    case ControllerModel::C2:
        Kv_QMC1_BoardStatus(at.CID, at.BID, at.PID);
        if (Kv_QMC1_93C56_Read(at.CID, at.BID, at.PID))
            session.ChassisModelName = QStringLiteral("QM-C1");
        Kv_QMC2_BoardStatus(at.CID, at.BID, at.PID);
        if (Kv_QMC2_93C56_Read(at.CID, at.BID, at.PID))
            session.ChassisModelName = QStringLiteral("QM-C2");
        break;
    case ControllerModel::C6:
        Kv_QMC6_BoardStatus(at.CID, at.BID, at.PID);
        if (Kv_QMC6_93C56_Read(at.CID, at.BID, at.PID, 0))
            session.ChassisModelName = QStringLiteral("QM-C6");
        break;
    case ControllerModel::C4:
        session.EepromArrived = 0;
        Kv_QMC4_BoardStatus(at.CID, at.BID, at.PID);
        if (Kv_QMC4_93C56_Read(at.CID, at.BID, at.PID, 1))
            waitForAnswer();
        // The flag is not cleared in between: an answer to the first read ends this wait at once.
        if (Kv_QMC4_93C56_Read(at.CID, at.BID, at.PID, 0)) {
            waitForAnswer();
            session.ChassisModelName = QStringLiteral("QM-C4");
        }
        break;
    default:
        break; // a controller this window does not read
    }
}

CModuleInfodlg::Table CModuleInfodlg::HardwareTable(const UtSession &session)
{
    Table table;
    table.sorted = true;
    const std::uint8_t model = session.Controller.Model;
    const int extraRows = !IsKnownControllerModel(model) ? 0 : IsLayoutB(model) ? 3 : 2;
    table.rowCount = moduleCount(session) + extraRows;

    for (std::uint16_t i = 0; i < session.PortCount; ++i) {
        const UtPortTableEntry &entry = session.PortTable[i];
        if (entry.Id.PID != 1)
            continue;
        const int index = LookupPortIndex(entry.Id.CID, session.PortIndex, entry.Id.BID, 1);
        if (index < 0 || index >= session.PortCount)
            continue;
        const UtModuleInfo info = ModuleInfoOf(session.BoardVersions[index]);
        Row row;
        row.heading = QString::number(entry.Id.BID);
        row.cells = {moduleName(entry.TYPE),
                     FormatVersion(info.Firmware),
                     FormatVersion(info.Fpga),
                     FormatVersion(info.Prom),
                     QStringLiteral("v%1").arg(info.Hardware),
                     session.PortAddr[index].Status != 0 ? QStringLiteral("Locked")
                                                         : QStringLiteral("Unlocked"),
                     AnsiToCString(session.PortEeprom[index].SerialNumber),
                     FormatMac(info.MAC, u"")};
        markModule(row, session.FirmwareOutdated[index] == 1, IsLiteModuleType(entry.TYPE));
        table.outdatedLegend = table.outdatedLegend || row.outdatedMark;
        table.liteLegend = table.liteLegend || row.liteMark;
        table.rows.push_back(row);
    }
    if (!hasControllerRows(model))
        return table;

    const UtSystemInfo info = SystemInfoOf(session);
    Row controller;
    controller.heading = QString::number(info.ControllerSlot);
    controller.cells = {info.ModelText,        FormatVersion(info.Hardware),
                        kNotAvailable,         FormatVersion(info.Further),
                        kNotAvailable,         kNotAvailable,
                        info.ControllerSerial, kNotAvailable};
    controller.liteMark = IsLiteControllerModel(model);
    table.liteLegend = table.liteLegend || controller.liteMark;
    table.rows.push_back(controller);

    Row chassis;
    chassis.cells = {QString(),
                     kNotAvailable,
                     FormatVersion(info.Firmware),
                     kNotAvailable,
                     QString::asprintf("MP%02u", info.Pcb),
                     kNotAvailable,
                     info.ChassisSerial,
                     kNotAvailable};
    if (IsLayoutB(model)) {
        chassis.cells[NameColumn] = QStringLiteral("QM-H4");
        table.rows.push_back(chassis);
        Row second;
        second.cells.fill(kNotAvailable);
        second.cells[NameColumn] = QStringLiteral("QM-H5");
        second.cells[SerialColumn] = info.ThirdSerial;
        table.rows.push_back(second);
    } else {
        chassis.cells[NameColumn] =
            ControllerModel(model) == ControllerModel::C6 ? QStringLiteral("QM-H3") : QStringLiteral("QM-H2");
        table.rows.push_back(chassis);
    }
    return table;
}

CModuleInfodlg::Table CModuleInfodlg::DemoTable(const UtSession &session)
{
    Table table;
    // One row per module: every module gets a row, reserved or not.
    table.rowCount = moduleCount(session) + 2;
    const QString version = FormatVersion({0, 1, 0});
    for (std::uint16_t i = 0; i < session.PortCount; ++i) {
        const UtPortTableEntry &entry = session.PortTable[i];
        if (entry.Id.PID != 1)
            continue;
        QString name;
        if (entry.TYPE == 0x35 || entry.TYPE == 0x37 || entry.TYPE == 0x39)
            name = ModuleTypeToModelName(entry.TYPE);
        Row row;
        row.heading = QString::number(entry.Id.BID);
        row.cells = {name,          version,       kNotAvailable,
                     version,       kNotAvailable, QStringLiteral("Lock"),
                     kNotAvailable, kNotAvailable};
        const bool outdated = i < session.FirmwareOutdated.size() && session.FirmwareOutdated[i] == 1;
        markModule(row, outdated, entry.TYPE == 0x39);
        table.outdatedLegend = table.outdatedLegend || row.outdatedMark;
        table.liteLegend = table.liteLegend || row.liteMark;
        table.rows.push_back(row);
    }
    Row controller;
    controller.heading = QStringLiteral("1");
    controller.cells.fill(kNotAvailable);
    controller.cells[NameColumn] = QStringLiteral("QM-C2");
    controller.cells[FirmwareColumn] = version;
    const std::uint8_t model = session.Controller.Model;
    controller.liteMark = IsLiteControllerModel(model);
    table.liteLegend = table.liteLegend || controller.liteMark;
    table.rows.push_back(controller);

    Row chassis;
    chassis.heading = QStringLiteral("Chassis");
    chassis.cells.fill(kNotAvailable);
    chassis.cells[NameColumn] = QStringLiteral("QM-H1");
    chassis.cells[FpgaColumn] = version;
    chassis.cells[HardwareColumn] = QStringLiteral("MP01");
    table.rows.push_back(chassis);
    return table;
}

void CModuleInfodlg::FillDemoInfo()
{
    fill(DemoTable(g_Session));
}

void CModuleInfodlg::FillHardwareInfo()
{
    fill(HardwareTable(g_Session));
}

void CModuleInfodlg::prepareGrid(int rows)
{
    // A refill keeps nothing of the last one: its rows were sorted, and a cell left empty now would show
    // another module's text, colour or mark.
    m_grid->CurrentSheet()->m_dataSource->ClearAllCells();
    m_grid->CurrentSheet()->m_defColWidth = 105;
    m_grid->CurrentSheet()->m_defRowHeight = 20;
    m_grid->SetRowCount(rows);
    m_grid->SetColumnCount(ColumnCount);
    m_grid->SetSideHeadingWidth(60);
    UgLogFont logFont;
    logFont.height = 14;
    logFont.weight = 500;
    logFont.faceName = QStringLiteral("Arial");
    const QFont *font = m_grid->GetFont(m_grid->FindOrAddFont(logFont));
    const auto styleHeading = [this, font](int col, int row, unsigned short alignment) {
        CUGCell cell;
        m_grid->ReadCell(col, row, &cell);
        cell.m_font = font;
        cell.m_properties |= CellProp::Font;
        m_grid->WriteCell(col, row, &cell);
        m_grid->SetCellAlignment(col, row, alignment);
        m_grid->SetCellTypeParam(col, row, 2);
        m_grid->SetCellBackColor(col, row, HeadingBackColor);
    };
    for (int row = 0; row < rows; ++row)
        styleHeading(-1, row, 1);
    for (int col = -1; col < ColumnCount; ++col)
        styleHeading(col, -1, 4);
    // The headings wrap within their columns; the heading row is as tall as the tallest needs.
    int headingHeight = kMinHeadingHeight;
    const QFontMetrics metrics(*font);
    for (int col = -1; col < ColumnCount; ++col) {
        const QString title = ModuleInfoTitle(col + 1);
        if (title.isEmpty())
            continue;
        m_grid->SetCellText(col, -1, title);
        const QRect place(0, 0, std::max(1, m_grid->GetColumnWidth(col) - 1), CUGCtrl::kMaxHeadingSize);
        headingHeight =
            std::max(headingHeight, metrics.boundingRect(place, Qt::TextWordWrap, title).height() + 2);
    }
    m_grid->SetTopHeadingHeight(headingHeight);
}

void CModuleInfodlg::fill(const Table &table)
{
    prepareGrid(table.rowCount);
    for (std::size_t r = 0; r < table.rows.size() && int(r) < table.rowCount; ++r) {
        const Row &row = table.rows[r];
        const int at = int(r);
        if (!row.heading.isEmpty())
            m_grid->SetCellText(-1, at, row.heading);
        for (int col = 0; col < ColumnCount; ++col) {
            if (!row.cells[std::size_t(col)].isEmpty())
                m_grid->SetCellText(col, at, row.cells[std::size_t(col)]);
        }
        if (row.grey) {
            for (int col = -1; col < ColumnCount; ++col)
                m_grid->SetCellTextColor(col, at, GreyText);
        }
        if (row.outdatedMark)
            m_grid->SetCellBitmap(FirmwareColumn, at, &m_outdatedBitmap);
        if (row.liteMark)
            m_grid->SetCellBitmap(NameColumn, at, &m_liteBitmap);
    }
    m_liteIcon->setVisible(table.liteLegend);
    m_liteText->setVisible(table.liteLegend);
    m_outdatedIcon->setVisible(table.outdatedLegend);
    m_outdatedText->setVisible(table.outdatedLegend);
    if (table.sorted)
        m_grid->SortRowsByHeadingNumber();
    m_grid->RepaintAllParts();
}

bool CModuleInfodlg::IsLiteLegendShown() const
{
    return !m_liteText->isHidden();
}

bool CModuleInfodlg::IsOutdatedLegendShown() const
{
    return !m_outdatedText->isHidden();
}

void CModuleInfodlg::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    const QRect area = rect();
    m_group->setGeometry(area);
    const int top = 20;
    const int bottom = area.bottom() - m_ok->height() - 70;
    m_grid->setGeometry(
        QRect(QPoint(area.left() + 10, top), QPoint(area.right() - 10, std::max(top, bottom))));
    const int below = m_grid->geometry().bottom();
    m_ok->move(area.right() - m_ok->width() - 15, below + 20);
    const int legendWidth = std::max(0, m_ok->x() - 60);
    m_outdatedIcon->setGeometry(15, below + 10, 16, 16);
    m_outdatedText->setGeometry(36, below + 10, legendWidth, 18);
    m_liteIcon->setGeometry(15, below + 36, 16, 16);
    m_liteText->setGeometry(36, below + 36, legendWidth, 18);
}
