// The number-field builder: what each field of its record gives the label, the edit and the spin.
#include "testpages/PageNumberField.h"
#include "controls/widgets/NumEdit.h"
#include "controls/widgets/NumSpinCtrl.h"

#include <QGridLayout>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

TEST(NumberFieldBuilder, ShapeDecidesRangeTextNamesAndPlace)
{
    const struct
    {
        const char *name;
        NumberFieldShape shape;
        const char *text;    // the edit's first text
        const char *toolTip; // empty: the edit keeps no range
        double spinTop;      // where the spin stops stepping up
        const char *editName;
    } cases[] = {
        {"whole",
         {.row = 1, .column = 3, .minimum = 1, .maximum = 5, .initial = 3, .editId = 1473, .spinId = 1474},
         "3",
         "Range is 1~5",
         5,
         "ctl1473"},
        {"rate",
         {.minimum = 0.01, .maximum = 100, .initial = 0.01, .decimals = 2},
         "0.01",
         "Range is 0.01~100.00",
         100,
         ""},
        {"spin past the edit",
         {.minimum = 1, .maximum = 10, .initial = 2, .spinMaximum = 100},
         "2",
         "Range is 1~10",
         100,
         ""},
        {"range checked by the page",
         {.minimum = 5, .maximum = 50, .initial = 10, .rangeOnEdit = false},
         "10",
         "",
         50,
         ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QWidget parent;
        auto *layout = new QGridLayout(&parent);
        const NumberFieldControls field = AddNumberField(layout, &parent, c.shape);
        EXPECT_EQ(field.edit->text(), c.text);
        EXPECT_EQ(field.edit->toolTip(), c.toolTip);
        EXPECT_EQ(field.edit->config().rangeSet, c.shape.rangeOnEdit);
        EXPECT_EQ(field.edit->objectName(), c.editName);
        EXPECT_EQ(field.spin->GetBuddy(), field.edit);
        // Stepping up from just below the top ends on the top, and no further.
        field.edit->setText(QString::number(c.spinTop - 1));
        field.spin->DeltaPos(1);
        field.spin->DeltaPos(1);
        EXPECT_DOUBLE_EQ(field.spin->GetValue(), c.spinTop);
        // Label, edit and spin side by side from the shape's column.
        const QWidget *row[] = {field.label, field.edit, field.spin};
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(layout->itemAtPosition(c.shape.row, c.shape.column + i)->widget(), row[i]) << i;
    }
}
