// The report window's property sheet: the result pages and the counter page as tabs.
#pragma once

#include <QTabWidget>

class CMyPropSheet : public QTabWidget
{
public:
    explicit CMyPropSheet(QWidget *parent = nullptr);

    // Turns to a page by its index; an index out of range changes nothing.
    void SetActivePage(int index);
    int GetActiveIndex() const { return currentIndex(); }
};
