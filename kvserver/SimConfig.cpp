#include "kvserver/SimConfig.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QStringList>

#include <algorithm>

bool isValidTimeScale(double scale)
{
    return scale == 0 || (scale >= 1 && scale <= 1e6); // false for NaN
}

bool isSimulatedModuleType(uint8_t type)
{
    static constexpr uint8_t Types[] = {52, 53, 54, 55, 57,  58,  59,  66,  67,  68,
                                        84, 87, 88, 89, 100, 101, 102, 103, 147, 148};
    return std::find(std::begin(Types), std::end(Types), type) != std::end(Types);
}

bool simDeviceProfile(const std::string &name, SimDeviceProfile &profile)
{
    constexpr int64_t Us = 1'000'000, Ms = 1000 * Us, S = 1000 * Ms;
    SimDeviceProfile chosen;
    chosen.name = name;
    if (name == "realistic") {
        chosen.joinDelay = 5 * Ms;
        chosen.joinJitter = 2 * Ms;
        chosen.fastLeave = false;
        chosen.lastMemberQueryInterval = S;
        chosen.lastMemberQueryCount = 2;
        chosen.baseLatency = 3 * Us;
        chosen.queueingLatency = 20 * Us;
        chosen.groupTableSize = 512;
        chosen.smallFrameForwardingPercent = 90;
    } else if (name == "faulty") {
        chosen.floodUnregistered = true;
        chosen.sourceFiltering = false;
        chosen.groupTableSize = 128;
        chosen.lossPpm = 10;
    } else if (name != "ideal") {
        return false;
    }
    profile = chosen;
    return true;
}

namespace {

bool readNumber(const QSettings &ini, const char *key, unsigned maximum, unsigned &value, std::string &error)
{
    if (!ini.contains(key))
        return true;
    bool ok = false;
    const unsigned read = ini.value(key).toString().trimmed().toUInt(&ok);
    if (!ok || read > maximum) {
        error = std::string("bad value of ") + key;
        return false;
    }
    value = read;
    return true;
}

bool readFlag(const QSettings &ini, const char *key, bool &flag, std::string &error)
{
    unsigned value = flag ? 1 : 0;
    if (!readNumber(ini, key, 1, value, error))
        return false;
    flag = value != 0;
    return true;
}

bool loadDevice(QSettings &ini, SimDeviceProfile &device, std::string &error)
{
    ini.beginGroup("Device");
    if (ini.contains("Profile") &&
        !simDeviceProfile(ini.value("Profile").toString().trimmed().toStdString(), device)) {
        error = "bad value of Profile";
        return false;
    }
    constexpr int64_t Ns = 1000, Us = 1000 * Ns, Ms = 1000 * Us;
    struct Duration
    {
        const char *key;
        int64_t &value;
        int64_t unit;
    };
    const Duration durations[] = {
        {"JoinDelayUs", device.joinDelay, Us},     {"JoinJitterUs", device.joinJitter, Us},
        {"LeaveDelayUs", device.leaveDelay, Us},   {"LastMemberQueryMs", device.lastMemberQueryInterval, Ms},
        {"BaseLatencyNs", device.baseLatency, Ns}, {"QueueingLatencyNs", device.queueingLatency, Ns}};
    for (const Duration &duration : durations) {
        unsigned value = static_cast<unsigned>(duration.value / duration.unit);
        if (!readNumber(ini, duration.key, 100'000'000, value, error))
            return false;
        duration.value = int64_t(value) * duration.unit;
    }
    unsigned count = device.lastMemberQueryCount, groups = device.groupTableSize,
             percent = device.smallFrameForwardingPercent, loss = device.lossPpm, seed = device.seed;
    if (!readNumber(ini, "LastMemberQueryCount", 10, count, error) ||
        !readNumber(ini, "GroupTableSize", 1'000'000, groups, error) ||
        !readNumber(ini, "SmallFrameForwardingPercent", 100, percent, error) ||
        !readNumber(ini, "LossPpm", 1'000'000, loss, error) ||
        !readNumber(ini, "Seed", 0xFFFFFFFFu, seed, error) ||
        !readFlag(ini, "FastLeave", device.fastLeave, error) ||
        !readFlag(ini, "SourceFiltering", device.sourceFiltering, error) ||
        !readFlag(ini, "FloodUnregistered", device.floodUnregistered, error))
        return false;
    if (percent == 0) {
        error = "bad value of SmallFrameForwardingPercent";
        return false;
    }
    device.lastMemberQueryCount = count;
    device.groupTableSize = groups;
    device.smallFrameForwardingPercent = percent;
    device.lossPpm = loss;
    device.seed = seed;
    ini.endGroup();
    return true;
}

// What QSettings hides when it reads the file: a key written twice in a section, where the last one
// silently wins, and a section spelled in another case ("[modules]"), which it keeps apart and this
// reader would never look into. Both are refused from the file's own lines.
bool checkSimConfigLines(const QByteArray &bytes, std::string &error)
{
    QString text = QString::fromUtf8(bytes);
    text.replace(u'\r', u'\n'); // a line may end in either
    static const QStringList Sections = {"Chassis", "Modules", "Device"};
    QString section;
    QSet<QString> keys; // "section/key" as written
    for (const QStringView rawLine : QStringView(text).split(u'\n')) {
        const QStringView line = rawLine.trimmed();
        // Comments; QSettings takes a '#' line for a key that nothing reads, so it is none to check either.
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2).trimmed().toString();
            for (const QString &known : Sections) {
                if (section != known && section.compare(known, Qt::CaseInsensitive) == 0) {
                    error = "section [" + section.toStdString() + "] must be written [" +
                            known.toStdString() + "]";
                    return false;
                }
            }
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        const QString key = line.left(equals).trimmed().toString();
        const qsizetype known = keys.size();
        keys.insert(section + '/' + key);
        if (keys.size() > known)
            continue;
        error = key.toStdString() + " written twice";
        if (!section.isEmpty())
            error += " in [" + section.toStdString() + "]";
        return false;
    }
    return true;
}

} // namespace

bool loadSimConfig(const std::string &path, SimConfig &config, std::string &error)
{
    const QString file = QString::fromStdString(path);
    if (!QFileInfo(file).isFile()) {
        error = "no such file: " + path;
        return false;
    }
    QFile readable(file);
    if (!readable.open(QIODevice::ReadOnly)) {
        error = "cannot read " + path + ": " + readable.errorString().toStdString();
        return false;
    }
    const QByteArray text = readable.readAll();
    readable.close();
    QSettings ini(file, QSettings::IniFormat);
    // The file is parsed at the first look into it, which sets the status.
    ini.childGroups();
    if (ini.status() != QSettings::NoError) {
        error = "not an INI file: " + path;
        return false;
    }
    if (!checkSimConfigLines(text, error))
        return false;
    ini.beginGroup("Chassis");
    unsigned chassis = config.chassis, card = config.controllerCard, port = config.controllerPort;
    if (!readNumber(ini, "Number", 255, chassis, error) ||
        !readNumber(ini, "ControllerCard", 16, card, error) ||
        !readNumber(ini, "ControllerPort", 4, port, error) ||
        !readFlag(ini, "OutdatedFirmware", config.outdatedFirmware, error) ||
        !readFlag(ini, "RequireLock", config.requireLock, error) ||
        !readFlag(ini, "ReleaseLocksOnDisconnect", config.releaseLocksOnDisconnect, error) ||
        !readFlag(ini, "FamilyMustMatch", config.familyMustMatch, error))
        return false;
    config.chassis = static_cast<uint16_t>(chassis);
    config.controllerCard = static_cast<uint8_t>(card);
    config.controllerPort = static_cast<uint8_t>(port);
    if (ini.contains("Controller")) {
        const QString character = ini.value("Controller").toString().trimmed();
        if (character.size() != 1 || !QString("01_23").contains(character)) {
            error = "bad value of Controller";
            return false;
        }
        config.controller = character.at(0).toLatin1();
    }
    if (ini.contains("Version"))
        config.versionText = ini.value("Version").toString().trimmed().left(10).toStdString();
    if (ini.contains("ModelName"))
        config.chassisModelName = ini.value("ModelName").toString().trimmed().left(15).toStdString();
    if (ini.contains("TimeScale")) {
        bool ok = false;
        const double scale = ini.value("TimeScale").toString().trimmed().toDouble(&ok);
        if (!ok || !isValidTimeScale(scale)) {
            error = std::string("bad value of TimeScale (") + TimeScaleRange + ")";
            return false;
        }
        config.timeScale = scale;
    }
    if (ini.contains("PcapFile"))
        config.pcapFile = ini.value("PcapFile").toString().trimmed().toStdString();
    unsigned pcapLimit = static_cast<unsigned>(std::min<uint64_t>(config.pcapFrameLimit, 100'000'000));
    if (!readNumber(ini, "PcapFrameLimit", 100'000'000, pcapLimit, error))
        return false;
    config.pcapFrameLimit = pcapLimit;
    ini.endGroup();
    if (!loadDevice(ini, config.device, error))
        return false;

    ini.beginGroup("Modules");
    const QStringList keys = ini.childKeys();
    if (!keys.isEmpty())
        config.modules.clear();
    for (const QString &key : keys) {
        bool ok = false;
        const unsigned slot = key.startsWith("Card", Qt::CaseInsensitive) ? key.mid(4).toUInt(&ok) : 0;
        // QSettings splits "53,4" into a list.
        const QStringList parts = ini.value(key).toStringList();
        bool typeOk = false, portsOk = parts.size() < 2;
        const unsigned type = parts.value(0).trimmed().toUInt(&typeOk);
        const unsigned ports = parts.size() < 2 ? 4 : parts.value(1).trimmed().toUInt(&portsOk);
        const QString mark = parts.value(2).trimmed();
        const bool markOk =
            parts.size() < 3 || (parts.size() == 3 && mark.compare("outdated", Qt::CaseInsensitive) == 0);
        if (!ok || slot < 2 || slot > 16 || slot == config.controllerCard || !typeOk || type > 255 ||
            !isSimulatedModuleType(static_cast<uint8_t>(type)) || !portsOk || ports < 1 || ports > 4 ||
            !markOk) {
            error = "bad module entry " + key.toStdString();
            return false;
        }
        // Keys differ in case or leading zeros ("Card2", "card2", "Card02") yet name the same slot.
        const bool listed = std::any_of(config.modules.begin(), config.modules.end(),
                                        [&](const SimModule &module) { return module.card == slot; });
        if (listed) {
            error = "card slot " + std::to_string(slot) + " listed twice (" + key.toStdString() + ")";
            return false;
        }
        config.modules.push_back({static_cast<uint8_t>(slot), static_cast<uint8_t>(type),
                                  static_cast<uint8_t>(ports), parts.size() == 3});
    }
    ini.endGroup();
    std::sort(config.modules.begin(), config.modules.end(),
              [](const SimModule &a, const SimModule &b) { return a.card < b.card; });
    return true;
}
