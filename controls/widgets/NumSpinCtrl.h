// An up-down control whose value is a floating-point number with a range and a step; the value lives
// in the text of its buddy edit.
#pragma once

#include <QTimer>
#include <QWidget>

class CNumEdit;

// The arithmetic of the control, free of any widget.
namespace SpinMath {
int integerRange(double minimum, double maximum, double step);
int position(double value, double minimum, double maximum, int range);
double stepValue(double value, int delta, double step, double minimum, double maximum, bool wrap);
// precision -1 prints "%g"; otherwise "%.{p}f" (or "%.{p}e" where "%g" shows an exponent), trimmed of
// trailing zeros and then of a trailing decimal point when trim is on.
QString format(double value, int precision, bool trim);
} // namespace SpinMath

class CNumSpinCtrl : public QWidget
{
    Q_OBJECT
public:
    explicit CNumSpinCtrl(QWidget *parent = nullptr);

    void SetBuddy(CNumEdit *buddy);
    CNumEdit *GetBuddy() const { return m_buddy; }
    void SetRangeAndStep(double minimum, double maximum, double step);
    void SetValue(double value);
    void SetBuddyValue(double value);
    double GetValue() const;
    // Number of decimals written into the buddy: 2 for rates, 0 for whole numbers, -1 for "%g".
    void SetDecimals(int decimals) { m_precision = decimals; }
    void SetWrap(bool wrap) { m_wrap = wrap; }
    int GetPos() const { return m_position; }
    int GetRange() const { return m_range; }
    // One arrow click: +1 up, -1 down.
    void DeltaPos(int delta);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    double m_minimum = 0.0;
    double m_maximum = 100.0;
    double m_step = 1.0;
    int m_range = 100;
    int m_precision = -1;
    bool m_trim = true;
    bool m_wrap = false;
    int m_position = 0;
    int m_heldDelta = 0;
    QTimer m_repeat;
    CNumEdit *m_buddy = nullptr; // cleared when the buddy goes
};
