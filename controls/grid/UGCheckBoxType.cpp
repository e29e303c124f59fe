#include "controls/grid/UGCheckBoxType.h"

CUGCheckBoxType::CUGCheckBoxType()
{
    // Its cells never let their text run on into the neighbours.
    m_mayOverflow = 0;
}
