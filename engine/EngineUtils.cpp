#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/PlanLineRates.h"
#include "engine/TestPlanRecords.h"

#include "engine/WaitClock.h"
#include "platform/NumberText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <dlfcn.h>

namespace {

struct ModelRow
{
    std::uint8_t code;
    const char16_t *name;
    bool testModule; // known to AssignModelNameOfType and ModuleTypeToModelNameA
};

// Module type codes and model names.
constexpr std::array<ModelRow, 24> kModels{{
    {21, u"QM-M01", false}, {29, u"QM-M02", false}, {33, u"QM-M03", false}, {52, u"QM-M11", true},
    {53, u"QM-M13", true},  {54, u"QM-M09", true},  {55, u"QM-M08", true},  {57, u"QM-M10", true},
    {58, u"QM-M12", true},  {59, u"QM-M14", true},  {66, u"QM-M05", true},  {67, u"QM-M06", true},
    {68, u"QM-M07", true},  {70, u"QM-M15", true},  {84, u"QM-M19", true},  {87, u"QM-M16", true},
    {88, u"QM-M18", true},  {89, u"QM-M24", true},  {100, u"QM-M20", true}, {101, u"QM-M17", true},
    {102, u"QM-M21", true}, {103, u"QM-M25", true}, {147, u"QM-M22", true}, {148, u"QM-M23", true},
}};

// The models a port label names. Labels know 23 as QM-M03 and 33 as QM-M04.
constexpr std::array<ModelRow, 16> kLabelModels{{
    {21, u"QM-M01", false},
    {29, u"QM-M02", false},
    {23, u"QM-M03", false},
    {33, u"QM-M04", false},
    {66, u"QM-M05", true},
    {67, u"QM-M06", true},
    {68, u"QM-M07", true},
    {55, u"QM-M08", true},
    {54, u"QM-M09", true},
    {52, u"QM-M11", true},
    {53, u"QM-M13", true},
    {88, u"QM-M18", true},
    {84, u"QM-M19", true},
    {89, u"QM-M24", true},
    {147, u"QM-M22", true},
    {148, u"QM-M23", true},
}};

template <std::size_t N> const ModelRow *findByCode(const std::array<ModelRow, N> &table, int code)
{
    const auto row =
        std::find_if(table.begin(), table.end(), [&](const ModelRow &r) { return r.code == code; });
    return row == table.end() ? nullptr : &*row;
}

template <std::size_t N> const ModelRow *findByName(const std::array<ModelRow, N> &table, QStringView name)
{
    const auto row = std::find_if(table.begin(), table.end(),
                                  [&](const ModelRow &r) { return name == QStringView(r.name); });
    return row == table.end() ? nullptr : &*row;
}

const ModelRow *findTestModule(int typeIndex)
{
    const ModelRow *row = findByCode(kModels, typeIndex + 52);
    return row && row->testModule ? row : nullptr;
}

struct MediaRow
{
    std::uint8_t code;
    const char16_t *speed;
    const char16_t *duplex;
    const char16_t *mode;
    std::uint64_t lineRate; // bytes per second; 0 when the link is down
};

constexpr std::array<MediaRow, 15> kMedia{{
    {0, u"10M", u"Half", u"Force", kLineRate10M},
    {1, u"10M", u"Full", u"Force", kLineRate10M},
    {2, u"100M", u"Half", u"Force", kLineRate100M},
    {3, u"100M", u"Full", u"Force", kLineRate100M},
    {4, u"10M", u"Half", u"Auto", kLineRate10M},
    {5, u"10M", u"Full", u"Auto", kLineRate10M},
    {6, u"100M", u"Half", u"Auto", kLineRate100M},
    {7, u"100M", u"Full", u"Auto", kLineRate100M},
    {8, u"1G", u"Half", u"Force", kLineRate1G},
    {9, u"1G", u"Full", u"Force", kLineRate1G},
    {10, u"1G", u"Half", u"Auto", kLineRate1G},
    {11, u"1G", u"Full", u"Auto", kLineRate1G},
    {12, u"10G", u"Full", u"Force", kLineRate10G},
    {13, u"10G", u"Full", u"Auto", kLineRate10G},
    {kLinkDownMediaCode, u"Link Down", u"Full", u"Auto", 0},
}};

const MediaRow *findMedia(std::uint8_t code)
{
    const auto row =
        std::find_if(kMedia.begin(), kMedia.end(), [&](const MediaRow &r) { return r.code == code; });
    return row == kMedia.end() ? nullptr : &*row;
}

bool isInPortTable(qint64 chassis, qint64 card, qint64 port)
{
    return chassis >= 0 && chassis <= kMaxChassis && card >= 0 && card <= kMaxCard && port >= 0 &&
           port <= kMaxPort;
}

bool isLabelSeparator(QChar c)
{
    return c == u'(' || c == u' ' || c == u',' || c == u')';
}

} // namespace

bool FormatPortLabel(const UtPortKey &key, QString &text)
{
    text = QString::asprintf("(%3d,%2d,%d) - ", int(key.Id.CID), int(key.Id.BID), int(key.Id.PID));
    if (const ModelRow *row = findByCode(kLabelModels, key.TYPE))
        text += QStringView(row->name);
    return true;
}

bool ParsePortLabel(QStringView text, UtPortKey &key)
{
    std::array<qint64, 3> numbers{};
    qsizetype pos = 0;
    for (qint64 &number : numbers) {
        while (pos < text.size() && isLabelSeparator(text[pos]))
            ++pos;
        qsizetype end = pos;
        while (end < text.size() && !isLabelSeparator(text[end]))
            ++end;
        if (end == pos || !parseDecimalPrefix(text.sliced(pos, end - pos), number))
            return false;
        pos = end;
    }
    if (!isInPortTable(numbers[0], numbers[1], numbers[2]))
        return false;

    std::uint8_t type = kUnknownModuleType;
    if (const qsizetype model = text.indexOf(u"QM-"); model >= 0) {
        const QStringView name = text.sliced(model);
        if (const ModelRow *row = findByName(kLabelModels, name))
            type = row->code;
        else if (const ModelRow *other = findByName(kModels, name))
            type = other->code;
    }
    key.Id = {std::uint16_t(numbers[0]), std::uint8_t(numbers[1]), std::uint8_t(numbers[2])};
    key.TYPE = type;
    return true;
}

bool ParsePortIdText(QStringView portText, QStringView modelText, UtPortKey &key)
{
    const qsizetype open = portText.indexOf(u'(');
    const qsizetype firstComma = portText.indexOf(u',', open + 1);
    const qsizetype secondComma = firstComma < 0 ? -1 : portText.indexOf(u',', firstComma + 1);
    if (open < 0 || secondComma < 0)
        return false;
    qsizetype close = portText.indexOf(u')', secondComma + 1);
    if (close < 0)
        close = portText.size();
    qint64 chassis = 0, card = 0, port = 0;
    if (!parseDecimalPrefix(portText.sliced(open + 1, firstComma - open - 1), chassis) ||
        !parseDecimalPrefix(portText.sliced(firstComma + 1, secondComma - firstComma - 1), card) ||
        !parseDecimalPrefix(portText.sliced(secondComma + 1, close - secondComma - 1), port) ||
        !isInPortTable(chassis, card, port))
        return false;
    key.Id = {std::uint16_t(chassis), std::uint8_t(card), std::uint8_t(port)};
    key.TYPE = ModelNameToModuleType(modelText);
    return true;
}

std::uint8_t ModelNameToModuleType(QStringView name)
{
    const ModelRow *row = findByName(kModels, name);
    return row ? row->code : kUnknownModuleType;
}

QString ModuleTypeToModelName(std::uint8_t code)
{
    const ModelRow *row = findByCode(kModels, code);
    return row ? QString::fromUtf16(row->name) : QString();
}

bool AssignModelNameOfType(int typeIndex, QString &name)
{
    const ModelRow *row = findTestModule(typeIndex);
    if (!row)
        return false;
    name = QString::fromUtf16(row->name);
    return true;
}

bool ModuleTypeToModelNameA(int typeIndex, char *buffer, std::size_t bufferSize)
{
    const ModelRow *row = findTestModule(typeIndex);
    if (!row || bufferSize == 0)
        return false;
    const QByteArray name = QString::fromUtf16(row->name).toLatin1();
    const std::size_t length = std::min<std::size_t>({std::size_t(name.size()), bufferSize - 1, 10});
    std::memcpy(buffer, name.constData(), length);
    buffer[length] = '\0';
    return true;
}

std::uint8_t ParseMediaText(QStringView speed, QStringView duplex, QStringView mode)
{
    const auto row = std::find_if(kMedia.begin(), kMedia.end() - 1, [&](const MediaRow &r) {
        return speed == QStringView(r.speed) && duplex == QStringView(r.duplex) &&
               mode == QStringView(r.mode);
    });
    return row == kMedia.end() - 1 ? kUnknownMediaCode : row->code;
}

void MediaCodeToText(std::uint8_t code, QString &speed, QString &duplex, QString &mode)
{
    if (const MediaRow *row = findMedia(code)) {
        speed = QString::fromUtf16(row->speed);
        duplex = QString::fromUtf16(row->duplex);
        mode = QString::fromUtf16(row->mode);
    }
}

std::uint64_t LineRateOfMedia(std::uint16_t media)
{
    const MediaRow *row = findMedia(static_cast<std::uint8_t>(media & 0xFF));
    return row ? row->lineRate : 0;
}

QString LinkSpeedText(std::uint8_t linkCode)
{
    const MediaRow *row = findMedia(linkCode);
    if (!row)
        return QStringLiteral("100M");
    const QString speed = QString::fromUtf16(row->speed);
    // "10M" is padded to the width of "100M".
    return speed == u"10M" ? u' ' + speed : speed;
}

QString SpeedChoiceList(std::uint8_t moduleType)
{
    switch (moduleType) {
    case 52:
    case 53:
    case 54:
    case 55:
        return QStringLiteral("1G\n100M\n10M\n");
    case 84:
    case 88:
    case 89:
    case 147:
    case 148:
        return QStringLiteral("10G\n");
    default: // 66..68 and every unknown type
        return QStringLiteral("100M\n10M\n");
    }
}

QString SpeedChoiceListOfPort(std::uint8_t moduleType, std::uint16_t linkWord)
{
    if ((moduleType == 54 || moduleType == 55) && (linkWord & 0x8000))
        return QStringLiteral("1G\n");
    return SpeedChoiceList(moduleType);
}

void WaitPumping(std::uint32_t ms)
{
    WaitClock::current().pump(std::chrono::milliseconds(ms), false);
}

void WaitPumpingAbortable(std::uint32_t ms)
{
    if (WaitClock::stopRequested())
        return;
    WaitClock::current().pump(std::chrono::milliseconds(ms), true);
}

bool IsMulticastGroupRange(const std::uint8_t (&first)[4], std::uint32_t count)
{
    constexpr std::uint64_t kFirstMulticast = 0xE0000000; // 224.0.0.0
    constexpr std::uint64_t kLastMulticast = 0xEFFFFFFF;  // 239.255.255.255
    const std::uint64_t start = std::uint64_t(first[0]) << 24 | std::uint64_t(first[1]) << 16 |
                                std::uint64_t(first[2]) << 8 | first[3];
    const std::uint64_t last = start + std::max<std::uint32_t>(count, 1) - 1;
    return start >= kFirstMulticast && last <= kLastMulticast;
}

std::uint16_t InetChecksum(std::size_t length, const void *data)
{
    const auto *bytes = static_cast<const unsigned char *>(data);
    std::uint32_t sum = 0;
    std::size_t i = 0;
    for (; i + 1 < length; i += 2) {
        std::uint16_t word;
        std::memcpy(&word, bytes + i, 2);
        sum += word;
        sum = (sum & 0xFFFF) + (sum >> 16); // folding as we go keeps any length from overflowing
    }
    if (i < length)
        sum += bytes[i];
    sum = (sum >> 16) + (sum & 0xFFFF);
    sum += sum >> 16;
    return static_cast<std::uint16_t>(~sum);
}

bool IsWinPcapInstalled()
{
    void *library = dlopen("libpcap.so.0.8", RTLD_LAZY | RTLD_LOCAL);
    if (!library)
        return false;
    dlclose(library);
    return true;
}

QString GetAppDirectory()
{
    return QCoreApplication::applicationDirPath() + u'/';
}

bool CreateDirectoryTree(const QString &path)
{
    QString folder = path;
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    if (folder.isEmpty())
        return false;
    if (QFileInfo(folder).isDir())
        return true;
    return QDir().mkpath(folder);
}

QString AnsiToCString(const char *text, std::size_t bufferSize)
{
    if (!text)
        return QString();
    return QString::fromLocal8Bit(text, qsizetype(strnlen(text, bufferSize)));
}

bool CStringToAnsi(char *buffer, std::size_t bufferSize, const QString &text)
{
    if (!buffer || bufferSize == 0)
        return false;
    const QByteArray bytes = text.toLocal8Bit();
    std::size_t length = std::min(std::size_t(bytes.size()), bufferSize - 1);
    // Never end inside a multi-byte character: back off to the start of the cut one.
    if (length < std::size_t(bytes.size()))
        while (length > 0 && (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80)
            --length;
    std::memcpy(buffer, bytes.constData(), length);
    buffer[length] = '\0';
    return length == std::size_t(bytes.size());
}

std::uint32_t SwapBytes32(std::uint32_t value)
{
    return (value >> 24) | ((value >> 8) & 0xFF00) | ((value << 8) & 0xFF0000) | (value << 24);
}

float TimestampTickUs(std::uint16_t moduleType)
{
    switch (moduleType) {
    case 5:
        return 0.4f;
    case 11:
        return 0.004f;
    case 13:
        return 0.0004f;
    default:
        return 0.04f;
    }
}

double LatencyCompensation(std::uint16_t speedCode, std::uint8_t portNumber, std::uint8_t moduleType)
{
    const unsigned speed = speedCode & 0xFF;
    const bool slow = speed <= 1 || speed == 4 || speed == 5;
    const bool fast = speed == 2 || speed == 3 || speed == 6 || speed == 7;
    const bool gigabit = speed >= 8 && speed <= 11;
    const double bySpeed = slow ? 2.24 : fast ? 0.48 : gigabit ? 0.2 : 0.0;
    switch (moduleType) {
    case 52:
    case 66:
    case 67:
        return 0.2;
    case 53:
        return bySpeed;
    case 54:
        return portNumber == 3 || portNumber == 4 ? bySpeed : 0.32;
    case 55:
        return (speedCode & 0xF000) == 0x8000 ? 0.32 : bySpeed;
    case 68:
        return slow ? 3.12 : fast ? 0.32 : 0.0;
    case 84:
    case 88:
    case 147:
    case 148:
        return 0.36;
    case 89:
        return 0.44;
    default:
        return 0;
    }
}

double CompensatedLatency(const UtTestPort &port, double latencyUs)
{
    const double compensated = latencyUs - LatencyCompensation(port.SpeedMedia, port.Id.PID, port.TYPE);
    return compensated > 0 ? compensated : 0; // also NaN
}

void ComputeFrameGap(const CIGMPTestPlan &plan, std::uint16_t chassis, std::uint8_t card, std::uint8_t port,
                     std::int32_t &packetsPerSecond, std::int32_t &gapBits)
{
    const std::uint64_t lineRate = TestPlanSupport::lineRateOfPort(UtPortId{chassis, card, port});
    const std::uint64_t maxPackets = TestPlanSupport::fullLoadFps(lineRate, plan.FrameSize);
    if (plan.CurrentRate == 100.0) {
        packetsPerSecond = static_cast<std::int32_t>(maxPackets);
        gapBits = 96;
        return;
    }
    // Truncated toward zero; a load outside 0..100 % (or not a number) cannot come from the pages.
    const double packets = plan.CurrentRate / 100 * static_cast<double>(maxPackets);
    packetsPerSecond = packets >= 1 ? static_cast<std::int32_t>(std::min(packets, double(INT32_MAX))) : 0;
    if (packetsPerSecond == 0) {
        gapBits = 0;
        return;
    }
    const double gapBytes =
        std::floor(static_cast<double>(lineRate) / packetsPerSecond - (plan.FrameSize + 8));
    gapBits = static_cast<std::int32_t>(std::clamp(gapBytes * 8, 0.0, double(INT32_MAX)));
}
