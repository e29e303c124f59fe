// What the module and system information windows show of the hardware, read from the session's
// records by one table: which words of a version record (server message 0x0500) and which fields of
// the EEPROM records (0x1E00) carry each version, serial number and address.
#pragma once

#include "engine/SessionRecords.h"
#include "platform/kvapi/KvProtocol.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstdint>

class UtSession;

struct UtVersionTriple
{
    unsigned Major = 0;
    unsigned Minor = 0;
    unsigned Build = 0;
};

// The words W1..W10 of a version record (W[0]..W[9]) and what they carry.
namespace VersionWords = KvProtocol::Layout::VersionWords;

// Lite modules (QM-M10, M12, M14, M20, M17, M21, M25): they support only specific applications and
// cannot be reserved.
bool IsLiteModuleType(std::uint8_t type);

// One test module, from its version record.
struct UtModuleInfo
{
    UtVersionTriple Firmware;
    UtVersionTriple Fpga;
    UtVersionTriple Prom;
    unsigned Hardware = 0;
    std::uint8_t MAC[6] = {};
};
UtModuleInfo ModuleInfoOf(const UtBoardVersion &version);

// The chassis and its controller. The EEPROM records come in two layouts by the controller's
// character: layout A ('1', '3', '_') is one record (ChassisEeprom[0]) for controller and chassis;
// layout B ('0', '2') has the controller board's record (ChassisEeprom[1], selector 1) and the
// chassis's (ChassisEeprom[2], selector 0), whose second serial number names the chassis's second
// board.
struct UtSystemInfo
{
    std::uint8_t MAC[6] = {}; // the chassis's, from the controller's version record
    std::uint8_t ControllerSlot = 0;
    UtVersionTriple Hardware;
    UtVersionTriple Firmware;
    UtVersionTriple Further;
    unsigned Pcb = 0;
    QString ModelText;        // the controller's model, from its EEPROM record
    QString ControllerSerial; // layout A: the one record's; layout B: the controller board's
    QString ChassisSerial;    // layout A: the one record's; layout B: the chassis record's
    QString ThirdSerial;      // layout B: the chassis record's second serial number
    QByteArray Date;          // the manufacture date text (at most 12 characters) of the chassis record
};
// The management card by the character its version record carries (UtControllerId::Model). Each
// family has its own chassis-wide calls; a lite card runs its family's records without them.
enum class ControllerModel : std::uint8_t
{
    C4 = '0',
    C2 = '1',
    C4Lite = '2',
    C2Lite = '3',
    C6 = '_',
};
// One of the five characters above.
bool IsKnownControllerModel(std::uint8_t controllerModel);
bool IsLiteControllerModel(std::uint8_t controllerModel);
// Layout B for the characters '0' and '2', A for any other.
bool IsLayoutB(std::uint8_t controllerModel);
UtSystemInfo SystemInfoOf(const UtSession &session);

// "v%u.%ub%03u".
QString FormatVersion(const UtVersionTriple &version);
// Six bytes as upper-case hexadecimal pairs joined by the separator.
QString FormatMac(const std::uint8_t (&mac)[6], QStringView separator);
// "YYYY-MM-DD hh:mm" of a twelve-digit date; one space for an empty text; any other text as it stands.
QString FormatManufactureDate(const QByteArray &date);
