// A whole-number field of the Group Capacity and Join/Leave pages: its label, the number edit that
// keeps typing within the field's range and shows the range as its tool tip, and the spin control
// that steps it by one.
#pragma once

#include <QString>

class CNumEdit;
class CNumSpinCtrl;
class QGridLayout;
class QLabel;

struct PageNumberField
{
    QLabel *Label = nullptr;
    CNumEdit *Edit = nullptr;
    CNumSpinCtrl *Spin = nullptr;
    int Minimum = 0;
    int Maximum = 0;

    // Places the three controls in a row of the layout (label, edit, spin); the edit starts with the
    // initial value.
    void Create(QGridLayout *layout, int row, int editId, int spinId, int minimum, int maximum, int initial);
    // The edit's integer (a text that is no number reads 0).
    int Value() const;
    // The edit holds a whole number within the field's range, as a loaded file may not.
    bool IsInRange() const;
    // The refusal of a value out of range: the label, the text and the range.
    QString RangeRefusal() const;
};
