#include "reports/MyPropSheet.h"

CMyPropSheet::CMyPropSheet(QWidget *parent) : QTabWidget(parent) {}

void CMyPropSheet::SetActivePage(int index)
{
    if (index >= 0 && index < count())
        setCurrentIndex(index);
}
