// An IPv4 address field: four dot-separated bytes, each clamped to 0..255 when read or left.
#pragma once

#include <QLineEdit>
#include <cstdint>

class IpAddressEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit IpAddressEdit(QWidget *parent = nullptr);

    // Bytes in a.b.c.d order.
    void SetAddress(const std::uint8_t address[4]);
    void GetAddress(std::uint8_t address[4]) const;

protected:
    void focusOutEvent(QFocusEvent *event) override;
};
