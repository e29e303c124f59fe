// The arrow cell type. Its drawing and input come with the cell area.
#pragma once

#include "controls/grid/UGCellType.h"

class CUGArrowType : public CUGCellType
{
};
