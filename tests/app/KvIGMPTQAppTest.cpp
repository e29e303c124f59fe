// The start-up sequence, branch by branch, with the machine and the server played by the test and the
// waits passing in virtual time.
#include "ShellTestSupport.h"

#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/LogDlg.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "engine/VirtualWaitClock.h"
#include "platform/ScriptedPrompter.h"
#include "platform/SingleInstanceLock.h"

#include <QFileInfo>
#include <csignal>
#include <optional>

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

namespace {

// Raises SIGTERM when start-up reaches the named step, and lets the event loop run once, as the step's
// dialog would.
class SignalledServices : public FakeServices
{
public:
    using FakeServices::FakeServices;
    QString signalAt;

    int showConnectDialog(std::uint8_t *answer, bool chinese) override
    {
        const int choice = FakeServices::showConnectDialog(answer, chinese);
        signalAtStep(QStringLiteral("dialog"));
        return choice;
    }
    LaunchResult startServer(const QString &address) override
    {
        const LaunchResult result = FakeServices::startServer(address);
        signalAtStep(QStringLiteral("start"));
        return result;
    }
    int runSelectConfig(QWidget *parent) override
    {
        const int choice = FakeServices::runSelectConfig(parent);
        signalAtStep(QStringLiteral("select"));
        return choice;
    }
    void signalAtStep(const QString &step)
    {
        if (step != signalAt)
            return;
        ::raise(SIGTERM);
        QCoreApplication::processEvents();
    }
};

} // namespace

// SIGTERM at any step of start-up ends it there: nothing more is asked or opened, the server that
// start-up started is stopped, the connection is closed, and the program ends.
TEST_F(StartupTest, TerminationSignalAtAnyStepEndsTheStartupAndTheServerItStarted)
{
    const struct
    {
        const char *step;
        bool stopsStartedServer; // else the main frame closes down, as it would later
    } cases[] = {
        {"dialog", false},
        {"start", true},
        {"card", true},
        {"select", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.step);
        ShellGlobalsGuard::resetGlobals();
        link.calls.clear();
        ScriptedPrompter answers;
        auto owned = std::make_unique<SignalledServices>(folder.path());
        SignalledServices *fake = owned.get();
        fake->signalAt = QLatin1String(c.step);
        fake->selectConfig = 1;
        CKvIGMPTQApp other(std::move(owned));
        playServer('0');
        const auto played = link.onCall;
        link.onCall = [&](const QString &call) {
            played(call);
            if (call == QStringLiteral("QMC4_BoardStatus"))
                fake->signalAtStep(QStringLiteral("card"));
        };
        EXPECT_FALSE(other.InitInstance());
        EXPECT_TRUE(answers.messages().isEmpty()) << answers.messages().join(u'|').toStdString();
        EXPECT_EQ(fake->calls.contains(QStringLiteral("stop")), c.stopsStartedServer);
        EXPECT_EQ(fake->calls.contains(QStringLiteral("select")), c.step == std::string_view("select"));
        EXPECT_TRUE(fake->viewCommands.isEmpty());
        EXPECT_EQ(link.calls.last(), QStringLiteral("TerminateProcess"));
        EXPECT_EQ(link.calls.contains(QStringLiteral("QueryNumOfClient")),
                  c.step == std::string_view("select"));
    }
}

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

// The language file named in Setting.ini, taken only from the program's Language folder: a file that
// cannot be used gives way to the English file and the user is told once, naming the file and why; a
// file that lacks texts shows those in English.
TEST_F(StartupTest, LanguageSettingSelectsTheFileOrFallsBackToEnglishWithANotice)
{
    CLangMag shipped;
    shipped.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/LangEng.lng"));
    const QString english = shipped.GetString(QStringLiteral("Menu_File"));
    ASSERT_FALSE(english.isEmpty());
    // The English file with every text taken out, each key left in place.
    QByteArray everyKeyEmpty;
    QFile englishFile(shipped.GetLangFile());
    ASSERT_TRUE(englishFile.open(QIODevice::ReadOnly));
    for (const QByteArray &line : englishFile.readAll().split('\n'))
        everyKeyEmpty += (line.contains('=') ? line.left(line.indexOf('=') + 1) : line) + '\n';
    struct Case
    {
        const char *name;
        QByteArray settings;
        std::optional<QByteArray> chineseFile; // none: the file as shipped
        std::uint32_t chinese;
        const char *notice; // part of the one message; nullptr: none
    };
    const Case cases[] = {
        {"Chinese", "[Language]\nSelLangFile=LangChs.lng\n", std::nullopt, 1, nullptr},
        {"no setting", "[Other]\n", std::nullopt, 0, nullptr},
        {"name in another case", "[Language]\nSelLangFile=langchs.lng\n", std::nullopt, 0, "does not exist"},
        {"path out of the folder", "[Language]\nSelLangFile=../../../../../etc/passwd\n", std::nullopt, 0,
         "not a file of the folder"},
        {"empty file", "[Language]\nSelLangFile=LangChs.lng\n", QByteArray(), 0, "holds no text"},
        {"random bytes", "[Language]\nSelLangFile=LangChs.lng\n", QByteArray("\x8f\x01\xfe=\x00\xc3[\n", 8),
         0, "holds no text"},
        {"texts missing", "[Language]\nSelLangFile=LangChs.lng\n", QByteArray("[STRINGS]\nMenu_Help=X\n"), 1,
         "lacks"},
        {"texts empty", "[Language]\nSelLangFile=LangChs.lng\n",
         QByteArray("[STRINGS]\nMenu_Help=X\nMenu_File=\n"), 1, "lacks"},
        {"every text empty", "[Language]\nSelLangFile=LangChs.lng\n", everyKeyEmpty, 0, "holds no text"},
    };
    for (const Case &c : cases) {
        TempProgramFolder own(c.settings);
        const QString folder = own.path() + QStringLiteral("Language/");
        if (c.chineseFile) {
            QFile file(folder + QStringLiteral("LangChs.lng"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(*c.chineseFile);
        }
        const qsizetype shown = prompter.messages().size();
        auto owned = std::make_unique<FakeServices>(own.path());
        FakeServices *fake = owned.get();
        owned->dialogResult = -1;
        CKvIGMPTQApp other(std::move(owned));
        EXPECT_FALSE(other.InitInstance()) << c.name;
        EXPECT_EQ(other.LanguageIsChinese, c.chinese) << c.name;
        EXPECT_EQ(fake->calls.last(),
                  c.chinese ? QStringLiteral("dialog(chinese)") : QStringLiteral("dialog"))
            << c.name;
        const QStringList messages = prompter.messages().mid(shown);
        if (c.notice) {
            ASSERT_EQ(messages.size(), 1) << c.name;
            EXPECT_TRUE(messages[0].contains(QLatin1String(c.notice))) << c.name << messages[0].toStdString();
            EXPECT_TRUE(messages[0].contains(folder)) << c.name;
        } else {
            EXPECT_TRUE(messages.isEmpty()) << c.name;
        }
        if (!c.chinese || c.chineseFile) {
            EXPECT_EQ(g_LangMag.GetString(QStringLiteral("Menu_File")), english) << c.name;
        }
        EXPECT_FALSE(g_LangMag.GetString(QStringLiteral("Note_Run_Only_One")).isEmpty()) << c.name;
    }
}

TEST_F(StartupTest, NoUsableLanguageFileStopsTheStartWithAPlainMessage)
{
    TempProgramFolder own;
    const QString folder = own.path() + QStringLiteral("Language/");
    ASSERT_TRUE(QFile::remove(folder + QStringLiteral("LangChs.lng")));
    QFile file(folder + QStringLiteral("LangEng.lng"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)); // empty
    file.close();
    auto owned = std::make_unique<FakeServices>(own.path());
    FakeServices *fake = owned.get();
    CKvIGMPTQApp other(std::move(owned));
    EXPECT_FALSE(other.InitInstance());
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_TRUE(prompter.messages()[0].contains(folder)) << prompter.messages()[0].toStdString();
    EXPECT_FALSE(fake->calls.contains(QStringLiteral("dialog")));
    EXPECT_FALSE(fake->calls.contains(QStringLiteral("dialog(chinese)")));
}
