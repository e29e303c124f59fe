// Frames the simulator records for the engineer: read back with a reader of the capture format
// written here, apart from the simulator's writer.
#include "SimTestKit.h"
#include "common/CaptureReadBack.h"
#include "common/FileSizeLimit.h"
#include "common/LoopbackListener.h"
#include "common/TestFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace SimTestKit;
using namespace CaptureReadBack;

namespace {

// A loopback port nobody listens on.
uint16_t freePort()
{
    const LoopbackListener listener = listenOnLoopback(1);
    ::close(listener.fd);
    return listener.port;
}

// Starts the server program recording into the capture file, connects to it and locks port 2/1.
void startRecordingProgram(QProcess &program, const QString &capture)
{
    const uint16_t port = freePort();
    program.start(besideTestProgram(QStringLiteral("KvServerAP")),
                  {QStringLiteral("--port"), QString::number(port), QStringLiteral("--pcap"), capture,
                   QStringLiteral("--time-scale"), QStringLiteral("0")});
    ASSERT_TRUE(program.waitForStarted(5000));
    ASSERT_TRUE(program.waitForReadyRead(5000)) << program.readAllStandardError().toStdString();
    Kv_SYS_Init(nullptr, 0xFF);
    KvClient::instance().setServerPort(port);
    const char address[32] = "127.0.0.1";
    ASSERT_EQ(Kv_SYS_ConnectToServer(address), 1);
    ASSERT_EQ(Kv_LockPortStatus({1, {1, 0, 0, 0}}), 1);
}

class SimRecordingTest : public SimFixture
{
protected:
    static constexpr uint32_t Group = 0xEF010101; // 239.1.1.1

    // The host (2,2) joins the group, and the device forwards it from then on.
    Bytes joinHost()
    {
        const Bytes join = igmpV2(0x16, portMac(2, 2), ip(10, 0, 0, 2), Group);
        EXPECT_EQ(sendNic({2, 2}, join), 1);
        advance(10 * Ms);
        return join;
    }

    // The source (2,1) sends the group 100-byte frames, counted rather than one by one.
    void sendCountedData(uint64_t frames)
    {
        ASSERT_TRUE(addEntry({2, 1}, multicastData(portMac(2, 1), ip(10, 0, 0, 1), Group, 100), 96, 100));
        ASSERT_EQ(startTx({2, 1}, 0, 0, frames, 1), 1);
        advance(200 * Ms);
    }
};

} // namespace

TEST_F(SimRecordingTest, SentAndDeliveredFramesLandInTheCaptureFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("wire.pcapng");
    SimConfig config;
    config.pcapFile = path.toStdString();
    config.pcapFrameLimit = 20;
    start(config);
    const Port source{2, 1};
    const Bytes join = joinHost();
    const Bytes data = multicastData(portMac(2, 1), ip(10, 0, 0, 1), Group, 100);
    ASSERT_TRUE(addEntry(source, data, 96, 100));
    ASSERT_EQ(startTx(source, 0, 0, 3, 1), 1); // sent frame by frame
    advance(1 * Ms);
    ASSERT_NO_FATAL_FAILURE(sendCountedData(100'000));
    EXPECT_TRUE(logHas("capture file limit of 20 frames reached"));
    TearDown(); // the server closes the file

    const Capture capture = readCapture(path);
    ASSERT_TRUE(capture.valid);
    ASSERT_EQ(capture.interfaces.size(), 12u);
    EXPECT_EQ(capture.interfaces[1], "port 2/2");
    ASSERT_EQ(capture.packets.size(), 20u);
    // The join leaves the host and goes nowhere else (no router port).
    EXPECT_EQ(capture.packets[0].interface, 1u);
    EXPECT_EQ(capture.packets[0].flags, 2u);
    EXPECT_EQ(capture.packets[0].data, join);
    // Each data frame: sent by the source, then delivered to the host a little later.
    for (size_t i = 1; i + 1 < capture.packets.size(); i += 2) {
        SCOPED_TRACE(i);
        const Packet &sent = capture.packets[i], &delivered = capture.packets[i + 1];
        EXPECT_EQ(sent.interface, 0u);
        EXPECT_EQ(sent.flags, 2u);
        EXPECT_EQ(delivered.interface, 1u);
        EXPECT_EQ(delivered.flags, 1u);
        EXPECT_EQ(sent.data, data);
        EXPECT_EQ(delivered.data, data);
        EXPECT_GT(delivered.nanoseconds, sent.nanoseconds);
        EXPECT_GE(sent.nanoseconds, 10'000'000u);
    }
}

// Time moves with the requests: frames still to come when the last request was served are sent and
// recorded once the client leaves or the server shuts down, as a run's last leaves are.
TEST_F(SimRecordingTest, FramesDueWhenTheClientLeavesAreRecorded)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("leaves.pcapng");
    SimConfig config;
    config.pcapFile = path.toStdString();
    config.timeScale = 1;
    start(config, true);
    const Port host{2, 2};
    const Bytes leave = igmpV2(0x17, portMac(2, 2), ip(10, 0, 0, 2), ip(239, 1, 1, 1));
    ASSERT_TRUE(addEntry(host, leave, 10'000'000, 101)); // about 10 ms apart
    ASSERT_EQ(startTx(host, 0, 0, 3, 1), 1);
    QThread::msleep(100);
    TearDown(); // the client leaves without another request, then the server ends

    const Capture capture = readCapture(path);
    ASSERT_TRUE(capture.valid);
    const auto leaves =
        std::count_if(capture.packets.begin(), capture.packets.end(), [&](const Packet &packet) {
            return packet.flags == 2 && packet.interface == 1 && packet.data == leave;
        });
    EXPECT_EQ(leaves, 3);
}

TEST_F(SimRecordingTest, ServerProgramRecordsWhenAskedOnItsCommandLine)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("program.pcapng");
    QProcess program;
    ASSERT_NO_FATAL_FAILURE(startRecordingProgram(program, path));
    const Bytes join = igmpV2(0x16, portMac(2, 1), ip(10, 0, 0, 1), ip(239, 1, 1, 1));
    ASSERT_EQ(sendNic({2, 1}, join), 1);
    EXPECT_EQ(Kv_SYS_TerminateServer(), 1);
    ASSERT_TRUE(program.waitForFinished(5000));

    const Capture capture = readCapture(path);
    ASSERT_TRUE(capture.valid);
    ASSERT_EQ(capture.packets.size(), 1u);
    EXPECT_EQ(capture.packets[0].data, join);
    EXPECT_EQ(capture.packets[0].interface, 0u);
}

// A disk that fills during a run: one line names the file and the reason, nothing more is recorded, the
// file keeps its whole frames, and the server serves on.
TEST_F(SimRecordingTest, AFullDiskStopsTheCaptureAfterItsLastWholeFrame)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("full.pcapng");
    constexpr qint64 Room = 16 * 1024; // the header and about a hundred frames
    const FileSizeLimit limit(Room);
    SimConfig config;
    config.pcapFile = path.toStdString();
    start(config);
    const Bytes join = joinHost();
    ASSERT_NO_FATAL_FAILURE(sendCountedData(100'000));
    const std::string stopped = "capture stopped: cannot write " + path.toStdString() + ": File too large";
    EXPECT_EQ(logLinesWith(stopped), 1);
    ASSERT_EQ(sendNic({2, 2}, join), 1);
    advance(10 * Ms);
    EXPECT_TRUE(logHas("NICModeSend -> 1"));
    TearDown();

    const Capture capture = readCapture(path);
    EXPECT_TRUE(capture.valid) << "the file ends within a frame";
    EXPECT_GT(capture.packets.size(), 10u);
    EXPECT_LE(QFileInfo(path).size(), Room);
}

// Under a file size limit the capture's writes past it fail, as on a full disk: the system's signal for
// them (SIGXFSZ) does not end the server, which goes on serving and ends when asked. The frames still
// buffered then go out last: their failure is told on standard error without --verbose, and the file
// keeps its whole frames.
TEST_F(SimRecordingTest, ServerProgramOutlivesAFileSizeLimitOnItsCapture)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("limited.pcapng");
    constexpr rlim_t kLimit = 4096;
    QProcess program;
    program.setChildProcessModifier([] {
        rlimit limit = {};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = kLimit;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    ASSERT_NO_FATAL_FAILURE(startRecordingProgram(program, path));
    const Bytes join = igmpV2(0x16, portMac(2, 1), ip(10, 0, 0, 1), ip(239, 1, 1, 1));
    // Some ten times the limit of recorded frames.
    for (int frame = 0; frame < 400; ++frame)
        ASSERT_EQ(sendNic({2, 1}, join), 1) << frame;
    EXPECT_EQ(Kv_SYS_TerminateServer(), 1);
    ASSERT_TRUE(program.waitForFinished(5000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_LE(QFileInfo(path).size(), qint64(kLimit));
    const QString told = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(told.count(QStringLiteral("capture stopped: cannot write ") + path +
                         QStringLiteral(": File too large")),
              1)
        << told.toStdString();
    const Capture capture = readCapture(path);
    EXPECT_TRUE(capture.valid) << "the file ends within a frame";
    EXPECT_GT(capture.packets.size(), 0u);
}
