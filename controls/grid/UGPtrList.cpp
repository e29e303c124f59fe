#include "controls/grid/UGPtrList.h"

int CUGPtrList::AddPointer(void *pointer)
{
    if (m_used >= int(m_entries.size()))
        m_entries.resize(m_entries.size() + kGrowBy);
    for (int i = 0; i < int(m_entries.size()); ++i) {
        Entry &entry = m_entries[std::size_t(i)];
        if (!entry.inUse) {
            entry = Entry{true, pointer, 0};
            ++m_used;
            return i;
        }
    }
    return -1;
}

void *CUGPtrList::GetPointer(int index) const
{
    return IsInUse(index) ? m_entries[std::size_t(index)].pointer : nullptr;
}

void CUGPtrList::AddUse(int index)
{
    if (IsInUse(index))
        ++m_entries[std::size_t(index)].useCount;
}

int CUGPtrList::GetUseCount(int index) const
{
    return IsInUse(index) ? m_entries[std::size_t(index)].useCount : 0;
}

bool CUGPtrList::IsInUse(int index) const
{
    return index >= 0 && index < int(m_entries.size()) && m_entries[std::size_t(index)].inUse;
}
