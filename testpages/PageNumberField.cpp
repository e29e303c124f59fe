#include "testpages/PageNumberField.h"

#include "controls/widgets/NumEdit.h"
#include "controls/widgets/NumSpinCtrl.h"
#include "platform/NumberText.h"
#include "testpages/TestPageBase.h"

#include <QGridLayout>
#include <QLabel>

void PageNumberField::Create(QGridLayout *layout, int row, int editId, int spinId, int minimum, int maximum,
                             int initial)
{
    QWidget *parent = layout->parentWidget();
    Minimum = minimum;
    Maximum = maximum;
    Label = new QLabel(parent);
    Edit = new CNumEdit(parent);
    Edit->setObjectName(QStringLiteral("ctl%1").arg(editId));
    Edit->SetIntRange(minimum, maximum);
    Edit->setToolTip(Edit->GetRangeText());
    Spin = new CNumSpinCtrl(parent);
    Spin->setObjectName(QStringLiteral("ctl%1").arg(spinId));
    Spin->SetBuddy(Edit);
    Spin->SetDecimals(0);
    Spin->SetRangeAndStep(minimum, maximum, 1);
    Spin->SetValue(initial);
    Edit->setText(formatInt(initial));
    layout->addWidget(Label, row, 0);
    layout->addWidget(Edit, row, 1);
    layout->addWidget(Spin, row, 2);
}

int PageNumberField::Value() const
{
    return toIntPrefix(Edit->text());
}

bool PageNumberField::IsInRange() const
{
    qint64 value = 0;
    const QString text = Edit->text().trimmed();
    bool whole = !text.isEmpty();
    for (qsizetype i = 0; i < text.size() && whole; ++i)
        whole = text[i].isDigit() || (i == 0 && text[i] == u'-');
    return whole && parseDecimalPrefix(text, value, LLONG_MIN, LLONG_MAX) && value >= Minimum &&
           value <= Maximum;
}

QString PageNumberField::RangeRefusal() const
{
    return CTestPageBase::RangeRefusal(Label, Edit->text(), formatInt(Minimum), formatInt(Maximum));
}
