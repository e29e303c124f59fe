// The modal "Reserved Config" dialog: the user picks test ports of the chassis in a check tree (chassis,
// boards, ports) and reserves (locks) them on the server for this program. The reservation it leaves is
// the session's LockedFlags, LockCount and BoardCount, and the application's tester and DUT names.
#pragma once

#include "controls/widgets/TreeCtrlEx.h"
#include "engine/SessionRecords.h"
#include "platform/ColorRef.h"

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidgetItem;

class CBoardInfo : public QDialog
{
    Q_OBJECT

public:
    // What an item of the tree stands for, kept in LevelRole.
    enum Level
    {
        RootLevel = 0,
        ChassisLevel = 1,
        BoardLevel = 2,
        PortLevel = 3
    };
    static constexpr int LevelRole = CTreeCtrlEx::FirstOwnerRole;
    static constexpr int GroupBoxCount = 12;
    static constexpr COLORREF ItemColor = 0x080808;
    static constexpr COLORREF FixedColor = 0xB0B0B0;

    struct BoardSlot
    {
        std::uint8_t Slot = 0; // 0: no module seen
        std::uint16_t Count = 0;
    };

    explicit CBoardInfo(QWidget *parent = nullptr);
    ~CBoardInfo() override;

    // Opens the dialog modally: 1 after a Lock that succeeded (always in demo mode), 0 otherwise.
    int exec() override;

    // The opening steps: release this program's locks, probe the modules, build the tree, save and
    // clear the flags, apply the presets. False when the dialog already ended (a preset port is missing).
    bool OnInitDialog();
    // A changeable check box of the tree was clicked (the tree has toggled it already).
    void OnTreeClick(QTreeWidgetItem *item);
    // A Group Selection box was clicked.
    void OnGroupSelection(int box);
    void OnLock();
    void OnCancel();

    // Ticks the preset ports and fixes them; false as soon as one is not in the tree.
    bool RefreshTreeChecks();
    void UpdateSelectedCount();
    void SyncGroupBoxes();

    // The number of an item text: the digits between its last "(" and the ")" after it (at most three).
    static int ItemNumber(const QString &text);

    CTreeCtrlEx *Tree() const { return m_tree; }
    QTreeWidgetItem *RootItem() const { return m_root; }
    QTreeWidgetItem *ChassisItem() const { return m_chassis; }
    QCheckBox *GroupBox(int box) const { return m_groupBoxes[box]; }
    QLineEdit *TesterNameEdit() const { return m_testerEdit; }
    QLineEdit *DutNameEdit() const { return m_dutEdit; }
    QString SelectedCountText() const;
    bool IsLiteNoteShown() const;
    bool IsOutdatedNoteShown() const;

    std::uint8_t PresetFromConfig = 0;
    std::vector<UtPortTableEntry> PresetPorts;
    QString TesterName = QStringLiteral("New Tester");
    QString DutName = QStringLiteral("New DUT_Device");
    // 1 once a Lock has taken the names from the fields (whether or not the ports were reserved).
    std::uint8_t NamesTaken = 0;
    std::vector<std::uint8_t> SavedLockedFlags;
    BoardSlot BoardTable[32] = {};

public slots:
    void reject() override;
    void accept() override;

private:
    void setLanguageText();
    void releaseEarlierLocks();
    void probeModules();
    void fillBoardTable();
    void buildTree();
    QTreeWidgetItem *addItem(QTreeWidgetItem *parent, Level level, const QString &text, int icon);
    void setPortChecked(QTreeWidgetItem *port, std::uint16_t chassis, std::uint8_t slot, bool checked);
    void setBoardChecked(QTreeWidgetItem *board, bool checked);
    void fixItem(QTreeWidgetItem *item);
    void setControlsEnabled(bool enabled);
    // Gives back the flags saved at opening (matched by port) and locks those ports again.
    void restoreSavedReservation();
    void finish(int result);

    CTreeCtrlEx *m_tree = nullptr;
    QTreeWidgetItem *m_root = nullptr;
    QTreeWidgetItem *m_chassis = nullptr;
    std::uint16_t m_chassisNumber = 0;
    QGroupBox *m_testerGroup = nullptr;
    QLabel *m_testerLabel = nullptr;
    QLabel *m_dutLabel = nullptr;
    QLineEdit *m_testerEdit = nullptr;
    QLineEdit *m_dutEdit = nullptr;
    QGroupBox *m_groupSelection = nullptr;
    std::array<QCheckBox *, GroupBoxCount> m_groupBoxes{};
    QLabel *m_countLabel = nullptr;
    QLineEdit *m_countEdit = nullptr;
    QLabel *m_outdatedIcon = nullptr;
    QLabel *m_outdatedText = nullptr;
    QLabel *m_liteIcon = nullptr;
    QLabel *m_liteText = nullptr;
    QPushButton *m_lockButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    // The port of each saved flag, so that the flags go back to their ports after a new inventory.
    std::vector<UtPortId> m_savedPorts;
    bool m_opened = false;
};

// The reservation dialog constructed last; the tree's click handler reaches it through this.
extern CBoardInfo *g_CurrentBoardInfo;
