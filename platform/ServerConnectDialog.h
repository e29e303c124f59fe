// The hardware-check library's connection dialog, our own: it asks for the chassis server's address
// and offers to go on without hardware (demo). Its answer goes into the library's 256-byte answer
// buffer: an i32 entry count, then 5-byte entries (address bytes a, b, c, d and a flag, 1 = chosen).
#pragma once

#include <QDialog>
#include <cstdint>

class QComboBox;
class QLabel;
class QPushButton;

#pragma pack(push, 1)
struct KvConnectAnswerEntry
{
    std::uint8_t Address[4]; // a.b.c.d, a first
    std::uint8_t Chosen;     // 1 = this is the server to use
};
static_assert(sizeof(KvConnectAnswerEntry) == 5);

struct KvConnectAnswer
{
    std::int32_t Count;
    KvConnectAnswerEntry Entries[50];
    std::uint8_t Reserved[2];
};
static_assert(sizeof(KvConnectAnswer) == 256);
#pragma pack(pop)

class ServerConnectDialog : public QDialog
{
    Q_OBJECT

public:
    enum Result
    {
        Cancelled = -1,
        Demo = 0,
        Connect = 1
    };

    // Labels in Chinese when chinese is set; the address list offers "127.0.0.1" and the others given.
    explicit ServerConnectDialog(bool chinese, const QStringList &otherAddresses = {},
                                 QWidget *parent = nullptr);

    // Fills the answer with the typed address as the one chosen entry (Connect only).
    void fillAnswer(KvConnectAnswer &answer) const;

    QComboBox *addressBox() const { return m_address; }
    QPushButton *connectButton() const { return m_connect; }
    QPushButton *demoButton() const { return m_demo; }
    QPushButton *cancelButton() const { return m_cancel; }
    QLabel *errorLabel() const { return m_error; }

protected:
    void reject() override;

private:
    void tryConnect();

    bool m_chinese;
    QComboBox *m_address;
    QLabel *m_error;
    QPushButton *m_connect;
    QPushButton *m_demo;
    QPushButton *m_cancel;
    std::uint8_t m_chosen[4] = {};
};

// Shows the dialog modally and fills the 256-byte answer buffer. Result 1 connect, 0 demo, -1 cancel.
int KvAPI_ShowConnectDlg(std::uint8_t *answer, int mode, int chinese);
