#include "testpages/PageNumberField.h"

#include "controls/widgets/NumEdit.h"
#include "controls/widgets/NumSpinCtrl.h"
#include "platform/NumberText.h"
#include "testpages/TestPageBase.h"

#include <QGridLayout>
#include <QLabel>

namespace {

QString controlName(int id)
{
    return QStringLiteral("ctl%1").arg(id);
}

} // namespace

NumberFieldControls AddNumberField(QGridLayout *layout, QWidget *parent, const NumberFieldShape &shape)
{
    NumberFieldControls field;
    field.label = new QLabel(parent);
    field.edit = new CNumEdit(parent);
    if (shape.editId)
        field.edit->setObjectName(controlName(shape.editId));
    if (shape.editWidth > 0)
        field.edit->setMaximumWidth(shape.editWidth);
    if (shape.rangeOnEdit) {
        if (shape.decimals > 0)
            field.edit->SetFloatRange(float(shape.minimum), float(shape.maximum));
        else
            field.edit->SetIntRange(int(shape.minimum), int(shape.maximum));
        field.edit->setToolTip(field.edit->GetRangeText());
    }
    field.spin = new CNumSpinCtrl(parent);
    if (shape.spinId)
        field.spin->setObjectName(controlName(shape.spinId));
    field.spin->setFixedWidth(field.spin->sizeHint().width()); // a wide spin draws giant arrows
    field.spin->SetBuddy(field.edit);
    field.spin->SetDecimals(shape.decimals);
    field.spin->SetRangeAndStep(shape.minimum, shape.spinMaximum > 0 ? shape.spinMaximum : shape.maximum, 1);
    field.spin->SetValue(shape.initial);
    field.spin->SetBuddyValue(shape.initial);
    layout->addWidget(field.label, shape.row, shape.column);
    layout->addWidget(field.edit, shape.row, shape.column + 1);
    layout->addWidget(field.spin, shape.row, shape.column + 2);
    return field;
}

void PageNumberField::Create(QGridLayout *layout, const NumberFieldShape &shape)
{
    const NumberFieldControls field = AddNumberField(layout, layout->parentWidget(), shape);
    Label = field.label;
    Edit = field.edit;
    Spin = field.spin;
    Minimum = int(shape.minimum);
    Maximum = int(shape.maximum);
}

int PageNumberField::Value() const
{
    return toIntPrefix(Edit->text());
}

bool PageNumberField::IsInRange() const
{
    return NumEditConfig::holdsWholeNumber(Edit->text(), Minimum, Maximum);
}

QString PageNumberField::RangeRefusal() const
{
    return CTestPageBase::RangeRefusal(Label, Edit->text(), formatInt(Minimum), formatInt(Maximum));
}
