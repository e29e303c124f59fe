// A list of pointers with reusable slots: a pointer goes into the first free slot, the list
// grows by ten slots at a time, and each slot counts how often its pointer was asked for again.
// The list never owns what its slots point to.
#pragma once

#include <vector>

class CUGPtrList
{
public:
    static constexpr int kGrowBy = 10;

    // The slot index of the added pointer, or -1 when it could not be placed.
    int AddPointer(void *pointer);
    // The pointer of slot index, or null when the index is outside the list or the slot is free.
    void *GetPointer(int index) const;
    // Raises the use count of a used slot.
    void AddUse(int index);
    int GetUseCount(int index) const;
    bool IsInUse(int index) const;

    int GetMaxCount() const { return int(m_entries.size()); }
    int GetCount() const { return m_used; }

private:
    struct Entry
    {
        bool inUse = false;
        void *pointer = nullptr;
        int useCount = 0;
    };
    std::vector<Entry> m_entries;
    int m_used = 0;
};
