// The minimum firmware, FPGA and PROM versions each test-module model needs: the event callback warns
// about an older module and the system-requirements box lists the table.
#pragma once

#include <QString>
#include <QStringView>
#include <array>

// The minimum versions a test-module model needs, as "v<major>.<minor>b<build>".
struct UtModuleVersion
{
    QString Model;
    QString Fpga;
    QString Firmware;
    QString Prom;
};
extern const std::array<UtModuleVersion, 10> g_ModuleVersionTable;

// The row of a model, null when the model has no minimum versions.
const UtModuleVersion *FindModuleVersion(QStringView model);
