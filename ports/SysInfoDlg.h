// The system-information page: the identity of the connected chassis (model, serial number, MAC
// address, PCB, hardware and firmware versions, the hardware library's version and the manufacture
// date). A child page of the main view, shown in its right area. The report writers read its label and
// value texts.
#pragma once

#include <QString>
#include <QWidget>
#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class UtSession;

class CSysInfoDlg : public QWidget
{
    Q_OBJECT

public:
    static constexpr int FieldCount = 9;
    // The fields in label order.
    enum Field
    {
        Model,
        Agent,
        SerialNumber,
        Mac,
        PcbVersion,
        HardwareVersion,
        FirmwareVersion,
        ApiVersion,
        ManufactureDate
    };

    explicit CSysInfoDlg(QWidget *parent = nullptr);

    // Relabels the group box and the nine labels from the current language.
    void SetLanguageText();
    // Fills the values from the session (or the fixed values of demo mode).
    void FillValues();
    // The fixed values of demo mode.
    void ShowNotConnectedValues();

    QString labelText(int field) const;
    QString valueText(int field) const;

    // The values shown for a session; apiVersion is the library's version text (at most 10 characters
    // are used).
    static std::array<QString, FieldCount> ValuesOf(const UtSession &session, const QString &apiVersion);
    static std::array<QString, FieldCount> NotConnectedValues(const QString &apiVersion);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showValues(const std::array<QString, FieldCount> &values);

    QGroupBox *m_group = nullptr;
    std::array<QLabel *, FieldCount> m_labels{};
    std::array<QLineEdit *, FieldCount> m_values{};
};
