// The test-pair editor: a page of the main view on which the user forms up to eight test pairs, each a
// source port, its host ports, an initial group address and a number of groups, one pair per tab. It
// owns the test plan's eight pairs and the pair and stream fields of the port records.
#pragma once

#include "engine/TestPlanRecords.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class CIGMPTestPlan;
class CKvAvlGrid;
class CKvSelGrid;
class CButtonST;
class CNumEdit;
class CNumSpinCtrl;
class IpAddressEdit;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class ConfigFieldReader;
class XmlDocument;
struct UtPortRecord;

class CPortConfig : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMaxPairs = 8;
    // The groups one pair may send to.
    static constexpr int kMinPairGroups = 1;
    static constexpr int kMaxPairGroups = 256;
    // The value every port row of the two grids carries.
    static constexpr int kRowValue = 4096;

    explicit CPortConfig(QWidget *parent = nullptr);

    // The plan whose pairs the page edits (reset to the default pairs); the application's when none is set.
    void SetPlan(CIGMPTestPlan *plan);
    CIGMPTestPlan &Plan() const;

    // Relabels the page's controls from the current language.
    void SetLanguageText();

    // Pair n (1-8) with its defaults.
    static UtTestPair DefaultPair(int n);
    // The eight default pairs; the pages' and the plan's selection of each pair cleared.
    void InitDefaultPairs();
    // Empties the lists and grids and takes every port out of every pair.
    void ResetDialog();
    // Fills the source list and the available hosts from the locked ports, for the selected pair.
    void RefreshPortGrids();
    // Shows pair index c (0-based) in the controls.
    void SelectTestPair(int pair);
    // Deletes from the source lists the first item that starts with each selected host's text, and
    // those hosts from the hidden available grid.
    void RemoveSelectedFromCombos();
    // Rebuilds the source lists and the available hosts from the hidden grid pair: the hidden selection
    // leaves them; the lists keep only the remembered source and take the hidden available ports
    // (the shown list only those of the model it sends from); the available hosts become the hidden
    // available rows.
    void RebuildCombos();
    // Stores the shown pair from the controls; false (nothing changed) when they do not make a pair.
    // tellUser: a group count out of range is reported.
    bool ApplyPairSettings(int pair, bool tellUser = true);
    // The smallest host count of the set pairs (-1 when none is set), handed to the Aggregate page.
    void UpdateMinHostCount();
    // Shows the pair of the selected tab; the "+" tab first adds a pair.
    void AddTestPair();
    // Takes pair index c out: its ports leave, the following pairs move up one place.
    void DeleteTestPair(int pair);

    // The "PortPairConfig" section of a configuration file: added after the current element of a
    // document standing inside its root element (false when it does not), or read back from the parsed
    // file into the pairs and port records. A file without the section loads the default pairs; a value
    // outside its field's range is listed in `refused` and the field keeps its value.
    bool SaveXml(XmlDocument &xml);
    void LoadXml(XmlDocument &xml, QStringList &refused);

    // Commands of the page.
    void OnTabSelChange();
    void OnTabRightClick(const QPoint &pos);
    // Deletes the pair of the selected tab (the tab menu's "Delete").
    void OnDeletePair();
    void OnSourceComboChange();
    void OnAddHosts();
    void OnRemoveHosts();
    void OnRemoveAllHosts();
    // The hidden buttons: the same moves between the hidden grids, each followed by RebuildCombos.
    void OnHiddenAddHosts();
    void OnHiddenRemoveHosts();
    void OnHiddenRemoveAllHosts();
    void OnSet();
    void OnReset();

    // Number of pair tabs (the "+" tab not counted).
    int PairCount() const { return m_pairCount; }
    int MinHostCount() const { return m_minHostCount; }
    int SelectedTab() const;

    QTabBar *TabCtrl = nullptr;
    QComboBox *SourceCombo = nullptr;
    QLineEdit *SourceEdit = nullptr;
    CKvAvlGrid *AvailableGrid = nullptr;
    CKvSelGrid *SelectedGrid = nullptr;
    CButtonST *AddButton = nullptr;
    CButtonST *RemoveButton = nullptr;
    CButtonST *RemoveAllButton = nullptr;
    IpAddressEdit *GroupAddress = nullptr;
    CNumEdit *GroupCountEdit = nullptr;
    CNumSpinCtrl *GroupCountSpin = nullptr;
    QPushButton *SetButton = nullptr;
    QPushButton *ResetButton = nullptr;
    // Never shown: a second source list and a second grid pair with its three buttons, the available
    // grid filled and emptied with the shown one; and a "debug" button.
    QStringList HiddenSourceList;
    CKvAvlGrid *HiddenAvailableGrid = nullptr;
    CKvSelGrid *HiddenSelectedGrid = nullptr;
    CButtonST *HiddenAddButton = nullptr;
    CButtonST *HiddenRemoveButton = nullptr;
    CButtonST *HiddenRemoveAllButton = nullptr;
    QPushButton *DebugButton = nullptr;

private:
    void OnInitDialog();
    void selectTab(int index);
    void renameTabs();
    // Removes every row of the four port grids.
    void emptyPortGrids();
    // The label of a port of the inventory, empty when the port has none.
    static QString portText(std::uint16_t chassis, std::uint8_t card, std::uint8_t port);
    QString notSetText() const;
    void showPairAddress(const UtTestPair &pair);
    // Adds a port row to a grid (at its end).
    static void addPortRow(CKvAvlGrid *grid, const QString &text);
    static void addPortRow(CKvSelGrid *grid, const QString &text);
    // Moves the checked rows of one grid to the end of the other, sorted there.
    template <typename From, typename To> static void moveCheckedRows(From *from, To *to);
    // Checks every row of a grid; false when it has none.
    static bool checkEveryRow(CKvSelGrid *grid);
    void readPairSection(ConfigFieldReader &reader, XmlDocument &xml, int pair);
    // Gives the listed ports of the section the pair as source or host; returns how many entries name a
    // port by a whole port id, in the inventory or not.
    int readPortEntries(ConfigFieldReader &reader, XmlDocument &xml, const QString &listName,
                        const QString &entryName, int pair, bool source);

    CIGMPTestPlan *m_plan = nullptr;
    QLabel *m_sourceLabel = nullptr;
    QLabel *m_sourceSetLabel = nullptr;
    QLabel *m_availableLabel = nullptr;
    QLabel *m_selectedLabel = nullptr;
    QLabel *m_groupLabel = nullptr;
    QLabel *m_hiddenAvailableLabel = nullptr;
    QLabel *m_hiddenSelectedLabel = nullptr;
    // The source the last refresh proposed first; RebuildCombos keeps it in the lists.
    QString m_rememberedSource;
    int m_pairCount = 1;
    int m_minHostCount = 0;
};

// Pair and stream fields of a port record after its pair numbers changed: Select_state 1 source,
// 2 host, 3 both; stream items 2(p-1), 2(p-1)+1 and stream number 100+2(p-1) as source of pair p,
// 101+2(p-1) as host (the items of the host role and the number of the source role for a port that
// has both); all 0 in no pair.
void UpdatePairFields(UtPortRecord &record);
