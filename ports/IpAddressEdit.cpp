#include "ports/IpAddressEdit.h"

#include "platform/NumberText.h"

#include <QRegularExpressionValidator>
#include <QStringList>
#include <algorithm>

IpAddressEdit::IpAddressEdit(QWidget *parent) : QLineEdit(parent)
{
    // Four groups of up to three digits; each is clamped to a byte when read.
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral(R"(\d{0,3}(\.\d{0,3}){0,3})")), this));
    setAlignment(Qt::AlignCenter);
}

void IpAddressEdit::SetAddress(const std::uint8_t address[4])
{
    setText(QStringLiteral("%1.%2.%3.%4").arg(address[0]).arg(address[1]).arg(address[2]).arg(address[3]));
}

void IpAddressEdit::GetAddress(std::uint8_t address[4]) const
{
    const QStringList parts = text().split(u'.');
    for (int i = 0; i < 4; ++i) {
        const int value = i < parts.size() ? toIntPrefix(parts[i].trimmed()) : 0;
        address[i] = std::uint8_t(std::clamp(value, 0, 255));
    }
}

void IpAddressEdit::focusOutEvent(QFocusEvent *event)
{
    std::uint8_t address[4];
    GetAddress(address);
    SetAddress(address);
    QLineEdit::focusOutEvent(event);
}
