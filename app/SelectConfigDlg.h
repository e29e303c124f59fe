// The start-up choice: open an existing configuration (1) or create a new one (2). OK ends the dialog
// with the choice, Escape or the close box with -1; Enter does nothing.
#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;
class QRadioButton;

class CSelectConfigDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CSelectConfigDlg(QWidget *parent = nullptr);

    void RelabelControls();

    std::int32_t Choice = 1;
    QRadioButton *openRadio() const { return m_open; }
    QRadioButton *createRadio() const { return m_create; }
    QPushButton *okButton() const { return m_ok; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;

private:
    QLabel *m_note;
    QRadioButton *m_open;
    QRadioButton *m_create;
    QPushButton *m_ok;
};
