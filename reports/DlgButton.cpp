#include "reports/DlgButton.h"

#include <QHBoxLayout>
#include <QPushButton>

CDlgButton::CDlgButton(int kind, QWidget *parent)
    : QWidget(parent), Kind(kind),
      Button(new QPushButton(kind == 0 ? QStringLiteral("Excel") : QStringLiteral("PDF"), this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Button);
    adjustSize();
    hide();
}
