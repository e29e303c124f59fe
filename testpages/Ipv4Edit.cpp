#include "testpages/Ipv4Edit.h"

#include "testpages/PortSettings.h"

#include <QRegularExpressionValidator>

Ipv4Edit::Ipv4Edit(QWidget *parent) : QLineEdit(parent)
{
    // Up to four numbers of 0 to 255 with a dot between them; a number may still be empty while typing.
    const QString octet = QStringLiteral("(25[0-5]|2[0-4]\\d|1\\d\\d|\\d?\\d)?");
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("(%1\\.){0,3}%1").arg(octet)), this));
    setAlignment(Qt::AlignCenter);
    setAddress(0);
}

std::uint32_t Ipv4Edit::address() const
{
    std::uint8_t bytes[4];
    ParseDottedText(text(), bytes);
    return AddressOfBytes(bytes);
}

void Ipv4Edit::setAddress(std::uint32_t address)
{
    std::uint8_t bytes[4];
    BytesOfAddress(address, bytes);
    setText(DottedText(bytes));
}

QString Ipv4Edit::addressText() const
{
    std::uint8_t bytes[4];
    ParseDottedText(text(), bytes);
    return DottedText(bytes);
}

void Ipv4Edit::focusOutEvent(QFocusEvent *event)
{
    const QString shown = addressText();
    if (shown != text())
        setText(shown);
    QLineEdit::focusOutEvent(event);
}
