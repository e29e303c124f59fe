// What the Standard, Dynamic and Max Throughput parameter pages share: an IGMP field (version, group
// address, join/leave repetitions), a traffic field (test time, packet length, payload), a load field
// (one rate, or a range with a load mode) and an acceptance field (tolerated losses in thousandths).
// Each page keeps its values in its controls, checks every edit as it changes and can reset them.
#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

class CNumEdit;
class CNumSpinCtrl;
class Ipv4Edit;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

class CParameterDlg : public QWidget
{
    Q_OBJECT

public:
    enum class Kind
    {
        Standard,
        Dynamic,
        MaxThroughput
    };

    // Relabels the page's controls from the current language.
    void SetLanguageText();
    // Every control back to its start value.
    void InitControls();
    void OnReset();

    Kind GetKind() const { return m_kind; }

    // 1 for "Random", 0 for "Max_Min" (Dynamic and Max Throughput).
    std::uint8_t LoadMode = 1;
    // The last minimum and maximum rates that kept minimum below maximum.
    std::uint32_t LastMinRate = 0;
    std::uint32_t LastMaxRate = 0;

    QGroupBox *IgmpBox = nullptr;
    QLabel *VersionLabel = nullptr;
    QComboBox *VersionCombo = nullptr;
    QLabel *GroupLabel = nullptr;
    Ipv4Edit *GroupAddress = nullptr;
    QLabel *JoinLeaveLabel = nullptr;
    CNumEdit *JoinLeaveEdit = nullptr;
    QGroupBox *TrafficBox = nullptr;
    QLabel *TestTimeLabel = nullptr;
    CNumEdit *TestTimeEdit = nullptr;
    QLabel *PacketLengthLabel = nullptr;
    CNumEdit *PacketLengthEdit = nullptr;
    QLabel *PayloadLabel = nullptr;
    QComboBox *PayloadCombo = nullptr;
    QGroupBox *LoadBox = nullptr;
    QLabel *LoadRateLabel = nullptr; // Standard
    CNumEdit *LoadRateEdit = nullptr;
    QLabel *InitialRateLabel = nullptr; // Max Throughput
    CNumEdit *InitialRateEdit = nullptr;
    QLabel *MinRateLabel = nullptr; // Dynamic and Max Throughput
    CNumEdit *MinRateEdit = nullptr;
    QLabel *MaxRateLabel = nullptr;
    CNumEdit *MaxRateEdit = nullptr;
    QRadioButton *RandomButton = nullptr;
    QRadioButton *MaxMinButton = nullptr;
    QGroupBox *AcceptBox = nullptr;
    QLabel *HostLossLabel = nullptr;
    CNumEdit *HostLossEdit = nullptr;
    QLabel *NonIgmpLossLabel = nullptr;
    CNumEdit *NonIgmpLossEdit = nullptr;
    QPushButton *ResetButton = nullptr;
    // The spin beside each edit, in the order of the edits above.
    std::vector<CNumSpinCtrl *> Spins;

protected:
    CParameterDlg(Kind kind, QWidget *parent);
    void keyPressEvent(QKeyEvent *event) override;

private:
    // The rule run on each change of a numeric edit, with the field's range.
    using NumberCheck = void (CParameterDlg::*)(CNumEdit *edit, int minimum, int maximum);
    // One numeric edit: its spin, start value, range and the rule run on each change.
    struct NumberField
    {
        CNumEdit *edit;
        CNumSpinCtrl *spin;
        int start;
        int minimum;
        int maximum;
        NumberCheck check;
    };

    void OnInitDialog();
    void onTextChanged(CNumEdit *edit);
    // A value below the range or above it becomes the bound; an empty loss text becomes 1 where asked.
    void clampToRange(CNumEdit *edit, int minimum, int maximum);
    void lossToRange(CNumEdit *edit, int minimum, int maximum);
    void noCheck(CNumEdit *, int, int) {}
    void minRateChanged(CNumEdit *, int, int);
    void maxRateChanged(CNumEdit *, int, int);
    void writeNumber(CNumEdit *edit, std::uint32_t value);

    Kind m_kind;
    bool m_checking = false;
    // The numeric edits in the order of Spins.
    std::vector<NumberField> m_numberFields;
};
