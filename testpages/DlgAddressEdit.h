// The source address editor of the Source Filter page: a small modal dialog that adds a source
// address to the group selected in the page's address tree, or replaces the selected source. It keeps
// the tree and the page's address settings in step, holds at most 10 sources per group and no address
// twice in a group.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class CDlgSourceFilter;
class Ipv4Edit;
class QLabel;
class QPushButton;

class CDlgAddressEdit : public QDialog
{
    Q_OBJECT

public:
    static constexpr std::uint32_t kAddMode = 0;
    static constexpr std::uint32_t kEditMode = 2;
    // Results of AddSourceAddress.
    enum AddResult
    {
        Added = 0,
        NotAdded = 1,
        Duplicate = 2
    };

    CDlgAddressEdit(CDlgSourceFilter *owner, std::uint32_t mode, QWidget *parent = nullptr);

    // The address on the tree's selected item: added to its group, or put in place of the source in
    // edit mode. A refused address keeps the dialog open; a host item or none closes it unchanged.
    void OnApply();
    // In the owner's settings, the host's group takes the address: appended (add mode, or a group
    // without sources) or in place of the edited address (edit mode). Shows the limit message when
    // an eleventh source would be added.
    int AddSourceAddress(const QString &host, const QString &group, const QString &address,
                         const QString &edited = QString());

    Ipv4Edit *AddressCtrl = nullptr;
    std::uint32_t Mode = kAddMode;
    std::uint32_t Address = 0; // first octet in the most significant byte
    CDlgSourceFilter *Owner = nullptr;
    QPushButton *ApplyButton = nullptr;
    QPushButton *CancelButton = nullptr;

private:
    void OnInitDialog();

    QLabel *m_addressLabel = nullptr;
};
