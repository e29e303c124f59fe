// The element index of an XmlDocument in document order, as plain values: two documents with the same
// text must give the same outline however their indexes were built (parsed, or edited in place).
#pragma once

#include "platform/XmlDocument.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

struct XmlOutlineEntry
{
    uint32_t start, length, startTagLength, endTagLength;
    int depth;
    bool operator==(const XmlOutlineEntry &) const = default;
};

inline std::vector<XmlOutlineEntry> xmlOutline(const XmlDocument &doc)
{
    const auto table = doc.GetElemTable();
    std::vector<XmlOutlineEntry> outline;
    // Pre-order walk over first child / next sibling, without recursion.
    std::vector<std::pair<int, int>> pending; // position, depth
    for (int pos = table[0].firstChild; pos != 0; pos = table[pos].nextSibling)
        pending.emplace_back(pos, 1);
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        const auto [pos, depth] = pending.back();
        pending.pop_back();
        const UtXmlElemPos &rec = table[pos];
        outline.push_back({rec.start, rec.length, rec.startTagLength, rec.endTagLength, depth});
        const std::size_t mark = pending.size();
        for (int child = rec.firstChild; child != 0; child = table[child].nextSibling)
            pending.emplace_back(child, depth + 1);
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(mark), pending.end());
    }
    return outline;
}

// True when the links of the index agree: each child names its parent, the first child's previous
// position is the last child, and every element lies inside its parent and after its previous sibling.
inline bool xmlIndexIsConsistent(const XmlDocument &doc)
{
    const auto table = doc.GetElemTable();
    const std::size_t textSize = doc.GetDocText().size();
    for (std::size_t pos = 0; pos < table.size(); ++pos) {
        const UtXmlElemPos &rec = table[pos];
        if (rec.start + rec.length >
            (pos == 0 ? textSize : table[rec.parent].start + table[rec.parent].length))
            return false;
        if (pos != 0 &&
            rec.start < table[rec.parent].start + (rec.parent ? table[rec.parent].startTagLength : 0))
            return false;
        int last = 0;
        for (int child = rec.firstChild; child != 0; child = table[child].nextSibling) {
            if (table[child].parent != static_cast<int>(pos))
                return false;
            if (last != 0 && (table[child].prevSibling != last ||
                              table[child].start < table[last].start + table[last].length))
                return false;
            last = child;
        }
        if (rec.firstChild != 0 && table[rec.firstChild].prevSibling != last)
            return false;
    }
    return true;
}
