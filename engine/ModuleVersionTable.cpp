#include "engine/ModuleVersionTable.h"

#include <algorithm>

const std::array<UtModuleVersion, 10> g_ModuleVersionTable{{
    {QStringLiteral("QM-M05"), QStringLiteral("v3.1b034"), QStringLiteral("v1.7b003"),
     QStringLiteral("v1.6b001")},
    {QStringLiteral("QM-M06"), QStringLiteral("v3.1b034"), QStringLiteral("v1.7b003"),
     QStringLiteral("v1.6b001")},
    {QStringLiteral("QM-M07"), QStringLiteral("v3.1b024"), QStringLiteral("v1.7b003"),
     QStringLiteral("v1.6b001")},
    {QStringLiteral("QM-M08"), QStringLiteral("v3.0b003"), QStringLiteral("v1.7b003"),
     QStringLiteral("v1.6b001")},
    {QStringLiteral("QM-M09"), QStringLiteral("v4.0b006"), QStringLiteral("v1.7b003"),
     QStringLiteral("v1.6b001")},
    {QStringLiteral("QM-M11"), QStringLiteral("v4.0b006"), QStringLiteral("v1.7b003"),
     QStringLiteral("v1.6b001")},
    {QStringLiteral("QM-M13"), QStringLiteral("v4.0b006"), QStringLiteral("v1.7b003"),
     QStringLiteral("v1.6b001")},
    {QStringLiteral("QM-M18"), QStringLiteral("v1.4b014"), QStringLiteral("v0.9b030"),
     QStringLiteral("v1.6b001")},
    {QStringLiteral("QM-M19"), QStringLiteral("v1.4b014"), QStringLiteral("v0.9b030"),
     QStringLiteral("v1.6b001")},
    {QStringLiteral("QM-M24"), QStringLiteral("v1.4b008"), QStringLiteral("v1.7b003"),
     QStringLiteral("v1.6b001")},
}};

const UtModuleVersion *FindModuleVersion(QStringView model)
{
    const auto row = std::find_if(g_ModuleVersionTable.begin(), g_ModuleVersionTable.end(),
                                  [&](const UtModuleVersion &r) { return r.Model == model; });
    return row == g_ModuleVersionTable.end() ? nullptr : &*row;
}
