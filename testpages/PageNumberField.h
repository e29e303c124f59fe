// The one builder of a number field on every test and parameter page: a label, a number edit and the
// spin beside it, in three columns of a grid row, made from a record whose fields are named at the call.
// PageNumberField keeps the three controls of a whole-number field of the Group Capacity and Join/Leave
// pages with its range, for the page's checks.
#pragma once

#include <QString>

class CNumEdit;
class CNumSpinCtrl;
class QGridLayout;
class QLabel;
class QWidget;

// The width of a number edit beside its label on the pages that keep them narrow.
constexpr int kNumberEditWidth = 70;

// How one number field is made.
struct NumberFieldShape
{
    int row = 0;
    int column = 0; // the label's column; the edit and the spin stand in the two after it
    double minimum = 0;
    double maximum = 0;
    double initial = 0;
    int decimals = 0; // 0 a whole number; a rate takes 2
    int editId = 0;   // the controls' object names "ctl<id>"; 0 gives none
    int spinId = 0;
    int editWidth = 0;      // the edit's widest; 0 leaves it to the layout
    double spinMaximum = 0; // the spin's own top where it goes past the edit's; 0 the edit's
    // False where the page checks every change of the edit itself: the edit then keeps no range (no
    // tool tip, no fix on leaving it) and only the spin is held to it.
    bool rangeOnEdit = true;
};

struct NumberFieldControls
{
    QLabel *label = nullptr;
    CNumEdit *edit = nullptr;
    CNumSpinCtrl *spin = nullptr;
};

// Makes the three controls as children of parent, places them in the layout and writes the first
// value into the edit.
NumberFieldControls AddNumberField(QGridLayout *layout, QWidget *parent, const NumberFieldShape &shape);

struct PageNumberField
{
    QLabel *Label = nullptr;
    CNumEdit *Edit = nullptr;
    CNumSpinCtrl *Spin = nullptr;
    int Minimum = 0;
    int Maximum = 0;

    // Makes the field in a row of the layout, inside the layout's widget.
    void Create(QGridLayout *layout, const NumberFieldShape &shape);
    // The edit's integer (a text that is no number reads 0).
    int Value() const;
    // The edit holds a whole number within the field's range, as a loaded file may not.
    bool IsInRange() const;
    // The refusal of a value out of range: the label, the text and the range.
    QString RangeRefusal() const;
};
