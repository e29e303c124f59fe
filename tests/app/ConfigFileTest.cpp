// The configuration file: the whole file against a golden copy, a save and an open giving the same
// set-up on fresh pages, files that are missing, damaged or made for other ports, and the commands.
#include "MainWindowTest.h"
#include "common/FileSizeLimit.h"

#include "app/KvIGMPTQApp.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "controls/grid/MyCug.h"
#include "controls/widgets/NumEdit.h"
#include "engine/EngineUtils.h"
#include "platform/ScriptedPrompter.h"
#include "platform/XmlDocument.h"
#include "ports/BoardInfo.h"
#include "ports/PortConfig.h"
#include "ports/PortInfoConfig.h"
#include "testpages/DlgAggregate.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"
#include "testpages/RateTestPage.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTreeWidgetItem>
#include <array>
#include <cstring>
#include <gtest/gtest.h>

namespace {

const UtLocalTime kStamp{2026, 3, 2, 9, 14, 5, 7, 0};

// The main frame opened on four ports of which this program reserved three.
class ConfigFileTest : public MainWindowTest
{
protected:
    ConfigFileTest() : MainWindowTest({.frameOpened = false, .shown = false, .menusRelabelled = true})
    {
        reserve();
        openFrameWithReservations();
    }

    // Four ports of chassis 1, card 2, reserved by this program except the third.
    static void reserve()
    {
        g_Session.PortCount = 4;
        g_Session.allocatePortArrays(4);
        for (std::uint8_t port = 1; port <= 4; ++port) {
            const UtPortId id{1, 2, port};
            g_Session.PortTable[port - 1] = {id, 53, 0};
            g_Session.PortIndex[1][2][port] = std::int16_t(port - 1);
            g_Session.LockedFlags[port - 1] = port == 3 ? 0 : 1;
            g_Session.Ports.push_back(MakePortRecord(id, 53, 11));
        }
        g_Session.LockCount = 3;
        g_Session.BoardCount = 1;
    }
    // The frame, with the reservation dialog answered by reservationResult.
    void openFrameWithReservations()
    {
        openFrame();
        view->SetReservationRunner([this](CBoardInfo &dialog) {
            reservations << dialog.PresetPorts.size();
            return reservationResult;
        });
    }
    // What a fresh start knows: no pairs, no page values, the names of a new program.
    void restart()
    {
        frame.reset();
        app->TestPlan.TestPairs.clear();
        for (UtPortRecord &record : g_Session.Ports) {
            record.SourcePair = record.HostPair = 0;
            UpdatePairFields(record);
        }
        app->TesterName = QStringLiteral("New Tester");
        app->DutName = QStringLiteral("New DUT_Device");
        openFrameWithReservations();
    }
    // Pair 1: source (1,2,1), host (1,2,2); the Group Capacity and Join/Leave pages set apart from
    // their defaults and selected.
    void setUp()
    {
        app->TesterName = QStringLiteral("Lab <3> & bench");
        app->DutName = QString();
        UtTestPair &pair = app->TestPlan.TestPairs.at(0);
        pair.Status = 1;
        pair.num_of_destmember = 1;
        pair.Src_Cid = 1;
        pair.Src_Bid = 2;
        pair.Src_Pid = 1;
        g_Session.Ports[0].SourcePair = 1;
        g_Session.Ports[1].HostPair = 1;
        for (UtPortRecord &record : g_Session.Ports)
            UpdatePairFields(record);
        CDlgCapacity *capacity = view->CapacityPage;
        capacity->PairChecked[1] = 1;
        capacity->FillPairGrid();
        capacity->Trials.Edit->setText("2");
        capacity->FrameSize.Edit->setText("1518");
        capacity->MaxGroups.Edit->setText("300");
        capacity->IgmpVersionCombo->setCurrentIndex(2);
        CDlgJoinLeave *joinLeave = view->JoinLeavePage;
        joinLeave->PairChecked[1] = 1;
        joinLeave->FillPairGrid();
        joinLeave->TestDuration.Edit->setText("");
        joinLeave->MeasureLeaveCheck->setChecked(false);
        joinLeave->PortSettingsList[1].VLanState = 1;
        joinLeave->PortSettingsList[1].VLanID = 42;
        joinLeave->FillPairGrid();
        for (int test : {TestCapacity, TestJoinLeave}) {
            view->TestSelected[test] = 1;
            view->TreeItem(CMainFormView::TestNode(test))->setCheckState(0, Qt::Checked);
        }
    }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    static QString read(const QString &file)
    {
        QString text;
        XmlDocument::ReadTextFile(file, text);
        return text;
    }
    static void write(const QString &file, const QString &text)
    {
        ASSERT_TRUE(XmlDocument::WriteTextFile(file, text));
    }
    static QByteArray bytesOf(const QString &file)
    {
        QFile bytes(file);
        return bytes.open(QIODevice::ReadOnly) ? bytes.readAll() : QByteArray();
    }
    // The open command answering the dialog with the file and the question with the answer.
    void open(const QString &file, int answer = IDYES)
    {
        prompter.queueFileName(file);
        prompter.queueAnswer(answer);
        view->OnCommand(CMainFormView::ID_OPEN_CONFIGURATION);
    }

    QTemporaryDir dir;
    QList<std::size_t> reservations;
    int reservationResult = 1;
};

// The file without the sections of the four rate pages, which their own tests hold.
QString withoutRateSections(QString text)
{
    static const QRegularExpression rateSections(
        QStringLiteral("<(MixedClassConfig|AggregatedConfig|ScaledConfig|LatencyConfig)>"
                       ".*</\\1>\r\n"),
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::InvertedGreedinessOption);
    return text.remove(rateSections);
}

} // namespace

TEST_F(ConfigFileTest, WholeFileMatchesTheGoldenCopy)
{
    setUp();
    ASSERT_TRUE(view->SaveConfigurationTo(path("saved.xml"), kStamp));
    QString golden;
    ASSERT_TRUE(XmlDocument::ReadTextFile(QStringLiteral(KV_FIXTURE_DIR "/configuration.xml"), golden));
    const QString saved = read(path("saved.xml"));
    EXPECT_EQ(withoutRateSections(saved).toStdString(), golden.toStdString());
    // The rate sections stand between the pair section and Capacity, in page order.
    const auto at = [&](const char *tag) { return saved.indexOf(QLatin1String(tag)); };
    EXPECT_LT(at("</PortPairConfig>"), at("<MixedClassConfig>"));
    EXPECT_LT(at("</MixedClassConfig>"), at("<AggregatedConfig>"));
    EXPECT_LT(at("</AggregatedConfig>"), at("<ScaledConfig>"));
    EXPECT_LT(at("</ScaledConfig>"), at("<LatencyConfig>"));
    EXPECT_LT(at("</LatencyConfig>"), at("<CapacityConfig>"));
}

TEST_F(ConfigFileTest, SavedSetUpComesBackOnFreshPages)
{
    setUp();
    prompter.queueFileName(path("setup.xml"));
    view->OnCommand(CMainFormView::ID_SAVE_CONFIG);
    EXPECT_EQ(prompter.messages(), QStringList{g_LangMag.GetString("Note_Save_Ok")});
    ASSERT_EQ(prompter.prompts().first().kind, ScriptedPrompter::Kind::SaveFile);
    EXPECT_TRUE(prompter.prompts().first().fileName.startsWith(folder.path() + "Config/"));
    EXPECT_TRUE(prompter.prompts().first().fileName.endsWith("_Config.xml"));
    ASSERT_TRUE(view->SaveConfigurationTo(path("first.xml"), kStamp));

    restart();
    open(path("setup.xml"));
    EXPECT_EQ(reservations, QList<std::size_t>{3}); // the three reserved ports offered again
    EXPECT_EQ(app->TesterName, "Lab <3> & bench");
    EXPECT_EQ(app->DutName, "");
    EXPECT_EQ(view->CapacityPage->Trials.Edit->text(), "2");
    EXPECT_EQ(view->CapacityPage->FrameSize.Edit->text(), "1518");
    EXPECT_EQ(view->CapacityPage->MaxGroups.Edit->text(), "300");
    EXPECT_EQ(view->CapacityPage->IgmpVersionCombo->currentIndex(), 2);
    EXPECT_EQ(view->JoinLeavePage->TestDuration.Edit->text(), "");
    EXPECT_FALSE(view->JoinLeavePage->MeasureLeaveCheck->isChecked());
    EXPECT_EQ(int(view->JoinLeavePage->PortSettingsList[1].VLanID), 42);
    EXPECT_EQ(view->JoinLeavePage->PairChecked[1], 1);
    EXPECT_EQ(g_Session.Ports[1].HostPair, 1);
    for (int test : {TestCapacity, TestJoinLeave}) {
        EXPECT_EQ(view->TestSelected[test], 1) << test;
        EXPECT_EQ(view->TreeItem(CMainFormView::TestNode(test))->checkState(0), Qt::Checked) << test;
    }
    EXPECT_EQ(view->TestSelected[TestMixClass], 0);
    EXPECT_EQ(prompter.messages().size(), 2); // Save's note and Open's question: nothing more

    // Saved again, the fresh set-up writes the very same file.
    ASSERT_TRUE(view->SaveConfigurationTo(path("second.xml"), kStamp));
    EXPECT_EQ(read(path("second.xml")).toStdString(), read(path("first.xml")).toStdString());
}

// Every field of the six pair pages, a pair tick and a custom frame row of each rate page.
TEST_F(ConfigFileTest, EveryPairPageComesBackWhole)
{
    setUp();
    const auto fieldValues = [this](int test) {
        QStringList values;
        auto *page = static_cast<CTestPageBase *>(view->TestPage(test));
        for (const CTestPageBase::SectionField &field : page->SectionFields()) {
            if (auto *edit = qobject_cast<QLineEdit *>(field.control))
                values << edit->text();
            else if (auto *combo = qobject_cast<QComboBox *>(field.control))
                values << QString::number(combo->currentIndex());
            else if (auto *check = qobject_cast<QCheckBox *>(field.control))
                values << QString::number(check->isChecked());
        }
        return values;
    };
    std::array<QStringList, TestCount> before;
    std::array<std::vector<UtCustomFrame>, TestCount> tables;
    for (int test = TestMixClass; test <= TestJoinLeave; ++test) {
        auto *page = static_cast<CTestPageBase *>(view->TestPage(test));
        int k = 0;
        for (const CTestPageBase::SectionField &field : page->SectionFields()) {
            ++k;
            if (auto *edit = qobject_cast<QLineEdit *>(field.control)) {
                // A number that lies outside the field's range would be refused: its bound stands in.
                QString text = QString::number(test * 10 + k);
                if (const auto *number = qobject_cast<CNumEdit *>(edit);
                    number && !number->config().holdsInRange(text))
                    text = number->config().formatBound(number->config().maximum);
                edit->setText(text);
            } else if (auto *combo = qobject_cast<QComboBox *>(field.control))
                combo->setCurrentIndex(combo->count() - 1);
            else if (auto *check = qobject_cast<QCheckBox *>(field.control))
                check->setChecked(!check->isChecked());
        }
        ASSERT_GT(k, 0) << test;
        // The Aggregate page's client counts are bound by the one host of pair 1, as loading finds them.
        if (auto *aggregate = dynamic_cast<CDlgAggregate *>(page))
            aggregate->SetClientLimit(1);
        page->PairChecked[1] = 1;
        page->FillPairGrid();
        if (auto *ratePage = dynamic_cast<CRateTestPage *>(page)) {
            ratePage->CustomFrameTable[2] = {double(test + 1), 0.5, 99.5, 0.25, std::uint16_t(300 + test)};
            tables[std::size_t(test)] = ratePage->CustomFrameTable;
        }
        before[std::size_t(test)] = fieldValues(test);
        view->TestSelected[test] = test % 2;
    }
    ASSERT_TRUE(view->SaveConfigurationTo(path("all.xml"), kStamp));

    restart();
    open(path("all.xml"));
    for (int test = TestMixClass; test <= TestJoinLeave; ++test) {
        auto *page = static_cast<CTestPageBase *>(view->TestPage(test));
        EXPECT_EQ(fieldValues(test), before[std::size_t(test)]) << test;
        EXPECT_EQ(page->PairChecked[1], 1) << test;
        EXPECT_EQ(view->TestSelected[test], test % 2) << test;
        if (auto *ratePage = dynamic_cast<CRateTestPage *>(page)) {
            for (std::size_t row = 0; row < 7; ++row)
                EXPECT_EQ(std::memcmp(&ratePage->CustomFrameTable[row], &tables[std::size_t(test)][row],
                                      sizeof(UtCustomFrame)),
                          0)
                    << test << " row " << row;
        }
    }
    ASSERT_TRUE(view->SaveConfigurationTo(path("again.xml"), kStamp));
    EXPECT_EQ(read(path("again.xml")).toStdString(), read(path("all.xml")).toStdString());
}

TEST_F(ConfigFileTest, FilesThatCannotBeUsedChangeNothing)
{
    setUp();
    ASSERT_TRUE(view->SaveConfigurationTo(path("good.xml"), kStamp));
    const QString good = read(path("good.xml"));
    write(path("damaged.xml"), good.left(good.size() / 2));
    write(path("other_root.xml"), "<Other/>\r\n");
    QString tooManyLocks = good;
    tooManyLocks.replace("<LockCnt>3</LockCnt>", "<LockCnt>5</LockCnt>");
    write(path("locks.xml"), tooManyLocks);
    QString otherModule = good;
    otherModule.replace("<TYPE>53</TYPE>", "<TYPE>55</TYPE>");
    write(path("module.xml"), otherModule);
    QString unknownPort = good;
    unknownPort.replace("<CID>1</CID>\r\n<BID>2</BID>\r\n<PID>4</PID>",
                        "<CID>1</CID>\r\n<BID>9</BID>\r\n<PID>4</PID>");
    write(path("port.xml"), unknownPort);
    QString noSystem = good;
    noSystem.remove(QRegularExpression("<SystemConfig>.*</SystemConfig>\r\n",
                                       QRegularExpression::DotMatchesEverythingOption));
    write(path("nosystem.xml"), noSystem);
    view->CapacityPage->Trials.Edit->setText("5");

    const QString mismatch = g_LangMag.GetString("Reserved_Note_Mismatch");
    const auto problem = [](const char *key, const QString &file) {
        return "\n" + g_LangMag.GetString(QLatin1String(key)) + "\n\"" + file + "\"";
    };
    struct Case
    {
        const char *file;
        QString message;
    };
    const Case cases[] = {
        {"missing.xml", problem("Config_Not_Found", path("missing.xml"))},
        {"damaged.xml", problem("Config_Not_Well_Formed", path("damaged.xml"))},
        {"other_root.xml", problem("Config_Not_Well_Formed", path("other_root.xml"))},
        {"locks.xml", mismatch},
        {"module.xml", mismatch},
        {"port.xml", mismatch},
    };
    for (const Case &c : cases) {
        ScriptedPrompter answers;
        answers.queueFileName(path(c.file));
        view->OnCommand(CMainFormView::ID_LOAD_CONFIG);
        EXPECT_EQ(answers.messages(), QStringList{c.message}) << c.file;
    }
    EXPECT_EQ(g_LangMag.GetString("Config_Not_Found"), "--> Can't find the config file !");

    // No to the question, or a reservation left without a lock: still nothing.
    open(path("good.xml"), IDNO);
    reservationResult = 0;
    open(path("good.xml"));
    EXPECT_EQ(reservations, QList<std::size_t>{3});
    // A file without the system section still asks, with nothing to pre-select.
    open(path("nosystem.xml"), IDNO);
    EXPECT_EQ(prompter.messages().last(), g_LangMag.GetString("Note_LoadConfigFile"));
    EXPECT_EQ(view->CapacityPage->Trials.Edit->text(), "5");
    EXPECT_EQ(app->TesterName, "Lab <3> & bench");

    // A save that cannot be written says so and why, and the old file stays byte for byte, on a full
    // disk too.
    const QByteArray goodBytes = bytesOf(path("good.xml"));
    ScriptedPrompter answers;
    answers.queueFileName(path("no-such-folder/x.xml"));
    view->OnCommand(CMainFormView::ID_SAVE_CONFIGURATION);
    answers.queueFileName(path("good.xml"));
    {
        const FileSizeLimit fullDisk(1024);
        view->OnCommand(CMainFormView::ID_SAVE_CONFIGURATION);
    }
    EXPECT_EQ(answers.messages(),
              (QStringList{g_LangMag.GetString("Config_Save_Fail") + "\nNo such file or directory",
                           g_LangMag.GetString("Config_Save_Fail") + "\nThe disk is full."}));
    EXPECT_EQ(bytesOf(path("good.xml")), goodBytes);
    EXPECT_EQ(QDir(dir.path()).entryList({"good.xml*"}, QDir::Files | QDir::Hidden), QStringList{"good.xml"});
}

// A file far beyond any configuration is refused unread.
TEST_F(ConfigFileTest, AHugeFileIsRefusedUnread)
{
    QFile huge(path("huge.xml"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(16 * 1024 * 1024 + 1)); // sparse: no disk space taken
    huge.close();
    ScriptedPrompter answers;
    answers.queueFileName(path("huge.xml"));
    view->OnCommand(CMainFormView::ID_LOAD_CONFIG);
    EXPECT_EQ(answers.messages(),
              QStringList{"\n" + g_LangMag.GetString("Config_Too_Large") + "\n\"" + path("huge.xml") + "\""});
    EXPECT_TRUE(reservations.isEmpty());
}

// Values beyond their fields' ranges are never cut into other values: each field keeps what it held,
// and one message after loading names every such element with its value.
TEST_F(ConfigFileTest, OutOfRangeValuesKeepTheFieldsAndAreNamedOnce)
{
    setUp();
    ASSERT_TRUE(view->SaveConfigurationTo(path("good.xml"), kStamp));
    QString text = read(path("good.xml"));
    const auto replace = [&text](const QString &from, const QString &to) {
        ASSERT_TRUE(text.contains(from)) << from.toStdString();
        text.replace(from, to);
    };
    replace("<VLanID>42</VLanID>", "<VLanID>70000</VLanID>");
    replace("<NumofGroup>1</NumofGroup>", "<NumofGroup>100000</NumofGroup>");
    replace("<FrameSize>1518</FrameSize>", "<FrameSize>70000</FrameSize>");
    replace("<MaxNumberOfGroup>300</MaxNumberOfGroup>", "<MaxNumberOfGroup>abc</MaxNumberOfGroup>");
    write(path("odd.xml"), text);
    view->CapacityPage->FrameSize.Edit->setText("256");
    view->CapacityPage->MaxGroups.Edit->setText("400");
    view->JoinLeavePage->PortSettingsList[1].VLanID = 7;

    const qsizetype shown = prompter.messages().size();
    open(path("odd.xml"));
    const QStringList messages = prompter.messages().mid(shown);
    ASSERT_EQ(messages.size(), 2); // the question, then the one message
    const QStringList lines = messages[1].split(u'\n');
    EXPECT_EQ(lines[0], g_LangMag.GetString("Config_Values_Refused"));
    EXPECT_TRUE(lines.contains("PortPairConfig/PairSettings/Pair1/NumofGroup = 100000"))
        << messages[1].toStdString();
    EXPECT_TRUE(lines.contains("CapacityConfig/FrameSize = 70000"));
    EXPECT_TRUE(lines.contains("CapacityConfig/MaxNumberOfGroup = abc"));
    EXPECT_TRUE(lines.filter(QRegularExpression("^JoinLeaveConfig/AvailablePortSettings\\d+/VLanID = 70000$"))
                    .size() == 1)
        << messages[1].toStdString();
    EXPECT_EQ(view->CapacityPage->FrameSize.Edit->text(), "256");
    EXPECT_EQ(view->CapacityPage->MaxGroups.Edit->text(), "400");
    EXPECT_EQ(int(view->JoinLeavePage->PortSettingsList[1].VLanID), 7);
    EXPECT_EQ(int(view->PortConfigPage->Plan().TestPairs[0].NumofGroup), 1);
}

TEST_F(ConfigFileTest, SystemSectionNumbersTheLockedPortsWithoutGaps)
{
    ASSERT_TRUE(view->SaveConfigurationTo(path("ports.xml"), kStamp));
    const QString text = read(path("ports.xml"));
    EXPECT_TRUE(text.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                "<!-- Subject     : Configuration File -->\r\n"
                                "<!-- Modify Date : 2026-3-9 14:5:7-->\r\n"));
    EXPECT_TRUE(text.contains("<Port3>\r\n<Index>3</Index>\r\n<CID>1</CID>\r\n<BID>2</BID>\r\n<PID>4</PID>"));
    EXPECT_FALSE(text.contains("<Port4>"));
    EXPECT_TRUE(text.contains("<DUT_Name>New DUT_Device</DUT_Name>"));
}

TEST_F(ConfigFileTest, CommandsFollowTheRunAndTheControllerAndTheReservationResets)
{
    frame->UpdateMenuStates();
    for (int command : {CMainFrame::ID_OPEN_CONFIG, CMainFrame::ID_SAVE_CONFIG, CMainFrame::ID_NEW_TEST})
        EXPECT_TRUE(frame->commandAction(command)->isEnabled()) << command;
    g_IsRunning = 1;
    frame->UpdateMenuStates();
    EXPECT_FALSE(frame->commandAction(CMainFrame::ID_SAVE_CONFIG)->isEnabled());
    view->OnCommand(CMainFormView::ID_SAVE_CONFIG);
    EXPECT_EQ(prompter.messages(), QStringList{g_LangMag.GetString("Note_System_Runing")});
    g_IsRunning = 0;
    app->ConfigCommandsOff = 1;
    frame->UpdateMenuStates();
    for (int command : {CMainFrame::ID_OPEN_CONFIG, CMainFrame::ID_SAVE_CONFIG, CMainFrame::ID_NEW_TEST})
        EXPECT_FALSE(frame->commandAction(command)->isEnabled()) << command;

    // New: No leaves all; Yes and a lock start from the default pairs without tested ports.
    setUp();
    app->TestPlan.HostPorts.resize(2);
    prompter.queueAnswer(IDNO);
    view->OnCommand(CMainFormView::ID_NEW_TEST);
    EXPECT_TRUE(reservations.isEmpty());
    view->OnCommand(CMainFormView::ID_NEW_TEST);
    EXPECT_EQ(reservations.size(), 1);
    EXPECT_EQ(app->TestPlan.TestPairs.at(0).Status, 0);
    EXPECT_EQ(g_Session.Ports[0].SourcePair, 0);
    EXPECT_TRUE(app->TestPlan.HostPorts.empty());

    // The reservation message: the pairs lose their ports, the tested-port lists stay.
    g_Session.Ports[1].HostPair = 1;
    app->TestPlan.HostPorts.resize(1);
    view->OnCommand(CMainFormView::WM_SHOW_RESERVATION);
    EXPECT_EQ(reservations.size(), 2);
    EXPECT_EQ(g_Session.Ports[1].HostPair, 0);
    EXPECT_EQ(app->TestPlan.HostPorts.size(), 1u);
}

TEST_F(ConfigFileTest, ReservationStartsFromNewNamesAndARefusedLockEmptiesThePortPages)
{
    setUp();
    app->DutName = "Switch 9";
    ASSERT_TRUE(view->SaveConfigurationTo(path("good.xml"), kStamp));
    QString noNames = read(path("good.xml"));
    noNames.remove(QRegularExpression("<(DUT|Tester)_Name>[^<]*</\\1_Name>\r\n"));
    write(path("nonames.xml"), noNames);

    // Every way into the reservation shows the new names, not the program's; a Cancel keeps the program's.
    QStringList shown;
    view->SetReservationRunner([&shown](CBoardInfo &dialog) {
        shown << dialog.TesterName + " / " + dialog.DutName;
        return 0;
    });
    view->OnCommand(CMainFormView::WM_SHOW_RESERVATION);
    prompter.queueAnswer(IDYES);
    view->OnCommand(CMainFormView::ID_NEW_TEST);
    open(path("nonames.xml"));
    open(path("good.xml"));
    const QString fresh = "New Tester / New DUT_Device";
    EXPECT_EQ(shown, (QStringList{fresh, fresh, fresh, "Lab <3> & bench / Switch 9"}));
    EXPECT_EQ(app->TesterName, "Lab <3> & bench");

    // A refused Lock takes the names and gives up every port: the port pages list none any more.
    ASSERT_EQ(view->PortInfoPage->SettingsGrid->GetRowCount(), 4); // the all-ports row and three ports
    ASSERT_GT(view->PortConfigPage->SourceCombo->count(), 0);
    view->SetReservationRunner([](CBoardInfo &dialog) {
        std::fill(g_Session.LockedFlags.begin(), g_Session.LockedFlags.end(), std::uint8_t(0));
        g_Session.LockCount = 0;
        dialog.TesterName = "Typed";
        dialog.NamesTaken = 1;
        return 0;
    });
    view->OnCommand(CMainFormView::WM_SHOW_RESERVATION);
    EXPECT_EQ(app->TesterName, "Typed");
    EXPECT_EQ(view->PortInfoPage->SettingsGrid->GetRowCount(), 1);
    EXPECT_EQ(view->PortConfigPage->SourceCombo->count(), 0);
}
