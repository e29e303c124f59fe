// The system-information page: its formats, its two record layouts and the fixed demo values, then the
// page filled from the simulator's answers.
#include "ports/SysInfoDlg.h"
#include "engine/HardwareInfo.h"
#include "ports/PortsFixture.h"

#include <cstring>

TEST(HardwareInfoFormat, DatesMacsAndVersions)
{
    const std::pair<QByteArray, QString> dates[] = {
        {"201711271530", "2017-11-27 15:30"},
        {"", " "},
        {"2017112", "2017112"},           // too short to slice: shown as it stands
        {"2017-11-27xx", "2017-11-27xx"}, // not digits
    };
    for (const auto &[date, shown] : dates)
        EXPECT_EQ(FormatManufactureDate(date), shown) << date.constData();
    const std::uint8_t mac[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
    EXPECT_EQ(FormatMac(mac, u"-"), QStringLiteral("00-1A-2B-3C-4D-5E"));
    EXPECT_EQ(FormatMac(mac, u""), QStringLiteral("001A2B3C4D5E"));
    EXPECT_EQ(FormatVersion({1, 2, 7}), QStringLiteral("v1.2b007"));
}

TEST(HardwareInfoFormat, AFullDateFieldWithoutTerminatorIsReadToItsSizeOnly)
{
    g_Session.resetTables();
    g_Session.Controller.Model = '1';
    UtEepromRecord &record = g_Session.ChassisEeprom[0];
    std::memcpy(record.ManufactureDate, "201711271530", 12);
    std::memcpy(record.SerialNumber, "ABCDEFGHIJKLMNOPQRST", 20); // full, no terminator
    std::memset(record.SecondSerialNumber, 'Z', sizeof record.SecondSerialNumber);
    const UtSystemInfo info = SystemInfoOf(g_Session);
    EXPECT_EQ(info.Date, QByteArray("201711271530"));
    EXPECT_EQ(info.ChassisSerial, QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    const auto values = CSysInfoDlg::ValuesOf(g_Session, QStringLiteral("1.0.3"));
    EXPECT_EQ(values[CSysInfoDlg::ManufactureDate], QStringLiteral("2017-11-27 15:30"));
    g_Session.resetTables();
}

TEST(HardwareInfoFormat, LayoutByControllerCharacter)
{
    g_Session.resetTables();
    std::strcpy(g_Session.ChassisEeprom[0].SerialNumber, "A-SERIAL");
    std::strcpy(g_Session.ChassisEeprom[1].SerialNumber, "BOARD");
    std::strcpy(g_Session.ChassisEeprom[2].SerialNumber, "B-SERIAL");
    const std::pair<char, QString> cases[] = {
        {'1', "A-SERIAL"}, {'_', "A-SERIAL"}, {'0', "B-SERIAL"}, {'2', ""}};
    for (const auto &[model, serial] : cases) {
        g_Session.Controller.Model = std::uint8_t(model);
        const auto values = CSysInfoDlg::ValuesOf(g_Session, QStringLiteral("123456789012"));
        EXPECT_EQ(values[CSysInfoDlg::SerialNumber], serial) << model;
        EXPECT_EQ(values[CSysInfoDlg::ApiVersion],
                  serial.isEmpty() ? QString() : QStringLiteral("v1234567890"))
            << model;
        EXPECT_EQ(values[CSysInfoDlg::Agent].isEmpty(), serial.isEmpty()) << model;
    }
    g_Session.resetTables();
}

class SysInfoPageTest : public PortsTest
{
};

TEST_F(SysInfoPageTest, DemoModeShowsTheFixedValuesWhateverTheSessionHolds)
{
    app.DemoMode = 1;
    g_Session.Controller.Model = '1';
    std::strcpy(g_Session.ChassisEeprom[0].SerialNumber, "REAL");
    CSysInfoDlg page;
    const QStringList shown = {"Halverns-H1(QM-C2)", "Corvane Agent", "n/a",
                               "00-00-00-00-00-00",  "v0.1b000",      "v0.1b000",
                               "v0.1b000",           "v1.0.3",        "n/a"};
    for (int field = 0; field < CSysInfoDlg::FieldCount; ++field)
        EXPECT_EQ(page.valueText(field), shown[field]) << field;
    EXPECT_EQ(page.labelText(CSysInfoDlg::ApiVersion), QStringLiteral("API version:"));
    useLanguage("LangChs.lng");
    page.SetLanguageText();
    EXPECT_NE(page.labelText(CSysInfoDlg::ApiVersion), QStringLiteral("API version:"));
    EXPECT_FALSE(page.labelText(CSysInfoDlg::ApiVersion).isEmpty());
}

TEST_F(SysInfoPageTest, ValuesComeFromTheSimulatorsRecords)
{
    const struct
    {
        char controller;
        QString serial, date;
    } cases[] = {{'0', "CS1001", "2023-01-15 09:30"}, {'1', "CS1001", "2023-01-15 09:30"}};
    for (const auto &c : cases) {
        SimConfig config;
        config.controller = c.controller;
        connect(config);
        ASSERT_EQ(app.CheckManagementCard(), 1) << c.controller;
        // Layout B reads the chassis record (selector 0), which the start-up check fetched.
        CSysInfoDlg page;
        EXPECT_EQ(page.valueText(CSysInfoDlg::Model), c.controller == '0' ? "QM-C4" : "QM-C2");
        EXPECT_EQ(page.valueText(CSysInfoDlg::SerialNumber), c.serial);
        EXPECT_EQ(page.valueText(CSysInfoDlg::Mac), QStringLiteral("00-1A-2B-3C-4D-01"));
        EXPECT_EQ(page.valueText(CSysInfoDlg::PcbVersion), QStringLiteral("v1"));
        EXPECT_EQ(page.valueText(CSysInfoDlg::HardwareVersion), QStringLiteral("v1.3b002"));
        EXPECT_EQ(page.valueText(CSysInfoDlg::FirmwareVersion), QStringLiteral("v2.1b012"));
        EXPECT_EQ(page.valueText(CSysInfoDlg::ApiVersion), QStringLiteral("v2.0.1"));
        EXPECT_EQ(page.valueText(CSysInfoDlg::ManufactureDate), c.date);
        Kv_SYS_TerminateProcess();
        server.reset();
        g_Session.resetTables();
    }
}
