#include "platform/ServerConnectDialog.h"

#include "platform/HostAddresses.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <cstring>

namespace {

// Four decimal numbers 0..255 separated by dots, nothing else.
bool parseDotted(const QString &text, std::uint8_t (&bytes)[4])
{
    static const QRegularExpression dotted(
        QStringLiteral(R"(^\s*(\d{1,3})\.(\d{1,3})\.(\d{1,3})\.(\d{1,3})\s*$)"));
    const QRegularExpressionMatch match = dotted.match(text);
    if (!match.hasMatch())
        return false;
    std::uint8_t parsed[4];
    for (int i = 0; i < 4; ++i) {
        const int value = match.captured(i + 1).toInt();
        if (value > 255)
            return false;
        parsed[i] = std::uint8_t(value);
    }
    std::memcpy(bytes, parsed, sizeof parsed);
    return true;
}

} // namespace

ServerConnectDialog::ServerConnectDialog(bool chinese, const QStringList &otherAddresses, QWidget *parent)
    : QDialog(parent), m_chinese(chinese), m_address(new QComboBox(this)), m_error(new QLabel(this)),
      m_connect(new QPushButton(chinese ? QStringLiteral("连接") : QStringLiteral("Connect"), this)),
      m_demo(new QPushButton(chinese ? QStringLiteral("演示模式") : QStringLiteral("Demo"), this)),
      m_cancel(new QPushButton(chinese ? QStringLiteral("取消") : QStringLiteral("Cancel"), this))
{
    setWindowTitle(chinese ? QStringLiteral("连接服务器") : QStringLiteral("Connect to Server"));
    setModal(true);
    m_address->setEditable(true);
    // Enter must not add a typed text to the list: only an address that passes the check is added.
    m_address->setInsertPolicy(QComboBox::NoInsert);
    m_address->addItem(QStringLiteral("127.0.0.1"));
    for (const QString &address : otherAddresses)
        if (m_address->findText(address) < 0)
            m_address->addItem(address);
    m_address->setCurrentIndex(0);
    m_error->setStyleSheet(QStringLiteral("color: #c03030"));
    m_error->hide();
    m_connect->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(
        new QLabel(chinese ? QStringLiteral("服务器地址：") : QStringLiteral("Server address:"), this), 0, 0);
    grid->addWidget(m_address, 0, 1);
    grid->addWidget(m_error, 1, 0, 1, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_connect);
    buttons->addWidget(m_demo);
    buttons->addWidget(m_cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);

    connect(m_connect, &QPushButton::clicked, this, &ServerConnectDialog::tryConnect);
    connect(m_demo, &QPushButton::clicked, this, [this] { done(Demo); });
    connect(m_cancel, &QPushButton::clicked, this, &ServerConnectDialog::reject);
}

void ServerConnectDialog::tryConnect()
{
    if (!parseDotted(m_address->currentText(), m_chosen)) {
        m_error->setText(m_chinese ? QStringLiteral("请输入 IPv4 地址，例如 127.0.0.1。")
                                   : QStringLiteral("Please enter an IPv4 address such as 127.0.0.1."));
        m_error->show();
        return;
    }
    const QString typed = m_address->currentText().trimmed();
    if (m_address->findText(typed) < 0)
        m_address->addItem(typed);
    done(Connect);
}

void ServerConnectDialog::reject()
{
    done(Cancelled);
}

void ServerConnectDialog::fillAnswer(KvConnectAnswer &answer) const
{
    std::memset(&answer, 0, sizeof answer);
    answer.Count = 1;
    std::memcpy(answer.Entries[0].Address, m_chosen, sizeof m_chosen);
    answer.Entries[0].Chosen = 1;
}

int KvAPI_ShowConnectDlg(std::uint8_t *answer, int, int chinese)
{
    QStringList others = hostIPv4Addresses();
    others.removeAll(QStringLiteral("127.0.0.1"));
    ServerConnectDialog dialog(chinese != 0, others);
    const int result = dialog.exec();
    if (result == ServerConnectDialog::Connect && answer) {
        KvConnectAnswer filled;
        dialog.fillAnswer(filled);
        std::memcpy(answer, &filled, sizeof filled);
    }
    return result;
}
