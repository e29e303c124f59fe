#include "app/GlobalTables.h"

const UtModuleVersionRow g_ModuleVersionTable[10] = {
    {u"QM-M05", u"v3.1b034", u"v1.7b003", u"v1.6b001"}, {u"QM-M06", u"v3.1b034", u"v1.7b003", u"v1.6b001"},
    {u"QM-M07", u"v3.1b024", u"v1.7b003", u"v1.6b001"}, {u"QM-M08", u"v3.0b003", u"v1.7b003", u"v1.6b001"},
    {u"QM-M09", u"v4.0b006", u"v1.7b003", u"v1.6b001"}, {u"QM-M11", u"v4.0b006", u"v1.7b003", u"v1.6b001"},
    {u"QM-M13", u"v4.0b006", u"v1.7b003", u"v1.6b001"}, {u"QM-M18", u"v1.4b014", u"v0.9b030", u"v1.6b001"},
    {u"QM-M19", u"v1.4b014", u"v0.9b030", u"v1.6b001"}, {u"QM-M24", u"v1.4b008", u"v1.7b003", u"v1.6b001"},
};
