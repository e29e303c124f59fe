// The program's fixed English text tables, built once at start-up and never changed.
#pragma once

#include <QString>
#include <array>

// Counter page and its spreadsheet export.
extern const std::array<QString, 11> g_CounterColumnTitles;
// Port counter grid of the port pages.
extern const std::array<QString, 11> g_PortCounterTitles;
// The IGMP version choice: index 0 is version 1.
extern const std::array<QString, 3> g_IgmpVersionNames;
// Payload pattern choice, indexed by the stored pattern code.
extern const std::array<QString, 8> g_PayloadPatternNames;
