#include "ports/BoardInfo.h"

#include "controls/widgets/TreeCtrlEx.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/HardwareInfo.h"
#include "engine/LanguageText.h"
#include "engine/PortSet.h"
#include "engine/Session.h"
#include "platform/Prompter.h"
#include "ports/PortArt.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

CBoardInfo *g_CurrentBoardInfo = nullptr;

namespace {

struct GroupModel
{
    const char *model;
    std::uint8_t type;
};

// The Group Selection boxes in dialog order.
constexpr GroupModel kGroupModels[CBoardInfo::GroupBoxCount] = {
    {"QM-M05", 0x42}, {"QM-M06", 0x43}, {"QM-M07", 0x44}, {"QM-M08", 0x37},
    {"QM-M09", 0x36}, {"QM-M11", 0x34}, {"QM-M13", 0x35}, {"QM-M24", 0x59},
    {"QM-M18", 0x58}, {"QM-M19", 0x54}, {"QM-M22", 0x93}, {"QM-M23", 0x94},
};

constexpr int kNameLength = 32;

// Normal images of the tree levels: active devices, chassis, board, port.
constexpr int kLevelPictures[] = {PortArt::ActiveDevicesPicture, PortArt::ChassisPicture,
                                  PortArt::BoardPicture, PortArt::PortPicture};

void message(const char *key)
{
    Prompter::current().messageBox(languageText(key), MB_OK);
}

int level(const QTreeWidgetItem *item)
{
    return item->data(0, CBoardInfo::LevelRole).toInt();
}

// The model of a board item: its text from the first "QM" on; empty when it names none.
QString boardModel(const QTreeWidgetItem *board)
{
    const QString text = board->text(0);
    const qsizetype at = text.indexOf(QStringLiteral("QM"));
    return at < 0 ? QString() : text.mid(at);
}

bool boardDemoMode()
{
    return EngineHost::instance().isDemoMode();
}

} // namespace

CBoardInfo::CBoardInfo(QWidget *parent) : QDialog(parent)
{
    g_CurrentBoardInfo = this;
    resize(700, 520);

    m_tree = new CTreeCtrlEx(this);
    m_tree->setRootIsDecorated(true);
    m_tree->SetClickCallback([](QTreeWidgetItem *item) {
        if (g_CurrentBoardInfo)
            g_CurrentBoardInfo->OnTreeClick(item);
    });

    m_testerGroup = new QGroupBox(this);
    m_testerLabel = new QLabel(m_testerGroup);
    m_dutLabel = new QLabel(m_testerGroup);
    m_testerEdit = new QLineEdit(m_testerGroup);
    m_dutEdit = new QLineEdit(m_testerGroup);
    m_testerEdit->setMaxLength(kNameLength);
    m_dutEdit->setMaxLength(kNameLength);
    auto *names = new QGridLayout(m_testerGroup);
    names->addWidget(m_testerLabel, 0, 0);
    names->addWidget(m_testerEdit, 0, 1);
    names->addWidget(m_dutLabel, 1, 0);
    names->addWidget(m_dutEdit, 1, 1);

    m_groupSelection = new QGroupBox(this);
    auto *boxes = new QGridLayout(m_groupSelection);
    for (int box = 0; box < GroupBoxCount; ++box) {
        m_groupBoxes[box] = new QCheckBox(QString::fromLatin1(kGroupModels[box].model), m_groupSelection);
        boxes->addWidget(m_groupBoxes[box], box / 3, box % 3);
        connect(m_groupBoxes[box], &QCheckBox::clicked, this, [this, box] { OnGroupSelection(box); });
    }

    m_countLabel = new QLabel(this);
    m_countEdit = new QLineEdit(this);
    m_countEdit->setReadOnly(true);
    m_countEdit->setMaximumWidth(60);
    auto *count = new QHBoxLayout;
    count->addWidget(m_countLabel);
    count->addWidget(m_countEdit);
    count->addStretch();

    const auto legend = [this](QLabel *&icon, QLabel *&label, int picture) {
        icon = new QLabel(this);
        icon->setPixmap(QPixmap::fromImage(PortArt::treeBitmap(picture)));
        label = new QLabel(this);
        label->setWordWrap(true);
        auto *row = new QHBoxLayout;
        row->addWidget(icon, 0, Qt::AlignTop);
        row->addWidget(label, 1);
        return row;
    };
    QHBoxLayout *outdatedRow = legend(m_outdatedIcon, m_outdatedText, 298);
    QHBoxLayout *liteRow = legend(m_liteIcon, m_liteText, 302);

    m_lockButton = new QPushButton(this);
    m_cancelButton = new QPushButton(this);
    m_cancelButton->hide(); // laid out hidden: the window's close button and Esc cancel
    for (QPushButton *button : {m_lockButton, m_cancelButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    connect(m_lockButton, &QPushButton::clicked, this, &CBoardInfo::OnLock);
    connect(m_cancelButton, &QPushButton::clicked, this, &CBoardInfo::OnCancel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_lockButton);
    buttons->addWidget(m_cancelButton);

    auto *right = new QVBoxLayout;
    right->addWidget(m_testerGroup);
    right->addWidget(m_groupSelection);
    right->addLayout(count);
    right->addLayout(outdatedRow);
    right->addLayout(liteRow);
    right->addStretch();
    right->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addLayout(right, 1);

    for (QLabel *label : {m_outdatedIcon, m_outdatedText, m_liteIcon, m_liteText})
        label->hide();
}

CBoardInfo::~CBoardInfo()
{
    if (g_CurrentBoardInfo == this)
        g_CurrentBoardInfo = nullptr;
}

int CBoardInfo::exec()
{
    if (!OnInitDialog())
        return result();
    return QDialog::exec();
}

void CBoardInfo::setLanguageText()
{
    setWindowTitle(languageText("Reserved_Dlg_Name"));
    m_testerGroup->setTitle(languageText("Reserved_Tester_Info"));
    m_testerLabel->setText(languageText("Reserved_Tester_Name"));
    m_dutLabel->setText(languageText("Reserved_DUT_Name"));
    m_lockButton->setText(languageText("Reserved_BT_Lock"));
    m_cancelButton->setText(languageText("Reserved_BT_Cancle"));
    m_groupSelection->setTitle(languageText("Reserved_Group_Selection"));
    m_countLabel->setText(languageText("Reserved_Selected_Count"));
    m_outdatedText->setText(languageText("Reserved_Note_Outdated"));
    m_liteText->setText(languageText("Reserved_Note_Lite"));
}

bool CBoardInfo::OnInitDialog()
{
    UtSession &session = g_Session;
    m_opened = true;
    setLanguageText();
    releaseEarlierLocks();
    if (!boardDemoMode())
        ProbeModules(session);
    WaitPumping(kModuleProbeWaitMs);
    fillBoardTable();

    // The flags of the opening, kept with their ports; the tree still lists the ports they name.
    const std::uint16_t count =
        static_cast<std::uint16_t>(std::min<std::size_t>(session.PortCount, session.LockedFlags.size()));
    SavedLockedFlags.assign(session.LockedFlags.begin(), session.LockedFlags.begin() + count);
    m_savedPorts.clear();
    for (std::uint16_t i = 0; i < count; ++i)
        m_savedPorts.push_back(session.PortTable[i].Id);
    buildTree();

    m_testerEdit->setText(TesterName);
    m_dutEdit->setText(DutName);
    std::fill(session.LockedFlags.begin(), session.LockedFlags.end(), std::uint8_t(0));

    if (PresetFromConfig == 1 && !RefreshTreeChecks()) {
        Prompter::current().messageBox(languageText("Reserved_Note_Mismatch"), MB_OK);
        restoreSavedReservation();
        finish(0);
        return false;
    }
    UpdateSelectedCount();
    SyncGroupBoxes();
    return true;
}

void CBoardInfo::releaseEarlierLocks()
{
    if (g_Session.DemoHardware)
        return;
    const PortSetBuilder sets = BuildLockedPortSets(g_Session);
    for (const auto &[chassis, entry] : sets.Sets())
        ReleasePortSet(entry.Set);
}

void CBoardInfo::fillBoardTable()
{
    const UtSession &session = g_Session;
    std::fill(std::begin(BoardTable), std::end(BoardTable), BoardSlot{});
    for (std::uint16_t i = 0; i < session.PortCount; ++i) {
        const UtPortId &id = session.PortTable[i].Id;
        if (id.BID >= 32 || LookupPortIndex(id.CID, session.PortIndex, id.BID, id.PID) < 0)
            continue;
        BoardTable[id.BID].Slot = id.BID;
        ++BoardTable[id.BID].Count;
    }
}

QTreeWidgetItem *CBoardInfo::addItem(QTreeWidgetItem *parent, Level itemLevel, const QString &itemText,
                                     int icon)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
    item->setText(0, itemText);
    item->setData(0, LevelRole, int(itemLevel));
    item->setIcon(0, QIcon(QPixmap::fromImage(PortArt::treeBitmap(icon)).scaled(16, 16)));
    return item;
}

void CBoardInfo::buildTree()
{
    const UtSession &session = g_Session;
    m_tree->clear();
    m_chassis = nullptr;
    m_root = addItem(nullptr, RootLevel, languageText("Reserved_Active_Port"), kLevelPictures[0]);
    CTreeCtrlEx::SetStateImage(m_root, CTreeCtrlEx::NoState);
    bool anyLite = false, anyOutdated = false;
    if (session.PortCount > 0) {
        m_chassisNumber = session.PortTable[0].Id.CID;
        m_chassis =
            addItem(m_root, ChassisLevel,
                    QStringLiteral("%1(%2)").arg(languageText("Reserved_Chassis")).arg(m_chassisNumber),
                    kLevelPictures[1]);
        CTreeCtrlEx::SetStateImage(m_chassis, CTreeCtrlEx::Unchecked);
        for (int slot = 1; slot < 32; ++slot) {
            const BoardSlot &entry = BoardTable[slot];
            const int first = LookupPortIndex(m_chassisNumber, session.PortIndex, std::uint8_t(slot), 1);
            if (entry.Slot == 0 || entry.Count == 0 || first < 0)
                continue;
            const std::uint8_t type = session.PortTable[first].TYPE;
            char model[16] = {};
            if (type >= 0x34 && type <= 0x94)
                ModuleTypeToModelNameA(type - 52, model, sizeof model);
            QTreeWidgetItem *board = addItem(m_chassis, BoardLevel,
                                             QStringLiteral("%1(%2)-%3")
                                                 .arg(languageText("Reserved_Board"))
                                                 .arg(slot)
                                                 .arg(QString::fromLatin1(model)),
                                             kLevelPictures[2]);
            int state = CTreeCtrlEx::Unchecked;
            if (IsLiteModuleType(type)) {
                state = CTreeCtrlEx::LockedHere;
                anyLite = true;
            } else if (first < int(session.FirmwareOutdated.size()) && session.FirmwareOutdated[first] == 1) {
                state = CTreeCtrlEx::Prohibited;
                anyOutdated = true;
            }
            CTreeCtrlEx::SetStateImage(board, state);
            m_tree->AssignItemTextColor(board, ItemColor);
            for (int p = 1; p <= entry.Count; ++p) {
                const int index =
                    LookupPortIndex(m_chassisNumber, session.PortIndex, std::uint8_t(slot), std::uint8_t(p));
                if (index < 0 || index >= session.PortCount)
                    continue;
                // Ports another client holds are not offered; this program's own ports of the opening
                // are, whatever lock state the server reported last.
                const bool ownedHere = index < int(SavedLockedFlags.size()) && SavedLockedFlags[index] == 1;
                if (session.PortAddr[index].Status != 0 && !ownedHere)
                    continue;
                QTreeWidgetItem *port = addItem(
                    board, PortLevel, QStringLiteral("%1(%2)").arg(languageText("Reserved_Port")).arg(p),
                    kLevelPictures[3]);
                CTreeCtrlEx::SetStateImage(port, state);
                m_tree->AssignItemTextColor(port, ItemColor);
            }
            if (board->childCount() == 0)
                delete board;
        }
    }
    m_liteIcon->setVisible(anyLite);
    m_liteText->setVisible(anyLite);
    m_outdatedIcon->setVisible(anyOutdated);
    m_outdatedText->setVisible(anyOutdated);
    m_root->setExpanded(true);
    if (m_chassis)
        m_chassis->setExpanded(true);
    m_tree->scrollToTop();
}

bool CBoardInfo::RefreshTreeChecks()
{
    UtSession &session = g_Session;
    const auto childWithNumber = [](QTreeWidgetItem *parent, int number) -> QTreeWidgetItem * {
        for (int i = 0; parent && i < parent->childCount(); ++i) {
            if (ItemNumber(parent->child(i)->text(0)) == number)
                return parent->child(i);
        }
        return nullptr;
    };
    for (const UtPortTableEntry &preset : PresetPorts) {
        QTreeWidgetItem *chassis = childWithNumber(m_root, preset.Id.CID);
        QTreeWidgetItem *board = childWithNumber(chassis, preset.Id.BID);
        if (board)
            board->setExpanded(true);
        QTreeWidgetItem *port = childWithNumber(board, preset.Id.PID);
        if (!port)
            return false;
        CTreeCtrlEx::SetStateImage(port, CTreeCtrlEx::Checked);
        fixItem(port);
        const int index = LookupPortIndex(preset.Id.CID, session.PortIndex, preset.Id.BID, preset.Id.PID);
        if (index >= 0 && index < int(session.LockedFlags.size()))
            session.LockedFlags[index] = 1;
        fixItem(board);
        fixItem(chassis);
    }
    // A board whose ports are all ticked shows ticked, and so does a chassis whose boards all are.
    const auto allChildrenChecked = [](const QTreeWidgetItem *item) {
        for (int i = 0; i < item->childCount(); ++i) {
            if (CTreeCtrlEx::GetStateImage(item->child(i)) != CTreeCtrlEx::Checked)
                return false;
        }
        return item->childCount() > 0;
    };
    for (int b = 0; m_chassis && b < m_chassis->childCount(); ++b) {
        QTreeWidgetItem *board = m_chassis->child(b);
        if (CTreeCtrlEx::GetStateImage(board) == CTreeCtrlEx::Unchecked && allChildrenChecked(board))
            CTreeCtrlEx::SetStateImage(board, CTreeCtrlEx::Checked);
    }
    if (m_chassis && allChildrenChecked(m_chassis))
        CTreeCtrlEx::SetStateImage(m_chassis, CTreeCtrlEx::Checked);
    return true;
}

void CBoardInfo::fixItem(QTreeWidgetItem *item)
{
    CTreeCtrlEx::SetItemData(item, 1);
    m_tree->AssignItemTextColor(item, FixedColor);
}

void CBoardInfo::setPortChecked(QTreeWidgetItem *port, std::uint16_t chassis, std::uint8_t slot, bool checked)
{
    UtSession &session = g_Session;
    const int index =
        LookupPortIndex(chassis, session.PortIndex, slot, std::uint8_t(ItemNumber(port->text(0))));
    if (index < 0 || index >= int(session.LockedFlags.size()))
        return;
    CTreeCtrlEx::SetStateImage(port, checked ? CTreeCtrlEx::Checked : CTreeCtrlEx::Unchecked);
    session.LockedFlags[index] = checked ? 1 : 0;
}

void CBoardInfo::setBoardChecked(QTreeWidgetItem *board, bool checked)
{
    const std::uint16_t chassis = std::uint16_t(ItemNumber(board->parent()->text(0)));
    const std::uint8_t slot = std::uint8_t(ItemNumber(board->text(0)));
    CTreeCtrlEx::SetStateImage(board, checked ? CTreeCtrlEx::Checked : CTreeCtrlEx::Unchecked);
    for (int i = 0; i < board->childCount(); ++i)
        setPortChecked(board->child(i), chassis, slot, checked);
}

void CBoardInfo::OnTreeClick(QTreeWidgetItem *item)
{
    if (!item || CTreeCtrlEx::GetItemData(item) == 1 ||
        CTreeCtrlEx::GetStateImage(item) > CTreeCtrlEx::Checked)
        return;
    const bool checked = CTreeCtrlEx::GetStateImage(item) == CTreeCtrlEx::Checked;
    switch (level(item)) {
    case BoardLevel:
        setBoardChecked(item, checked);
        break;
    case PortLevel: {
        QTreeWidgetItem *board = item->parent();
        const std::uint16_t chassis = std::uint16_t(ItemNumber(board->parent()->text(0)));
        const std::uint8_t slot = std::uint8_t(ItemNumber(board->text(0)));
        if (LookupPortIndex(chassis, g_Session.PortIndex, slot, std::uint8_t(ItemNumber(item->text(0)))) < 0)
            return;
        setPortChecked(item, chassis, slot, checked);
        break;
    }
    case ChassisLevel:
        for (int i = 0; i < item->childCount(); ++i) {
            QTreeWidgetItem *board = item->child(i);
            if (CTreeCtrlEx::GetStateImage(board) <= CTreeCtrlEx::Checked)
                setBoardChecked(board, checked);
        }
        break;
    default:
        break;
    }
    UpdateSelectedCount();
    SyncGroupBoxes();
}

void CBoardInfo::OnGroupSelection(int box)
{
    if (box < 0 || box >= GroupBoxCount || !m_chassis)
        return;
    const bool checked = m_groupBoxes[box]->isChecked();
    const QString model = QString::fromLatin1(kGroupModels[box].model);
    for (int i = 0; i < m_chassis->childCount(); ++i) {
        QTreeWidgetItem *board = m_chassis->child(i);
        // Boards of another model, of no known model, or whose ports cannot be reserved stay as they are.
        if (boardModel(board) != model || CTreeCtrlEx::GetStateImage(board) >= CTreeCtrlEx::Prohibited)
            continue;
        setBoardChecked(board, checked);
    }
    UpdateSelectedCount();
    SyncGroupBoxes();
}

void CBoardInfo::UpdateSelectedCount()
{
    int count = 0;
    for (int b = 0; m_chassis && b < m_chassis->childCount(); ++b) {
        const QTreeWidgetItem *board = m_chassis->child(b);
        for (int p = 0; p < board->childCount(); ++p)
            count += CTreeCtrlEx::GetStateImage(board->child(p)) == CTreeCtrlEx::Checked ? 1 : 0;
    }
    m_countEdit->setText(QString::number(count));
}

void CBoardInfo::SyncGroupBoxes()
{
    for (int box = 0; box < GroupBoxCount; ++box) {
        const QString model = QString::fromLatin1(kGroupModels[box].model);
        bool anyChecked = false, anyFixed = false;
        for (int b = 0; m_chassis && b < m_chassis->childCount(); ++b) {
            const QTreeWidgetItem *board = m_chassis->child(b);
            if (boardModel(board) != model)
                continue;
            for (int p = 0; p < board->childCount(); ++p) {
                anyChecked =
                    anyChecked || CTreeCtrlEx::GetStateImage(board->child(p)) == CTreeCtrlEx::Checked;
                anyFixed = anyFixed || CTreeCtrlEx::GetItemData(board->child(p)) == 1;
            }
        }
        m_groupBoxes[box]->setChecked(anyChecked);
        m_groupBoxes[box]->setEnabled(!anyFixed);
    }
}

void CBoardInfo::setControlsEnabled(bool enabled)
{
    for (QWidget *control :
         std::initializer_list<QWidget *>{m_tree, m_testerEdit, m_dutEdit, m_lockButton, m_cancelButton})
        control->setEnabled(enabled);
}

void CBoardInfo::OnLock()
{
    UtSession &session = g_Session;
    setControlsEnabled(false);
    PortSetBuilder sets;
    std::uint16_t modules = 0;
    for (std::uint16_t i = 0; i < session.PortCount && i < session.LockedFlags.size(); ++i) {
        if (session.LockedFlags[i] != 1)
            continue;
        const UtPortId &id = session.PortTable[i].Id;
        if (!session.DemoHardware)
            Kv_TQModule_LinkStatus(id.CID, id.BID, id.PID);
        if (sets.Enter(id) && id.PID == 1)
            ++modules;
    }
    if (sets.IsEmpty()) {
        message("Reserved_Note_Fail");
        setControlsEnabled(true);
        return;
    }
    int result = 1;
    if (!session.DemoHardware) {
        std::vector<UtPortSet> locked;
        for (const auto &[chassis, entry] : sets.Sets()) {
            if (LockPortSet(entry.Set) == 0) {
                result = 0;
                break;
            }
            locked.push_back(entry.Set);
        }
        if (result == 0) {
            // No part of the reservation stays: the sets locked before the refusal are released too.
            for (const UtPortSet &set : locked)
                Kv_UnLockPortStatus(set);
        }
    }
    message(result ? "Reserved_Note_Success" : "Reserved_Note_Failed");
    if (result) {
        session.BoardCount = modules;
        session.LockCount = sets.Count();
    } else {
        std::fill(session.LockedFlags.begin(), session.LockedFlags.end(), std::uint8_t(0));
        session.BoardCount = 0;
        session.LockCount = 0;
    }
    TesterName = m_testerEdit->text();
    DutName = m_dutEdit->text();
    NamesTaken = 1;
    setControlsEnabled(true);
    finish(result);
}

void CBoardInfo::OnCancel()
{
    if (m_opened)
        restoreSavedReservation();
    finish(0);
}

void CBoardInfo::restoreSavedReservation()
{
    UtSession &session = g_Session;
    std::fill(session.LockedFlags.begin(), session.LockedFlags.end(), std::uint8_t(0));
    for (std::size_t i = 0; i < SavedLockedFlags.size() && i < m_savedPorts.size(); ++i) {
        const UtPortId &id = m_savedPorts[i];
        const int index = LookupPortIndex(id.CID, session.PortIndex, id.BID, id.PID);
        if (SavedLockedFlags[i] == 1 && index >= 0 && index < int(session.LockedFlags.size()))
            session.LockedFlags[index] = 1;
    }
    if (session.DemoHardware)
        return;
    // The opening released these ports on the server: take them again, or hold none.
    const PortSetBuilder sets = BuildLockedPortSets(session);
    bool refused = false;
    for (const auto &[chassis, entry] : sets.Sets())
        refused = LockPortSet(entry.Set) == 0 || refused;
    if (refused) {
        message("Reserved_Note_Failed");
        for (const auto &[chassis, entry] : sets.Sets())
            Kv_UnLockPortStatus(entry.Set);
        std::fill(session.LockedFlags.begin(), session.LockedFlags.end(), std::uint8_t(0));
        session.LockCount = 0;
        session.BoardCount = 0;
    }
}

void CBoardInfo::finish(int result)
{
    done(result);
}

void CBoardInfo::reject()
{
    OnCancel();
}

void CBoardInfo::accept()
{
    // Enter does nothing: only Lock ends the dialog with a reservation.
}

int CBoardInfo::ItemNumber(const QString &itemText)
{
    const qsizetype open = itemText.lastIndexOf(u'(');
    if (open < 0)
        return 0;
    const qsizetype close = itemText.indexOf(u')', open);
    const QString digits = itemText.mid(open + 1, (close < 0 ? itemText.size() : close) - open - 1).left(3);
    return digits.toInt();
}

QString CBoardInfo::SelectedCountText() const
{
    return m_countEdit->text();
}

bool CBoardInfo::IsLiteNoteShown() const
{
    return !m_liteText->isHidden();
}

bool CBoardInfo::IsOutdatedNoteShown() const
{
    return !m_outdatedText->isHidden();
}
