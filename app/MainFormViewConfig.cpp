// The configuration file: the whole set-up (names, reserved ports, test pairs and every test page) is
// built as one document in memory and written in one piece, and read back after the user has
// confirmed the file's reservation.
#include "app/MainFormView.h"

#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/MainFrame.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/Session.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "platform/XmlDocument.h"
#include "ports/BoardInfo.h"
#include "ports/PortConfig.h"
#include "ports/PortInfoConfig.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgSourceFilter.h"
#include "testpages/TestPageBase.h"

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
// A configuration file is a few kilobytes; a file beyond this is refused unread.
constexpr std::size_t kMaxConfigFileBytes = 16 * 1024 * 1024;
// Refused values named one per line in the message after loading, at most.
constexpr qsizetype kMaxRefusedLines = 20;

// The sections of the six pair pages in file order, each with its test.
struct PageSection
{
    int test;
    const char *element;
};
constexpr PageSection kPageSections[] = {
    {TestMixClass, "MixedClassConfig"}, {TestAggregate, "AggregatedConfig"},
    {TestScale, "ScaledConfig"},        {TestLatency, "LatencyConfig"},
    {TestCapacity, "CapacityConfig"},   {TestJoinLeave, "JoinLeaveConfig"},
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

// The values that lay outside their fields' ranges, one per line (the first few), after the text that
// says their fields kept their values.
QString refusedValuesText(const QStringList &refused)
{
    QStringList lines = refused.first(std::min(refused.size(), kMaxRefusedLines));
    if (refused.size() > kMaxRefusedLines)
        lines << QStringLiteral("... (%1)").arg(refused.size() - kMaxRefusedLines);
    return configText("Config_Values_Refused") + QLatin1Char('\n') + lines.join(u'\n');
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
        if (chassis < 0 || chassis > kMaxChassis || card < 0 || card > kMaxCard || port < 0 ||
            port > kMaxPort)
            return false;
        const UtPortId id{std::uint16_t(chassis), std::uint8_t(card), std::uint8_t(port)};
        const int index = LookupPortIndex(id.CID, g_Session.PortIndex, id.BID, id.PID);
        if (index < 0 || index >= int(g_Session.PortCount) || g_Session.PortTable[index].TYPE != type)
            return false;
        ports.push_back({id, std::uint8_t(type), 0});
    }
    return true;
}

// The port pages after the reservation changed: the settings grid and the pair editor list the ports
// reserved now, and the pairs keep none of the old ones.
void refreshPortPages(CMainFormView &view)
{
    view.PortInfoPage->FillPortGrid();
    view.PortConfigPage->ResetDialog();
    view.PortConfigPage->RefreshPortGrids();
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

SaveResult CMainFormView::SaveConfigurationTo(const QString &path, const UtLocalTime &stamp)
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
    // A section that cannot be placed leaves a document the program could not read back: nothing is written.
    if (!PortConfigPage->SaveXml(xml))
        return {EINVAL};
    for (const PageSection &section : kPageSections) {
        auto *page = TestPage(section.test);
        if (!CTestPageBase::SaveXml(*page, section.element, TestSelected[section.test] != 0, xml))
            return {EINVAL};
    }
    if (!CDlgSourceFilter::SaveXml(*SourceFilterPage, TestSelected[TestSourceFilter] != 0, xml))
        return {EINVAL};
    if (!XmlDocument::WriteTextFile(path, QString::fromStdU16String(xml.GetDocText())))
        return {errno};
    return {};
}

void CMainFormView::SaveConfiguration()
{
    const UtLocalTime now = localTimeNow();
    const QString defaultName =
        QString::asprintf("%04d-%02d-%02d_%02d-%02d-%02d_Config.xml", int(now.Year), int(now.Month),
                          int(now.Day), int(now.Hour), int(now.Minute), int(now.Second));
    if (refusedWhileRunning(true))
        return;
    const QString folder = configFolder();
    CreateDirectoryTree(folder);
    const QString path = Prompter::current().saveFileName(
        QString(), folder + defaultName, configText("Config_File_Filter"), QStringLiteral("xml"));
    if (path.isEmpty())
        return;
    if (const SaveResult saved = SaveConfigurationTo(path, now); !saved) {
        showConfigMessage(EngineHost::instance().saveFailureText(QStringLiteral("Config_Save_Fail"), saved));
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
    const QString path =
        Prompter::current().openFileName(QString(), folder, configText("Config_File_Filter"));
    if (path.isEmpty())
        return;
    LoadConfigurationFrom(path);
}

bool CMainFormView::LoadConfigurationFrom(const QString &path)
{
    QString text;
    QString result;
    XmlDocument xml;
    if (!XmlDocument::ReadTextFile(path, text, result, kMaxConfigFileBytes)) {
        const char *key = errno == ENOENT  ? "Config_Not_Found"
                          : errno == EFBIG ? "Config_Too_Large"
                                           : "Config_Not_Well_Formed";
        showConfigMessage(fileProblemText(key, path));
        return false;
    }
    // The text is parsed once; every section reader searches the same document.
    const bool parsed = xml.ParseText(text);
    text.clear();
    if (!parsed || !xml.IsWellFormed() || !xml.FindElement(kConfigFileRoot)) {
        showConfigMessage(fileProblemText("Config_Not_Well_Formed", path));
        return false;
    }

    // Nothing changes before the user has confirmed the file's reservation.
    CBoardInfo dialog(this);
    dialog.PresetFromConfig = 1;
    dialog.PresetPorts.clear();
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
        QStringList refused;
        PortConfigPage->LoadXml(xml, refused);
        for (const PageSection &section : kPageSections) {
            auto *page = TestPage(section.test);
            bool selected = TestSelected[section.test] != 0;
            CTestPageBase::LoadXml(*page, section.element, xml, selected, refused);
            markSelected(section.test, selected);
        }
        // The Source Filter page's section, last: port selections and address settings.
        bool selected = TestSelected[TestSourceFilter] != 0;
        CDlgSourceFilter::LoadXml(*SourceFilterPage, xml, selected, refused);
        markSelected(TestSourceFilter, selected);
        if (!refused.isEmpty())
            showConfigMessage(refusedValuesText(refused));
        return true;
    } catch (const std::exception &) {
        showConfigMessage(configText("Config_Load_Fail"));
        return false;
    }
}

int CMainFormView::runReservation(CBoardInfo &dialog)
{
    const std::vector<std::uint8_t> lockedBefore = g_Session.LockedFlags;
    const int result = m_runReservation ? m_runReservation(dialog) : dialog.exec();
    // A refused Lock gives up every port: the pages must not go on listing them.
    if (result == 0 && g_Session.LockedFlags != lockedBefore && PortInfoPage && PortConfigPage)
        refreshPortPages(*this);
    // A Lock takes the names as typed, whether or not the ports could be reserved; a Cancel keeps the
    // program's names.
    if (g_App && (result != 0 || dialog.NamesTaken)) {
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
    if (runReservation(dialog) == 0)
        return;
    // The tested-port lists stay.
    refreshPortPages(*this);
    ShowPortInfoPage();
}

void CMainFormView::OnUpdateConfigurationCommands(QAction *action) const
{
    const bool off = g_App && g_App->ConfigCommandsOff != 0;
    action->setEnabled(!off && g_IsRunning == 0);
}
