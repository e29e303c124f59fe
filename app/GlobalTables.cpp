#include "app/GlobalTables.h"

const std::array<QString, 11> g_CounterColumnTitles{
    QStringLiteral("Port No."),          QStringLiteral("Module Name"), QStringLiteral("Media Type"),
    QStringLiteral("Join/Leave"),        QStringLiteral("Packet Tx"),   QStringLiteral("Byte Tx"),
    QStringLiteral("Packet Rx"),         QStringLiteral("Byte Rx"),     QStringLiteral("Packet loss rate(‰)"),
    QStringLiteral("Packet loss count"), QStringLiteral("Result"),
};

const std::array<QString, 11> g_PortCounterTitles{
    QStringLiteral("Port No."),   QStringLiteral("Module Name"), QStringLiteral("Media Type"),
    QStringLiteral("Join/Leave"), QStringLiteral("Packet Tx"),   QStringLiteral("Byte Tx"),
    QStringLiteral("Packet Rx"),  QStringLiteral("Byte Rx"),     QStringLiteral("Loss rate"),
    QStringLiteral("Loss count"), QStringLiteral("Result"),
};

const std::array<QString, 10> g_PortSettingTitles{
    QStringLiteral("Port No."),
    QStringLiteral("Card Type"),
    QStringLiteral("Alias"),
    QStringLiteral("Media Speed"),
    QStringLiteral("Duplex"),
    QStringLiteral("Flow Control"),
    QStringLiteral("Auto Negotiation"),
    QStringLiteral("Copper/Fiber Mode"),
    QStringLiteral("Master/Slave Mode"),
    QStringLiteral("SFP Management Interface Mode"),
};

const std::array<QString, 9> g_ModuleInfoTitles{
    QStringLiteral("Slot No."),     QStringLiteral("Module Name"),   QStringLiteral("Firmware Version"),
    QStringLiteral("FPGA Version"), QStringLiteral("PROM Version"),  QStringLiteral("Hardware Version"),
    QStringLiteral("Lock Status"),  QStringLiteral("Serial Number"), QStringLiteral("MAC"),
};

const std::array<QString, 3> g_IgmpVersionNames{
    QStringLiteral("Version 1"),
    QStringLiteral("Version 2"),
    QStringLiteral("Version 3"),
};

const std::array<QString, 8> g_PayloadPatternNames{
    QStringLiteral("0x00"),   QStringLiteral("0x55"),   QStringLiteral("0xAA"),
    QStringLiteral("0x55AA"), QStringLiteral("0x5A5A"), QStringLiteral("User define"),
    QStringLiteral("Random"), QStringLiteral("0xFFFF"),
};
