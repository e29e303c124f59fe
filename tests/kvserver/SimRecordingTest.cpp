// Frames the simulator records for the engineer: read back with a reader of the capture format
// written here, apart from the simulator's writer.
#include "SimTestKit.h"
#include "common/LoopbackListener.h"
#include "common/TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace SimTestKit;

namespace {

struct Packet
{
    uint32_t interface;
    uint64_t nanoseconds;
    uint32_t flags = 0; // 1 inbound, 2 outbound
    Bytes data;
};

struct Capture
{
    bool valid = false;
    std::vector<std::string> interfaces;
    std::vector<Packet> packets;
};

uint32_t le32(const Bytes &b, size_t at)
{
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

uint16_t le16(const Bytes &b, size_t at)
{
    return uint16_t(b[at] | b[at + 1] << 8);
}

// Walks the options of a block body from `at` to `end`, calling back with each code and value.
template <typename Visit> void options(const Bytes &b, size_t at, size_t end, Visit visit)
{
    while (at + 4 <= end) {
        const uint16_t code = le16(b, at), size = le16(b, at + 2);
        if (code == 0 || at + 4 + size > end)
            return;
        visit(code, Bytes(b.begin() + long(at + 4), b.begin() + long(at + 4 + size)));
        at += 4 + (size + 3u) / 4 * 4;
    }
}

Capture readCapture(const QString &path)
{
    QFile file(path);
    Capture capture;
    if (!file.open(QIODevice::ReadOnly))
        return capture;
    const QByteArray all = file.readAll();
    const Bytes b(all.begin(), all.end());
    size_t at = 0;
    while (at + 12 <= b.size()) {
        const uint32_t type = le32(b, at), length = le32(b, at + 4);
        if (length < 12 || length % 4 || at + length > b.size() || le32(b, at + length - 4) != length)
            return capture;
        const size_t body = at + 8, end = at + length - 4;
        if (type == 0x0A0D0D0A) {
            if (le32(b, body) != 0x1A2B3C4D || le16(b, body + 4) != 1)
                return capture;
        } else if (type == 1) {
            EXPECT_EQ(le16(b, body), 1); // Ethernet
            std::string name;
            bool nanoseconds = false;
            options(b, body + 8, end, [&](uint16_t code, const Bytes &value) {
                if (code == 2)
                    name.assign(value.begin(), value.end());
                if (code == 9)
                    nanoseconds = value.size() == 1 && value[0] == 9;
            });
            EXPECT_TRUE(nanoseconds);
            capture.interfaces.push_back(name);
        } else if (type == 6) {
            Packet packet;
            packet.interface = le32(b, body);
            packet.nanoseconds = uint64_t(le32(b, body + 4)) << 32 | le32(b, body + 8);
            const uint32_t captured = le32(b, body + 12);
            EXPECT_EQ(captured, le32(b, body + 16));
            packet.data.assign(b.begin() + long(body + 20), b.begin() + long(body + 20 + captured));
            options(b, body + 20 + (captured + 3u) / 4 * 4, end, [&](uint16_t code, const Bytes &value) {
                if (code == 2 && value.size() == 4)
                    packet.flags = le32(value, 0);
            });
            capture.packets.push_back(std::move(packet));
        }
        at += length;
    }
    capture.valid = at == b.size();
    return capture;
}

class SimRecordingTest : public SimFixture
{
};

// A loopback port nobody listens on.
uint16_t freePort()
{
    const LoopbackListener listener = listenOnLoopback(1);
    ::close(listener.fd);
    return listener.port;
}

} // namespace

TEST_F(SimRecordingTest, SentAndDeliveredFramesLandInTheCaptureFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("wire.pcapng");
    SimConfig config;
    config.pcapFile = path.toStdString();
    config.pcapFrameLimit = 20;
    start(config);
    const Port source{2, 1}, host{2, 2};
    const uint32_t group = ip(239, 1, 1, 1);
    const Bytes join = igmpV2(0x16, portMac(2, 2), ip(10, 0, 0, 2), group);
    ASSERT_EQ(sendNic(host, join), 1);
    advance(10 * Ms);
    const Bytes data = multicastData(portMac(2, 1), ip(10, 0, 0, 1), group, 100);
    ASSERT_TRUE(addEntry(source, data, 96, 100));
    ASSERT_EQ(startTx(source, 0, 0, 3, 1), 1); // sent frame by frame
    advance(1 * Ms);
    ASSERT_TRUE(addEntry(source, data, 96, 100));
    ASSERT_EQ(startTx(source, 0, 0, 100'000, 1), 1); // counted
    advance(200 * Ms);
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
    const uint16_t port = freePort();
    QProcess program;
    program.start(besideTestProgram(QStringLiteral("KvServerAP")),
                  {QStringLiteral("--port"), QString::number(port), QStringLiteral("--pcap"), path,
                   QStringLiteral("--time-scale"), QStringLiteral("0")});
    ASSERT_TRUE(program.waitForStarted(5000));
    ASSERT_TRUE(program.waitForReadyRead(5000));
    Kv_SYS_Init(nullptr, 0xFF);
    KvClient::instance().setServerPort(port);
    const char address[32] = "127.0.0.1";
    ASSERT_EQ(Kv_SYS_ConnectToServer(address), 1);
    ASSERT_EQ(Kv_LockPortStatus({1, {1, 0, 0, 0}}), 1);
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
