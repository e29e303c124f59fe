// The start-up sequence, branch by branch, with the machine and the server played by the test and the
// waits passing in virtual time.
#include "ShellTestSupport.h"

#include "app/KvIGMPTQApp.h"
#include "app/LogDlg.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "engine/VirtualWaitClock.h"
#include "platform/ScriptedPrompter.h"
#include "platform/SingleInstanceLock.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QString kDemoQuestion = QStringLiteral("Can't connect to server\nDo you want to run in Demo mode?");

class StartupTest : public testing::Test
{
protected:
    StartupTest()
    {
        auto owned = std::make_unique<FakeServices>(folder.path());
        services = owned.get();
        app = std::make_unique<CKvIGMPTQApp>(std::move(owned));
    }

    // The server answers: inventory after 300 ms, board status after 100 ms, EEPROM on the nth read.
    void playServer(char model = '0', int eepromOnRead = 1)
    {
        eepromReads = 0;
        link.onCall = [this, model, eepromOnRead](const QString &call) {
            if (call == QStringLiteral("ConnectToServer")) {
                clock.callAfter(300ms, [model] {
                    g_Session.InventoryReady = 1;
                    g_Session.Controller.Model = std::uint8_t(model);
                });
            } else if (call.endsWith(QStringLiteral("BoardStatus"))) {
                clock.callAfter(100ms, [] { g_Session.ControllerVersionSeen = 1; });
            } else if (call.endsWith(QStringLiteral("93C56_Read")) && ++eepromReads == eepromOnRead) {
                clock.callAfter(100ms, [] { g_Session.ControllerEepromArrived = 1; });
            }
        };
    }

    int countWaits(std::chrono::milliseconds length) const
    {
        return int(std::count(clock.waits().begin(), clock.waits().end(), length));
    }

    ShellGlobalsGuard guard;
    TempProgramFolder folder;
    VirtualWaitClock clock;
    ScriptedPrompter prompter;
    FakeLink link;
    FakeServices *services = nullptr;
    std::unique_ptr<CKvIGMPTQApp> app;
    int eepromReads = 0;
};

} // namespace

TEST_F(StartupTest, MissingPacketCaptureLibraryEndsBeforeAnythingElse)
{
    services->pcap = false;
    EXPECT_FALSE(app->InitInstance());
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("Please install WinPcap first!")});
    EXPECT_EQ(prompter.prompts().first().type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_TRUE(services->calls.isEmpty());
}

TEST_F(StartupTest, SecondInstanceIsToldAndEndsBeforeTheServerChoice)
{
    services->lockResult = SingleInstanceLock::Result::HeldByAnother;
    EXPECT_FALSE(app->InitInstance());
    EXPECT_EQ(prompter.messages(), QStringList{g_LangMag.GetString(QStringLiteral("Note_Run_Only_One"))});
    EXPECT_EQ(services->calls, QStringList{QStringLiteral("lock")});
    EXPECT_EQ(app->MainFrame(), nullptr);
}

// The real lock, in the user's runtime folder: only a lock held by another instance means "already
// running"; a lock file that cannot be opened is reported as what it is.
TEST_F(StartupTest, InstanceLockTellsAHeldLockFromABrokenOne)
{
    QTemporaryDir runtime;
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QString path = SingleInstanceLock::lockFilePath(name);
    EXPECT_TRUE(path.startsWith(runtime.path() + u'/')) << path.toStdString();
    services->lockResult.reset();
    {
        SingleInstanceLock other;
        ASSERT_EQ(other.tryLock(name), SingleInstanceLock::Result::Locked);
        EXPECT_FALSE(app->InitInstance());
    }
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(path)); // a folder where the lock file belongs: it cannot be opened
    EXPECT_FALSE(app->InitInstance());
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
    if (savedRuntime.isEmpty())
        qunsetenv("XDG_RUNTIME_DIR");

    const QStringList messages = prompter.messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], g_LangMag.GetString(QStringLiteral("Note_Run_Only_One")));
    EXPECT_EQ(messages[1],
              g_LangMag.GetString(QStringLiteral("Note_Instance_Lock_Fail")).arg(path + ": Is a directory"));
    EXPECT_FALSE(services->calls.contains(QStringLiteral("dialog")));
}

TEST_F(StartupTest, CancelEndsSilentlyWithoutAnyServerCall)
{
    services->dialogResult = -1;
    EXPECT_FALSE(app->InitInstance());
    EXPECT_TRUE(prompter.messages().isEmpty());
    EXPECT_TRUE(link.calls.isEmpty()) << link.calls.join(u',').toStdString();
    EXPECT_FALSE(services->calls.contains(QStringLiteral("process")));
}

TEST_F(StartupTest, DemoChoiceGivesEightLockedPortsDefaultNamesAndTheStartupChoice)
{
    services->dialogResult = 0;
    services->selectConfig = 2;
    app->TesterName.clear();
    ASSERT_TRUE(app->InitInstance());
    EXPECT_EQ(app->DemoMode, 1u);
    EXPECT_EQ(g_ServerOnThisMachine, 0);
    EXPECT_TRUE(link.calls.isEmpty()) << link.calls.join(u',').toStdString();
    EXPECT_EQ(g_Session.PortCount, 8);
    EXPECT_EQ(g_Session.LockCount, 8);
    EXPECT_EQ(g_Session.BoardCount, 3); // cards 2, 3 and 4 have a port 1
    EXPECT_EQ(std::count(g_Session.LockedFlags.begin(), g_Session.LockedFlags.end(), 1), 8);
    EXPECT_EQ(app->TesterName, QStringLiteral("New Tester"));
    EXPECT_EQ(app->DutName, QStringLiteral("New DUT_Device"));
    ASSERT_NE(app->MainFrame(), nullptr);
    EXPECT_EQ(g_MainFrame, app->MainFrame());
    EXPECT_TRUE(app->MainFrame()->isVisible());
    EXPECT_EQ(app->ConfigCommandsOff, 0);
    EXPECT_EQ(services->calls.last(), QStringLiteral("select"));
    // The log window waits, hidden, centred on the frame where start-up has placed it.
    const CLogDlg *log = app->MainFrame()->View()->LogDlg;
    EXPECT_FALSE(log->isVisible());
    EXPECT_NE(app->MainFrame()->frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_LE((log->frameGeometry().center() - app->MainFrame()->frameGeometry().center()).manhattanLength(),
              16);
}

TEST_F(StartupTest, StartupChoiceSendsOpenOrNewOrNothing)
{
    const std::pair<int, QList<int>> cases[] = {{1, {32797}}, {2, {32799}}, {-1, {}}};
    for (const auto &[choice, commands] : cases) {
        ShellGlobalsGuard::resetGlobals();
        auto owned = std::make_unique<FakeServices>(folder.path());
        FakeServices *fake = owned.get();
        owned->dialogResult = 0;
        owned->selectConfig = choice;
        CKvIGMPTQApp demo(std::move(owned));
        ASSERT_TRUE(demo.InitInstance());
        EXPECT_EQ(fake->viewCommands, commands) << choice;
    }
}

TEST_F(StartupTest, LoopbackServerIsStartedWaitedForAndConnectedInHardwareMode)
{
    playServer('0');
    services->selectConfig = 1;
    ASSERT_TRUE(app->InitInstance());
    EXPECT_EQ(services->calls.mid(0, 4), (QStringList{QStringLiteral("lock"), QStringLiteral("dialog"),
                                                      QStringLiteral("process"), QStringLiteral("start")}));
    EXPECT_EQ(app->DemoMode, 0u);
    EXPECT_EQ(app->ServerIsLoopback, 1u);
    EXPECT_EQ(app->ServerAddress, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(services->startAddress, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(link.connectedTo, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(g_ServerOnThisMachine, 1);
    EXPECT_EQ(countWaits(2000ms), 1); // once the server is up
    EXPECT_EQ(g_Session.ChassisModelName, QStringLiteral("QM-C4"));
    EXPECT_EQ(link.calls, (QStringList{QStringLiteral("ConnectToServer"), QStringLiteral("QMC4_BoardStatus"),
                                       QStringLiteral("QMC4_93C56_Read")}));
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST_F(StartupTest, OwnAddressIsLocalAndARemoteServerIsNeverLookedFor)
{
    const struct
    {
        std::uint8_t address[4];
        bool local;
    } cases[] = {{{10, 1, 2, 3}, true}, {{10, 9, 9, 9}, false}};
    for (const auto &c : cases) {
        ShellGlobalsGuard::resetGlobals();
        auto owned = std::make_unique<FakeServices>(folder.path());
        FakeServices *fake = owned.get();
        std::copy(std::begin(c.address), std::end(c.address), fake->address);
        fake->processRunning = true;
        CKvIGMPTQApp other(std::move(owned));
        playServer('1');
        ASSERT_TRUE(other.InitInstance());
        EXPECT_EQ(other.ServerIsLoopback, 0u);
        EXPECT_EQ(fake->calls.contains(QStringLiteral("process")), c.local);
        EXPECT_FALSE(fake->calls.contains(QStringLiteral("start"))); // it was already running
        EXPECT_EQ(g_ServerOnThisMachine, c.local ? 1 : 0);
        EXPECT_EQ(other.DemoMode, 0u);
        EXPECT_EQ(g_Session.ChassisModelName, QStringLiteral("QM-C2"));
    }
}

// A server started here listens at the chosen address of this host; when it cannot be reached
// afterwards it is stopped again, while a server that ran before is left alone.
TEST_F(StartupTest, ServerStartedForAnOwnAddressListensThereAndStopsWhenUnreachable)
{
    for (const bool runningBefore : {false, true}) {
        ShellGlobalsGuard::resetGlobals();
        ScriptedPrompter answers;
        answers.queueAnswer(IDOK);
        answers.queueAnswer(IDYES);
        FakeLink failing;
        failing.connectResult = 0;
        auto owned = std::make_unique<FakeServices>(folder.path());
        FakeServices *fake = owned.get();
        const std::uint8_t own[4] = {10, 1, 2, 3};
        std::copy(std::begin(own), std::end(own), fake->address);
        fake->processRunning = runningBefore;
        CKvIGMPTQApp other(std::move(owned));
        ASSERT_TRUE(other.InitInstance());
        EXPECT_EQ(failing.connectedTo, QStringLiteral("10.1.2.3"));
        EXPECT_EQ(fake->calls.contains(QStringLiteral("start")), !runningBefore) << runningBefore;
        EXPECT_EQ(fake->startAddress, runningBefore ? QString() : QStringLiteral("10.1.2.3"));
        EXPECT_EQ(fake->calls.contains(QStringLiteral("stop")), !runningBefore) << runningBefore;
        EXPECT_EQ(other.DemoMode, 1u);
    }
}

TEST_F(StartupTest, ServerStartFailureShowsItsTextThenAsksAfterTheWholeWait)
{
    const std::pair<LaunchResult, QString> cases[] = {
        {LaunchResult::OutOfResources, QStringLiteral("The system is out of memory or resources.")},
        {LaunchResult::FileNotFound, QStringLiteral("ERROR_FILE_NOT_FOUND")},
        {LaunchResult::PathNotFound, QStringLiteral("ERROR_PATH_NOT_FOUND")},
        {LaunchResult::BadFormat, QStringLiteral("ERROR_BAD_FORMAT")},
    };
    for (const auto &[launch, text] : cases) {
        ShellGlobalsGuard::resetGlobals();
        ScriptedPrompter answers;
        answers.queueAnswer(IDOK);
        answers.queueAnswer(IDYES);
        auto owned = std::make_unique<FakeServices>(folder.path());
        owned->launch = launch;
        VirtualWaitClock passes;
        CKvIGMPTQApp other(std::move(owned));
        ASSERT_TRUE(other.InitInstance());
        EXPECT_EQ(answers.messages(), (QStringList{text, kDemoQuestion}));
        EXPECT_EQ(std::count(passes.waits().begin(), passes.waits().end(), 200ms), 100);
        EXPECT_EQ(other.DemoMode, 1u);
        EXPECT_EQ(g_Session.PortCount, 8);
        EXPECT_EQ(g_ServerOnThisMachine, 1);
    }
    EXPECT_TRUE(link.calls.isEmpty()) << link.calls.join(u',').toStdString();
}

TEST_F(StartupTest, ServerThatNeverComesUpAndNoDemoTerminatesAndEnds)
{
    services->windowExists = false;
    prompter.queueAnswer(IDNO);
    EXPECT_FALSE(app->InitInstance());
    EXPECT_EQ(prompter.messages(), QStringList{kDemoQuestion});
    EXPECT_EQ(link.calls, QStringList{QStringLiteral("TerminateProcess")});
    EXPECT_EQ(countWaits(200ms), 100);
}

TEST_F(StartupTest, ConnectFailureThenDemoOrEnd)
{
    for (const int answer : {IDYES, IDNO}) {
        ShellGlobalsGuard::resetGlobals();
        ScriptedPrompter answers;
        answers.queueAnswer(IDOK);
        answers.queueAnswer(answer);
        FakeLink failing;
        failing.connectResult = 0;
        auto owned = std::make_unique<FakeServices>(folder.path());
        owned->processRunning = true;
        CKvIGMPTQApp other(std::move(owned));
        EXPECT_EQ(other.InitInstance(), answer == IDYES);
        EXPECT_EQ(
            answers.messages(),
            (QStringList{g_LangMag.GetString(QStringLiteral("Note_Connect_Server_Fail")), kDemoQuestion}));
        EXPECT_EQ(answers.prompts().first().type, MB_OK | MB_ICONEXCLAMATION);
        if (answer == IDYES) {
            EXPECT_EQ(other.DemoMode, 1u);
            EXPECT_EQ(failing.calls, QStringList{QStringLiteral("ConnectToServer")});
        } else {
            EXPECT_EQ(failing.calls,
                      (QStringList{QStringLiteral("ConnectToServer"), QStringLiteral("TerminateProcess")}));
        }
    }
}

TEST_F(StartupTest, InventoryThatNeverArrivesAsksAndNoEndsWithoutTerminating)
{
    services->processRunning = true;
    prompter.queueAnswer(IDNO);
    EXPECT_FALSE(app->InitInstance());
    EXPECT_EQ(prompter.messages(), QStringList{g_LangMag.GetString(QStringLiteral("Note_No_Active_Port"))});
    EXPECT_EQ(countWaits(100ms), 100);
    EXPECT_EQ(link.calls, QStringList{QStringLiteral("ConnectToServer")});
}

TEST_F(StartupTest, ManagementCardPaths)
{
    const QString noPort = g_LangMag.GetString(QStringLiteral("Note_No_Active_Port"));
    const struct
    {
        const char *name;
        bool statusArrives;
        bool inactiveCard;
        int eepromOnRead; // 0: never
        int answer;
        std::int32_t result;
        QStringList messages;
        int reads;
    } cases[] = {
        {"no status, demo", false, false, 1, IDYES, 0, {noPort}, 0},
        {"no status, end", false, false, 1, IDNO, -1, {noPort}, 0},
        {"inactive card goes on", true, true, 1, IDOK, 1, {QStringLiteral("No active management card!")}, 1},
        {"EEPROM on the third try", true, false, 3, IDOK, 1, {}, 3},
        {"EEPROM never, demo", true, false, 0, IDYES, 0, {noPort}, 5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ShellGlobalsGuard::resetGlobals();
        g_Session.Controller = {{1, 1, 1}, '_', 0};
        if (c.inactiveCard)
            g_Session.ControllerVersion.Word68 = 0xFF;
        ScriptedPrompter answers;
        answers.queueAnswer(c.answer);
        FakeLink card;
        int reads = 0;
        VirtualWaitClock time;
        card.onCall = [&](const QString &call) {
            if (call == QStringLiteral("QMC6_BoardStatus") && c.statusArrives)
                time.callAfter(100ms, [] { g_Session.ControllerVersionSeen = 1; });
            if (call == QStringLiteral("QMC6_93C56_Read") && ++reads == c.eepromOnRead)
                time.callAfter(100ms, [] { g_Session.ControllerEepromArrived = 1; });
        };
        EXPECT_EQ(app->CheckManagementCard(), c.result);
        EXPECT_EQ(answers.messages(), c.messages);
        EXPECT_EQ(card.calls.count(QStringLiteral("QMC6_93C56_Read")), c.reads);
        if (c.reads > 0) {
            EXPECT_EQ(g_Session.ChassisModelName, QStringLiteral("QM-C6"));
        }
    }
}

TEST_F(StartupTest, ControllerOfModelTwoOrThreeShowsNoStartupChoice)
{
    for (const char model : {'2', '3'}) {
        ShellGlobalsGuard::resetGlobals();
        ScriptedPrompter answers;
        answers.queueAnswer(IDYES); // no board status for these models: go on in demo mode
        auto owned = std::make_unique<FakeServices>(folder.path());
        FakeServices *fake = owned.get();
        owned->processRunning = true;
        CKvIGMPTQApp other(std::move(owned));
        playServer(model);
        ASSERT_TRUE(other.InitInstance());
        EXPECT_EQ(other.DemoMode, 1u);
        EXPECT_EQ(other.ConfigCommandsOff, 1);
        EXPECT_FALSE(fake->calls.contains(QStringLiteral("select")));
        EXPECT_EQ(link.calls.filter(QStringLiteral("BoardStatus")).size(), 0);
    }
}

TEST_F(StartupTest, LanguageSettingSelectsTheFileAndTheChineseFlag)
{
    const std::pair<QByteArray, std::uint32_t> cases[] = {
        {"[Language]\nSelLangFile=LangChs.lng\n", 1},
        {"[Language]\nSelLangFile=langchs.lng\n", 0}, // compared case-sensitively
        {"[Other]\n", 0},
    };
    for (const auto &[settings, chinese] : cases) {
        TempProgramFolder own(settings);
        auto owned = std::make_unique<FakeServices>(own.path());
        FakeServices *fake = owned.get();
        owned->dialogResult = -1;
        CKvIGMPTQApp other(std::move(owned));
        EXPECT_FALSE(other.InitInstance());
        EXPECT_EQ(other.LanguageIsChinese, chinese) << settings.constData();
        EXPECT_EQ(fake->calls.last(), chinese ? QStringLiteral("dialog(chinese)") : QStringLiteral("dialog"));
        if (settings.startsWith("[Other]")) {
            EXPECT_EQ(g_LangMag.GetLangFile(), own.path() + QStringLiteral("Language/"));
            EXPECT_TRUE(g_LangMag.GetString(QStringLiteral("Menu_File")).isEmpty());
        }
    }
}
