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
