// The report window's property sheet: the result pages and the counter page as tabs. A locked tab
// cannot be chosen by the user, neither by mouse nor by keyboard (its tab is shown disabled), so the
// result page of a test that has not run in the current run cannot be opened; the program itself may
// still show it.
#pragma once

#include <QSet>
#include <QTabWidget>

class CMyPropSheet : public QTabWidget
{
public:
    explicit CMyPropSheet(QWidget *parent = nullptr);

    // Turns to a page by its index, locked or not; an index out of range changes nothing.
    void SetActivePage(int index);
    int GetActiveIndex() const { return currentIndex(); }

    // Locks a page of the sheet: the user can no longer choose it, and when it is the page on show the
    // sheet turns to the first page not locked.
    void LockPage(int index);
    void UnlockPage(int index);
    bool IsPageLocked(int index) const { return LockedPages.contains(index); }

private:
    QSet<int> LockedPages;
};
