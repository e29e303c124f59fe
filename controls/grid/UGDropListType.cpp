#include "controls/grid/UGDropListType.h"

CUGDropListType::CUGDropListType()
{
    // Its cells never let their text run on into the neighbours.
    m_mayOverflow = 0;
}
