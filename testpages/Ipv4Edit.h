// An IPv4 address field: four dot-separated numbers of 0 to 255. The address is read with the pages'
// dotted-text rule and shown as "a.b.c.d" once the field is left.
#pragma once

#include <QLineEdit>
#include <cstdint>

class Ipv4Edit : public QLineEdit
{
    Q_OBJECT

public:
    explicit Ipv4Edit(QWidget *parent = nullptr);

    // The address with the first octet in the most significant byte.
    std::uint32_t address() const;
    void setAddress(std::uint32_t address);
    // "a.b.c.d" of the address the field holds.
    QString addressText() const;

protected:
    void focusOutEvent(QFocusEvent *event) override;
};
