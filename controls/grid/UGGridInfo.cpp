#include "controls/grid/UGGridInfo.h"

#include "controls/grid/UGMem.h"
#include "controls/grid/UGMultiSelect.h"

CUGGridInfo::CUGGridInfo()
    : m_gridDefaultCell(std::make_unique<CUGCell>()), m_hdgDefaultCell(std::make_unique<CUGCell>()),
      m_defDataSource(std::make_unique<CUGMem>()), m_multiSelect(std::make_unique<CUGMultiSelect>())
{
    m_dataSource = m_defDataSource.get();
    m_hdgDefaultCell->m_backColor = sysColor(SysColor::BtnFace);
    m_hdgDefaultCell->m_borderStyle = 0x2000;
    m_hdgDefaultCell->m_alignment = 36;
    m_hdgDefaultCell->m_themeStyle = 128;
    m_hdgDefaultCell->m_properties |= CellProp::BackColor | CellProp::BorderStyle | CellProp::Alignment;
}

CUGGridInfo::~CUGGridInfo() = default;
