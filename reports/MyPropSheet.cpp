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
    // The tab bar moves away from a tab it disables; put it back without the pages noticing.
    const int current = currentIndex();
    const QSignalBlocker blocker(tabBar());
    tabBar()->setTabEnabled(index, false);
    tabBar()->setCurrentIndex(current);
}

void CMyPropSheet::UnlockPage(int index)
{
    LockedPages.remove(index);
    if (index >= 0 && index < count())
        tabBar()->setTabEnabled(index, true);
}
