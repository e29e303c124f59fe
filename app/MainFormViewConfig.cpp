// The configuration file: the whole set-up (names, reserved ports, test pairs and every test page) is
// built as one document in memory and written in one piece, and read back after the user has
// confirmed the file's reservation.
#include "app/MainFormView.h"

#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/MainFrame.h"
#include "engine/EngineUtils.h"
#include "engine/Session.h"
#include "run/TestReportDlg.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "platform/XmlDocument.h"
#include "ports/BoardInfo.h"
#include "ports/PortConfig.h"
#include "ports/PortInfoConfig.h"
#include "testpages/TestPageBase.h"
#include "testpages/DlgSourceFilter.h"

#include <QAction>
#include <QDateTime>
#include <QTreeWidgetItem>
#include <cerrno>
#include <climits>
#include <exception>

namespace {

const QString kConfigFileRoot = QStringLiteral("Tavrix-IGMP-TQ_Config");
// Port%d entries of the system section read at most.
constexpr int kMaxConfigPorts = 255;

// The sections of the six pair pages in file order, each with its test.
struct PageSection
{
    int test;
    const char *element;
};
constexpr PageSection kPageSections[] = {
    {TestMixClass, "MixedClassConfig"}, {TestAggregate, "AggregatedConfig"}, {TestScale, "ScaledConfig"},
    {TestLatency, "LatencyConfig"},     {TestCapacity, "CapacityConfig"},    {TestJoinLeave, "JoinLeaveConfig"},
};

QString configText(const char *key)
{
    return g_LangMag.GetString(QString::fromLatin1(key));
}

int showConfigMessage(const QString &text, unsigned type = MB_OK)
{
    return Prompter::current().messageBox(text, type);
}

UtLocalTime localTimeNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    UtLocalTime local;
    local.Year = std::uint16_t(date.year());
    local.Month = std::uint16_t(date.month());
    local.DayOfWeek = std::uint16_t(date.dayOfWeek() % 7);
    local.Day = std::uint16_t(date.day());
    local.Hour = std::uint16_t(time.hour());
    local.Minute = std::uint16_t(time.minute());
    local.Second = std::uint16_t(time.second());
    local.Milliseconds = std::uint16_t(time.msec());
    return local;
}

// The program's folder, where "Config" keeps the configuration files.
QString configFolder()
{
    const QString program = g_MainFrame ? g_MainFrame->AppDirectory() : GetAppDirectory();
    return program + QStringLiteral("Config/");
}

// The line break, the reason and the path in double quotation marks.
QString fileProblemText(const char *key, const QString &path)
{
    return QStringLiteral("\n") + configText(key) + QStringLiteral("\n\"") + path + QLatin1Char('"');
}

// The integer at the start of the next child of that name; false when there is none.
bool readConfigInt(XmlDocument &xml, QStringView name, qint64 &value)
{
    if (!xml.FindChildElement(name))
        return false;
    parseDecimalPrefix(xml.GetChildText(), value, LLONG_MIN, LLONG_MAX);
    return true;
}

// The ports the file's system section names, each checked against the live inventory; false at the
// first that does not match.
bool readReservedPorts(XmlDocument &xml, std::vector<UtPortTableEntry> &ports)
{
    const qint64 portCount = g_Session.PortCount;
    qint64 value = 0;
    if (readConfigInt(xml, u"ReservePortCnt", value) && value > portCount)
        return false;
    if (readConfigInt(xml, u"LockCnt", value) && value > portCount)
        return false;
    qint64 chassis = 0, card = 0, port = 0, type = 0;
    for (int n = 1; n <= kMaxConfigPorts; ++n) {
        // Searched among all children again: the entries may stand in any order.
        xml.LeaveElement();
        xml.EnterElement();
        if (!xml.FindChildElement(QStringLiteral("Port") + formatInt(n)))
            break;
        xml.EnterElement();
        if (readConfigInt(xml, u"Index", value) && value > portCount) {
            xml.LeaveElement();
            return false;
        }
        // A missing value keeps the one of the port before.
        readConfigInt(xml, u"CID", chassis);
        readConfigInt(xml, u"BID", card);
        readConfigInt(xml, u"PID", port);
        readConfigInt(xml, u"TYPE", type);
        xml.LeaveElement();
        if (chassis < 0 || chassis > kMaxChassis || card < 0 || card > kMaxCard || port < 0 || port > kMaxPort)
            return false;
        const UtPortId id{std::uint16_t(chassis), std::uint8_t(card), std::uint8_t(port)};
        const int index = LookupPortIndex(id.CID, g_Session.PortIndex, id.BID, id.PID);
        if (index < 0 || index >= int(g_Session.PortCount) || g_Session.PortTable[index].TYPE != type)
            return false;
        ports.push_back({id, std::uint8_t(type), 0});
    }
    return true;
}

// The reservation dialog starts with the application's tester and device names.
void withAppNames(CBoardInfo &dialog)
{
    if (g_App) {
        dialog.TesterName = g_App->TesterName;
        dialog.DutName = g_App->DutName;
    }
}

} // namespace

QString CMainFormView::ConfigHeadText(const UtLocalTime &stamp)
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                          "<!-- Subject     : Configuration File -->\r\n") +
           QString::asprintf("<!-- Modify Date : %d-%d-%d %d:%d:%d-->\r\n", int(stamp.Year), int(stamp.Month),
                             int(stamp.Day), int(stamp.Hour), int(stamp.Minute), int(stamp.Second)) +
           QStringLiteral("<!-- Publisher   : Corvane Technologies. -->\r\n"
                          "<!-- Used by Tavrix-IGMP-TQ -->\r\n");
}

bool CMainFormView::SaveConfigurationTo(const QString &path, const UtLocalTime &stamp)
{
    XmlDocument xml;
    xml.ParseText(ConfigHeadText(stamp)); // the head alone holds no element yet
    xml.AddElement(kConfigFileRoot);
    xml.EnterElement();
    xml.AddElement(u"DUT_Name", g_App ? g_App->DutName : QString());
    xml.AddElement(u"Tester_Name", g_App ? g_App->TesterName : QString());
    xml.AddElement(u"SystemConfig");
    xml.EnterElement();
    xml.AddElementInt(u"ReservePortCnt", g_Session.PortCount);
    xml.AddElementInt(u"BoardCnt", g_Session.BoardCount);
    xml.AddElementInt(u"LockCnt", g_Session.LockCount);
    const std::size_t count =
        std::min<std::size_t>({g_Session.PortCount, kMaxTestPorts, g_Session.LockedFlags.size()});
    int written = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (g_Session.LockedFlags[i] != 1)
            continue;
        const UtPortTableEntry &entry = g_Session.PortTable[i];
        xml.AddElement(QStringLiteral("Port") + formatInt(++written));
        xml.EnterElement();
        xml.AddElementInt(u"Index", int(i));
        xml.AddElementInt(u"CID", entry.Id.CID);
        xml.AddElementInt(u"BID", entry.Id.BID);
        xml.AddElementInt(u"PID", entry.Id.PID);
        xml.AddElementInt(u"TYPE", entry.TYPE);
        xml.LeaveElement();
    }
    xml.LeaveElement();
    if (!PortConfigPage->SaveXml(xml))
        return false;
    for (const PageSection &section : kPageSections) {
        auto *page = TestPage(section.test);
        if (!CTestPageBase::SaveXml(*page, section.element, TestSelected[section.test] != 0, xml))
            return false;
    }
    if (!CDlgSourceFilter::SaveXml(*SourceFilterPage, TestSelected[TestSourceFilter] != 0, xml))
        return false;
    return XmlDocument::WriteTextFile(path, QString::fromStdU16String(xml.GetDocText()));
}

void CMainFormView::SaveConfiguration()
{
    const UtLocalTime now = localTimeNow();
    const QString defaultName = QString::asprintf("%04d-%02d-%02d_%02d-%02d-%02d_Config.xml", int(now.Year),
                                                  int(now.Month), int(now.Day), int(now.Hour),
                                                  int(now.Minute), int(now.Second));
    if (refusedWhileRunning(true))
        return;
    const QString folder = configFolder();
    CreateDirectoryTree(folder);
    const QString path = Prompter::current().saveFileName(QString(), folder + defaultName,
                                                          configText("Config_File_Filter"), QStringLiteral("xml"));
    if (path.isEmpty())
        return;
    if (!SaveConfigurationTo(path, now)) {
        showConfigMessage(configText("Config_Save_Fail"));
        return;
    }
    showConfigMessage(configText("Note_Save_Ok"));
}

void CMainFormView::LoadConfiguration()
{
    if (refusedWhileRunning(true))
        return;
    const QString folder = configFolder();
    CreateDirectoryTree(folder);
    const QString path = Prompter::current().openFileName(QString(), folder, configText("Config_File_Filter"));
    if (path.isEmpty())
        return;
    LoadConfigurationFrom(path);
}

bool CMainFormView::LoadConfigurationFrom(const QString &path)
{
    QString text;
    XmlDocument xml;
    if (!XmlDocument::ReadTextFile(path, text)) {
        const bool missing = errno == ENOENT;
        showConfigMessage(fileProblemText(missing ? "Config_Not_Found" : "Config_Not_Well_Formed", path));
        return false;
    }
    if (!xml.ParseText(text) || !xml.IsWellFormed() || !xml.FindElement(kConfigFileRoot)) {
        showConfigMessage(fileProblemText("Config_Not_Well_Formed", path));
        return false;
    }

    // Nothing changes before the user has confirmed the file's reservation.
    CBoardInfo dialog(this);
    dialog.PresetFromConfig = 1;
    dialog.PresetPorts.clear();
    withAppNames(dialog);
    if (xml.FindChildElement(u"DUT_Name"))
        dialog.DutName = xml.GetChildText();
    if (xml.FindChildElement(u"Tester_Name"))
        dialog.TesterName = xml.GetChildText();
    if (xml.FindChildElement(u"SystemConfig")) {
        xml.EnterElement();
        if (!readReservedPorts(xml, dialog.PresetPorts)) {
            showConfigMessage(configText("Reserved_Note_Mismatch"));
            return false;
        }
    }
    if (showConfigMessage(configText("Note_LoadConfigFile"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    const QString testerName = g_App ? g_App->TesterName : QString();
    const QString dutName = g_App ? g_App->DutName : QString();
    if (runReservation(dialog) == 0) {
        // No reservation: the names the file brought go too.
        if (g_App) {
            g_App->TesterName = testerName;
            g_App->DutName = dutName;
        }
        return false;
    }

    // A page's loaded flag checks its test in the navigation tree.
    const auto markSelected = [this](int test, bool selected) {
        TestSelected[test] = selected ? 1 : 0;
        if (QTreeWidgetItem *item = TreeItem(TestNode(test)))
            item->setCheckState(0, selected ? Qt::Checked : Qt::Unchecked);
    };
    try {
        PortInfoPage->FillPortGrid();
        bool complete = PortConfigPage->LoadXml(text);
        for (std::size_t i = 0; complete && i < std::size(kPageSections); ++i) {
            const PageSection &section = kPageSections[i];
            auto *page = TestPage(section.test);
            bool selected = TestSelected[section.test] != 0;
            complete = CTestPageBase::LoadXml(*page, section.element, text, selected);
            if (!complete)
                break;
            markSelected(section.test, selected);
        }
        if (complete) {
            // The Source Filter page's section, last: port selections and address settings.
            bool selected = TestSelected[TestSourceFilter] != 0;
            complete = CDlgSourceFilter::LoadXml(*SourceFilterPage, text, selected);
            if (complete)
                markSelected(TestSourceFilter, selected);
        }
        if (!complete)
            showConfigMessage(configText("Config_Load_Fail"));
        return complete;
    } catch (const std::exception &) {
        showConfigMessage(configText("Config_Load_Fail"));
        return false;
    }
}

int CMainFormView::runReservation(CBoardInfo &dialog)
{
    const int result = m_runReservation ? m_runReservation(dialog) : dialog.exec();
    // A Lock takes the names as typed, whether or not the ports could be reserved.
    if (g_App) {
        g_App->TesterName = dialog.TesterName;
        g_App->DutName = dialog.DutName;
    }
    // The reservation may have changed: the Source Filter page lists the locked ports again.
    if (SourceFilterPage)
        SourceFilterPage->InitPortLists();
    return result;
}

void CMainFormView::OnNewTestingConfiguration()
{
    if (refusedWhileRunning(true))
        return;
    if (showConfigMessage(configText("Note_NewConfigFile"), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    CBoardInfo dialog(this);
    withAppNames(dialog);
    if (runReservation(dialog) == 0)
        return;
    PortInfoPage->FillPortGrid();
    PortConfigPage->ResetDialog();
    PortConfigPage->InitDefaultPairs();
    PortConfigPage->RefreshPortGrids();
    CIGMPTestPlan &plan = ReportDlg->Plan();
    plan.SourcePorts.clear();
    plan.HostPorts.clear();
    ShowPortInfoPage();
}

void CMainFormView::OnShowReservation()
{
    if (refusedWhileRunning(true))
        return;
    CBoardInfo dialog(this);
    withAppNames(dialog);
    if (runReservation(dialog) == 0)
        return;
    // The pairs keep no port of the old reservation; the tested-port lists stay.
    PortInfoPage->FillPortGrid();
    PortConfigPage->ResetDialog();
    PortConfigPage->RefreshPortGrids();
    ShowPortInfoPage();
}

void CMainFormView::OnUpdateConfigurationCommands(QAction *action) const
{
    const bool off = g_App && g_App->ConfigCommandsOff != 0;
    action->setEnabled(!off && g_IsRunning == 0);
}
