#include "testpages/SortedStringList.h"

#include <algorithm>

int SortedStringList::AddString(const QString &text)
{
    const auto at =
        std::upper_bound(m_items.begin(), m_items.end(), text, [](const QString &a, const QString &b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
    const auto index = at - m_items.begin();
    m_items.insert(index, text);
    return int(index);
}

int SortedStringList::FindExact(const QString &text) const
{
    return int(m_items.indexOf(text));
}

bool SortedStringList::RemoveString(const QString &text)
{
    const int index = FindExact(text);
    if (index < 0)
        return false;
    m_items.removeAt(index);
    return true;
}
