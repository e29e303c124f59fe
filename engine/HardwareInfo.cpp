#include "engine/HardwareInfo.h"

#include "engine/EngineUtils.h"
#include "engine/Session.h"

#include <algorithm>
#include <cstring>

namespace {

UtVersionTriple triple(const UtBoardVersion &version, int major, int minor, int build)
{
    return {version.W[major], version.W[minor], version.W[build]};
}

// The bytes of a fixed-size text field up to its first zero.
template <std::size_t N> QByteArray fieldBytes(const char (&field)[N])
{
    return QByteArray(field, qsizetype(strnlen(field, N)));
}

} // namespace

bool IsLiteModuleType(std::uint8_t type)
{
    switch (type) {
    case 0x39:
    case 0x3A:
    case 0x3B:
    case 0x64:
    case 0x65:
    case 0x66:
    case 0x67:
        return true;
    default:
        return false;
    }
}

UtModuleInfo ModuleInfoOf(const UtBoardVersion &version)
{
    using namespace VersionWords;
    UtModuleInfo info;
    info.Firmware = triple(version, FirmwareMajor, FirmwareMinor, FirmwareBuild);
    info.Fpga = triple(version, FpgaMajor, FpgaMinor, FpgaBuild);
    info.Prom = triple(version, PromMajor, PromMinor, PromBuild);
    info.Hardware = version.W[Hardware];
    std::memcpy(info.MAC, version.MAC, sizeof info.MAC);
    return info;
}

void ProbeModules(const UtSession &session)
{
    for (std::uint16_t i = 0; i < session.PortCount; ++i) {
        const UtPortId &id = session.PortTable[i].Id;
        if (id.PID != 1)
            continue;
        Kv_TQModule_93C56_Read(id.CID, id.BID, 1);
        WaitPumping(kModuleProbeWaitMs);
        Kv_TQModule_BoardStatus(id.CID, id.BID, 1);
    }
}

bool IsKnownControllerModel(std::uint8_t controllerModel)
{
    switch (ControllerModel(controllerModel)) {
    case ControllerModel::C4:
    case ControllerModel::C2:
    case ControllerModel::C4Lite:
    case ControllerModel::C2Lite:
    case ControllerModel::C6:
        return true;
    }
    return false;
}

bool IsLiteControllerModel(std::uint8_t controllerModel)
{
    const auto model = ControllerModel(controllerModel);
    return model == ControllerModel::C4Lite || model == ControllerModel::C2Lite;
}

bool IsLayoutB(std::uint8_t controllerModel)
{
    const auto model = ControllerModel(controllerModel);
    return model == ControllerModel::C4 || model == ControllerModel::C4Lite;
}

UtSystemInfo SystemInfoOf(const UtSession &session)
{
    using namespace VersionWords;
    const UtBoardVersion &version = session.ControllerVersion;
    UtSystemInfo info;
    std::memcpy(info.MAC, version.MAC, sizeof info.MAC);
    info.ControllerSlot = session.Controller.Id.BID;
    info.Firmware = triple(version, FirmwareMajor, FirmwareMinor, FirmwareBuild);
    info.Hardware =
        triple(version, ControllerHardwareMajor, ControllerHardwareMinor, ControllerHardwareBuild);
    info.Further = triple(version, FurtherMajor, FurtherMinor, FurtherBuild);
    info.Pcb = version.W[Pcb];
    const bool layoutB = IsLayoutB(session.Controller.Model);
    const UtEepromRecord &controller = session.ChassisEeprom[layoutB ? 1 : 0];
    const UtEepromRecord &chassis = session.ChassisEeprom[layoutB ? 2 : 0];
    info.ModelText = AnsiToCString(controller.ModelName);
    info.ControllerSerial = AnsiToCString(controller.SerialNumber);
    info.ChassisSerial = AnsiToCString(chassis.SerialNumber);
    if (layoutB)
        info.ThirdSerial = AnsiToCString(chassis.SecondSerialNumber);
    info.Date = fieldBytes(chassis.ManufactureDate);
    return info;
}

QString FormatVersion(const UtVersionTriple &version)
{
    return QString::asprintf("v%u.%ub%03u", version.Major, version.Minor, version.Build);
}

QString FormatMac(const std::uint8_t (&mac)[6], QStringView separator)
{
    QString text;
    for (int i = 0; i < 6; ++i) {
        if (i > 0)
            text += separator;
        text += QString::asprintf("%02X", mac[i]);
    }
    return text;
}

QString FormatManufactureDate(const QByteArray &date)
{
    if (date.isEmpty())
        return QStringLiteral(" ");
    const bool digits = date.size() == 12 &&
                        std::all_of(date.begin(), date.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits)
        return QString::fromLocal8Bit(date);
    const auto part = [&date](int from, int size) { return QString::fromLatin1(date.mid(from, size)); };
    return QStringLiteral("%1-%2-%3 %4:%5").arg(part(0, 4), part(4, 2), part(6, 2), part(8, 2), part(10, 2));
}
