#include "reports/MyPropSheet.h"

#include <QSignalBlocker>
#include <QTabBar>

CMyPropSheet::CMyPropSheet(QWidget *parent) : QTabWidget(parent) {}

void CMyPropSheet::SetActivePage(int index)
{
    if (index >= 0 && index < count())
        setCurrentIndex(index);
}

void CMyPropSheet::LockPage(int index)
{
    if (index < 0 || index >= count())
        return;
    LockedPages.insert(index);
    const int shown = currentIndex();
    {
        // The tab bar moves away from a tab it disables; put it back without the pages noticing.
        const QSignalBlocker blocker(tabBar());
        tabBar()->setTabEnabled(index, false);
        tabBar()->setCurrentIndex(shown);
    }
    if (shown != index)
        return;
    // A locked page holds what an earlier run left: the sheet turns to the first page still open.
    for (int page = 0; page < count(); ++page) {
        if (!LockedPages.contains(page)) {
            setCurrentIndex(page);
            return;
        }
    }
}

void CMyPropSheet::UnlockPage(int index)
{
    LockedPages.remove(index);
    if (index >= 0 && index < count())
        tabBar()->setTabEnabled(index, true);
}
