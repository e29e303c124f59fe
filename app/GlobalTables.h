// Constant text tables of the program.
#pragma once

// Minimum versions a test-module model needs, each "v" major "." minor "b" build (three digits).
struct UtModuleVersionRow
{
    const char16_t *Model;
    const char16_t *Fpga;
    const char16_t *Firmware;
    const char16_t *Prom;
};

extern const UtModuleVersionRow g_ModuleVersionTable[10];
