// A list of strings kept in ascending case-insensitive order: each string is placed at its sorted
// position when it is added, and an index is a position in that order.
#pragma once

#include <QString>
#include <QStringList>

class SortedStringList
{
public:
    // Adds the text after every string that sorts before it or equal to it; answers its index.
    int AddString(const QString &text);
    // The index of the first string equal to the text (case-sensitive), -1 when none is.
    int FindExact(const QString &text) const;
    bool Contains(const QString &text) const { return FindExact(text) >= 0; }
    // Removes the first string equal to the text; false when none is.
    bool RemoveString(const QString &text);
    void Clear() { m_items.clear(); }
    int Count() const { return int(m_items.size()); }
    const QString &At(int index) const { return m_items.at(index); }
    const QStringList &Items() const { return m_items; }

private:
    QStringList m_items;
};
