#include "testpages/DlgAddressEdit.h"

#include "engine/EngineHost.h"
#include "engine/LanguageText.h"
#include "platform/Prompter.h"
#include "testpages/DlgSourceFilter.h"
#include "testpages/Ipv4Edit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QTreeWidgetItem *sourceItem(QTreeWidgetItem *group, const QString &text)
{
    auto *item = new QTreeWidgetItem(group, {text});
    item->setData(0, Qt::UserRole, CDlgSourceFilter::SourceLevel);
    return item;
}

} // namespace

CDlgAddressEdit::CDlgAddressEdit(CDlgSourceFilter *owner, std::uint32_t mode, QWidget *parent)
    : QDialog(parent), Mode(mode), Owner(owner)
{
    m_addressLabel = new QLabel(this);
    AddressCtrl = new Ipv4Edit(this);
    ApplyButton = new QPushButton(this);
    CancelButton = new QPushButton(this);
    auto *fields = new QHBoxLayout;
    fields->addWidget(m_addressLabel);
    fields->addWidget(AddressCtrl, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ApplyButton);
    buttons->addWidget(CancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(306, 101);
    ApplyButton->setDefault(true);
    connect(ApplyButton, &QPushButton::clicked, this, &CDlgAddressEdit::OnApply);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    OnInitDialog();
}

void CDlgAddressEdit::OnInitDialog()
{
    setWindowTitle(languageText(Mode == kEditMode ? "AddressEdit_Title_Edit" : "AddressEdit_Title_Add"));
    m_addressLabel->setText(languageText("AddressEdit_Source_Address"));
    ApplyButton->setText(languageText("AddressEdit_Apply"));
    CancelButton->setText(languageText("AddressEdit_Cancel"));
    AddressCtrl->setAddress(Address);
}

void CDlgAddressEdit::OnApply()
{
    if (!Owner)
        return;
    Address = AddressCtrl->address();
    const QString address = AddressCtrl->addressText();
    QTreeWidgetItem *selected = Owner->AddressTree->currentItem();
    const int level = selected ? CDlgSourceFilter::LevelOf(selected) : CDlgSourceFilter::HostLevel;
    QTreeWidgetItem *group = level == CDlgSourceFilter::GroupLevel    ? selected
                             : level == CDlgSourceFilter::SourceLevel ? selected->parent()
                                                                      : nullptr;
    if (!group || !group->parent()) {
        accept();
        return;
    }
    const QString host = group->parent()->text(0);
    const QString groupAddress = CDlgSourceFilter::ExtractGroupText(group->text(0));
    const QString edited = level == CDlgSourceFilter::SourceLevel ? selected->text(0) : QString();
    const int result = AddSourceAddress(host, groupAddress, address, edited);
    if (result == Duplicate)
        Prompter::current().messageBox(languageText("AddressEdit_Exists"));
    if (result != Added)
        return;
    QTreeWidgetItem *first = group->childCount() > 0 ? group->child(0) : nullptr;
    if (first && first->text(0) == CDlgSourceFilter::NullText())
        first->setText(0, address);
    else if (level == CDlgSourceFilter::SourceLevel && Mode == kEditMode)
        selected->setText(0, address);
    else
        sourceItem(group, address);
    accept();
}

int CDlgAddressEdit::AddSourceAddress(const QString &host, const QString &group, const QString &address,
                                      const QString &edited)
{
    if (!Owner)
        return NotAdded;
    UtFilterGroup *entry = Owner->findGroup(host, group);
    if (!entry)
        return NotAdded;
    if (entry->Sources.isEmpty()) {
        entry->Sources << address;
        return Added;
    }
    if (entry->Sources.contains(address))
        return Duplicate;
    if (Mode == kEditMode) {
        const qsizetype at = entry->Sources.indexOf(edited);
        if (at < 0)
            return NotAdded;
        entry->Sources[at] = address;
        return Added;
    }
    if (entry->Sources.size() >= CDlgSourceFilter::kMaxSources) {
        Prompter::current().messageBox(languageText("AddressEdit_Max_Sources"));
        return NotAdded;
    }
    entry->Sources << address;
    return Added;
}
