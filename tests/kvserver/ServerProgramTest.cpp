// The server program: bad arguments, environment and configuration are refused with a reason and exit
// code 2, and running out of descriptors does not make it spin.
#include "common/KvWireClient.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

struct Refusal
{
    QStringList arguments;
    QString portVariable; // KV_SERVER_PORT when not empty
    const char *config;   // an INI file given with --config when not null
    const char *reason;   // part of the message
};

} // namespace

TEST(ServerProgramTest, RefusesBadValuesWithAReasonAndExitCodeTwo)
{
    const Refusal refusals[] = {
        {{"--port", "abc"}, {}, nullptr, "bad port: abc"},
        {{"--port", "-1"}, {}, nullptr, "bad port: -1"},
        {{"--port", "65536"}, {}, nullptr, "bad port: 65536"},
        {{}, "notanumber", nullptr, "KV_SERVER_PORT is not a port number: notanumber"},
        {{"--listen", "999.1.1.1"}, {}, nullptr, "not an IPv4 address: 999.1.1.1"},
        {{"--time-scale", "nan"}, {}, nullptr, "bad time scale: nan"},
        // Below 1 the program's real-time waits would end before the simulated traffic.
        {{"--time-scale", "0.5"}, {}, nullptr, "bad time scale: 0.5 (0, or 1 to 1000000)"},
        {{"--time-scale", "0.999"}, {}, nullptr, "bad time scale: 0.999"},
        {{"--pcap", "/no/such/dir/x.pcapng"}, {}, nullptr, "cannot write /no/such/dir/x.pcapng"},
        // Opened, but its header cannot be written.
        {{"--pcap", "/dev/full"}, {}, nullptr, "cannot write /dev/full: No space left on device"},
        {{}, {}, "[Chassis]\nPcapFile=/no/such/dir/x.pcapng\n", "cannot write /no/such/dir/x.pcapng"},
        {{}, {}, "[Chassis]\nTimeScale=nan\n", "bad value of TimeScale"},
        {{}, {}, "[Chassis]\nTimeScale=0.5\n", "bad value of TimeScale (0, or 1 to 1000000)"},
        {{}, {}, "[Modules]\nCard2=53\ncard2=55\n", "card slot 2 listed twice"},
        {{}, {}, "[Modules]\nCard2=53,4\nCard3=55\nCard2=53,2\n", "Card2 written twice in [Modules]"},
        {{},
         {},
         "[Chassis]\nNumber=2\n[Device]\nSeed=1\n[Chassis]\nNumber=3\n",
         "Number written twice in [Chassis]"},
        {{}, {}, "[Modules]\nCard2=53\n[modules]\nCard3=55\n", "section [modules] must be written [Modules]"},
        {{}, {}, "[DEVICE]\nProfile=faulty\n", "section [DEVICE] must be written [Device]"},
    };
    QTemporaryDir folder;
    for (const Refusal &refusal : refusals) {
        QStringList arguments = refusal.arguments;
        if (refusal.config) {
            const QString path = folder.filePath("sim.ini");
            std::ofstream(path.toStdString(), std::ios::trunc) << refusal.config;
            arguments << "--config" << path;
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("KV_SERVER_PORT");
        if (!refusal.portVariable.isEmpty())
            environment.insert("KV_SERVER_PORT", refusal.portVariable);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QCoreApplication::applicationDirPath() + "/KvServerAP", arguments);
        ASSERT_TRUE(program.waitForFinished(10000)) << refusal.reason;
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << refusal.reason;
        EXPECT_EQ(program.exitCode(), 2) << refusal.reason;
        EXPECT_TRUE(program.readAllStandardError().contains(refusal.reason)) << refusal.reason;
    }
}

namespace {

// Processor time a process has used, in clock ticks.
long processorTicks(qint64 pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long user = 0, system = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14)
            user = std::stol(field);
        if (index == 15) {
            system = std::stol(field);
            break;
        }
    }
    return user + system;
}

} // namespace

TEST(ServerProgramTest, OutOfDescriptorsTheServerRestsInsteadOfSpinning)
{
    QProcess program;
    program.setChildProcessModifier([] {
        const rlimit few{16, 16};
        ::setrlimit(RLIMIT_NOFILE, &few);
    });
    program.start(QCoreApplication::applicationDirPath() + "/KvServerAP", {"--port", "0", "--verbose"});
    ASSERT_TRUE(program.waitForReadyRead(10000));
    const QByteArray announced = program.readAllStandardOutput().trimmed();
    const uint16_t port = uint16_t(announced.mid(announced.lastIndexOf(':') + 1).toUInt());
    ASSERT_NE(port, 0) << announced.toStdString();

    // More connections than the server has descriptors for; the rest wait in its listen queue.
    std::vector<std::unique_ptr<KvWireClient>> clients;
    for (int i = 0; i < 20; ++i)
        clients.push_back(std::make_unique<KvWireClient>(port));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const long before = processorTicks(program.processId());
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long used = processorTicks(program.processId()) - before;
    EXPECT_LT(used, sysconf(_SC_CLK_TCK) / 5) << "a second of waiting costs next to no processor time";

    // Once descriptors are free again, a new client is served.
    clients.clear();
    KvWireClient late(port);
    EXPECT_EQ(late.hello(), 1);
    program.terminate();
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_TRUE(program.readAllStandardError().contains("cannot accept a client: Too many open files"));
}
