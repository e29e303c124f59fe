// The IGMPv3 Source Filter test page, a child of the main view shown inside its tab area. The user
// splits the locked ports into source ports and host ports, sets the trials, duration, delay, number of
// groups and initial group address (from which the page derives its group list), and gives every host
// port, per group, a filter mode and up to 10 source addresses in a three-level tree. The run reads the
// group list and the address settings through EngineHost, which the page wires while it exists.
#pragma once

#include "engine/TestPlanRecords.h"
#include "testpages/SortedStringList.h"
#include "testpages/TestPageBase.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <functional>
#include <vector>

class CDlgAddressEdit;
class CIGMPTestPlan;
class CKvAvlGrid;
class CNumEdit;
class CNumSpinCtrl;
class Ipv4Edit;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class ConfigFieldReader;
class XmlDocument;

class CDlgSourceFilter : public CTestPageBase
{
    Q_OBJECT

public:
    // Item data of the address tree: the level of an item.
    enum TreeLevel
    {
        HostLevel = 0,
        GroupLevel = 1,
        SourceLevel = 2
    };
    static constexpr std::uint32_t kIncludeMode = 1;
    static constexpr std::uint32_t kExcludeMode = 2;
    static constexpr int kMaxSources = 10;
    static constexpr int kMaxGroups = 10;

    explicit CDlgSourceFilter(QWidget *parent = nullptr);
    ~CDlgSourceFilter() override;

    // Lists one row per locked port (in port-table order).
    void FillPortInfoGrid();
    // The labels of the ports this program has locked, in port-table order.
    static QStringList LockedPortLabels();
    // Empties both selections and lists every locked port as available again; the address settings stay.
    void InitPortLists();

    // Takes the fields into the members and judges them; the focus goes to the first field out of range.
    bool CheckFieldsValid() override;
    // Copies the page into the test plan: the fixed values of the test, the rates, the source and host
    // ports in grid order, and each listed port's settings into its port record.
    void ApplyToTestConfig(CIGMPTestPlan &plan);

    // The number of groups the run tests (the group list) and of selected host ports.
    std::uint32_t GroupCount() const { return std::uint32_t(GroupList.Count()); }
    std::uint32_t RecordCount() const { return std::uint32_t(SelectedHostList.Count()); }

    // The page's section of the configuration file, "SourceFilterConfig". SaveXml adds it after the
    // current element of a document standing inside its root element: the selected flag, the selected
    // source and host ports, the fields, the port block and the address settings; false when the
    // document does not stand inside the root. LoadXml reads the parsed file from the document's top: a
    // missing section only refills the port-settings grid; a present one replaces the selections and
    // the address settings (more than 10 groups or sources are cut, with a log line). A field value
    // outside its range is listed in `refused` and the field keeps its value.
    static bool SaveXml(CDlgSourceFilter &page, bool selected, XmlDocument &xml);
    static void LoadXml(CDlgSourceFilter &page, XmlDocument &xml, bool &selected, QStringList &refused);

    void RefreshAddressTree();
    // Empties the four port grids, both selected lists, the tree and the address settings.
    void ClearPortListsAndAddresses();
    // Takes out of both available lists every port that a selected grid holds.
    void PruneAvailablePortLists();

    // The group list from the initial group address and the number of groups.
    void BuildGroupList();
    // The group list's addresses: count groups from the initial address, in group-list order.
    static QStringList GroupAddressesOf(std::uint32_t initialAddress, int count);
    // A committed change of the number of groups: the group list is rebuilt, every filter setting
    // dropped and every host port returned.
    void OnGroupCountChanged();
    // The host's record (created with one group per group-list entry when missing); a non-empty source
    // goes to the host's group of the first group-list entry.
    void AddHostPort(const QString &host, const QString &source);
    // Clear-all drops every host record. Otherwise, in the host's group: setMode stores the mode, else
    // the source is removed.
    void RemoveAddress(const QString &host, const QString &group, const QString &source, bool clearAll,
                       std::uint32_t mode, bool setMode);
    // The group address and the mode text of a group item's text.
    static QString ExtractGroupText(const QString &itemText);
    static QString ExtractFilterModeText(const QString &itemText);
    // "Group:%s - (Filter Mode:%s)" of a group address and a mode (1 Include, else Exclude).
    QString GroupItemText(const QString &group, std::uint32_t mode) const;
    // The text of a group without sources in the tree.
    static QString NullText();
    // The tree's level of an item.
    static int LevelOf(const QTreeWidgetItem *item);

    // The moves between the available and selected port lists.
    void OnAddSourcePorts();
    void OnAddAllSourcePorts();
    void OnRemoveSourcePorts();
    void OnRemoveAllSourcePorts();
    void OnAddHostPorts();
    void OnAddAllHostPorts();
    void OnRemoveHostPorts();
    void OnRemoveAllHostPorts();

    // The address tree's pop-up menu: commands enabled by the level of the item under the cursor.
    void OnAddressTreeRightClick(const QPoint &position);
    // Which of "Add Address", "Delete Address" and "Edit Address" the item's level enables.
    static std::vector<bool> MenuStateOf(const QTreeWidgetItem *item);
    void OnAddressTreeSelChanged();
    void OnSetFilterMode();
    void OnAddAddress();
    void OnEditAddress();
    void OnDeleteAddress();

    void SetLanguageText() override;
    std::vector<SectionField> SectionFields() override;

    // Parameters, exchanged with the fields.
    std::int32_t NumberOfTrials = 1;
    std::int32_t DelayStart = 10;
    std::int32_t TestDuration = 10;
    std::int32_t NumberGroup = 2;
    std::uint32_t GroupIP = 0xE0000101; // 224.0.1.1

    // Per host port: its groups with filter mode and sources, in creation order.
    std::vector<UtFilterHost> AddressSettings;
    // Labels of the locked ports, of the two selected grids, and the group addresses.
    SortedStringList PortList;
    SortedStringList SelectedSourceList;
    SortedStringList SelectedHostList;
    SortedStringList GroupList;

    CNumEdit *TrialsEdit = nullptr;
    CNumEdit *DelayEdit = nullptr;
    CNumEdit *DurationEdit = nullptr;
    CNumEdit *GroupCountEdit = nullptr;
    CNumSpinCtrl *TrialsSpin = nullptr;
    CNumSpinCtrl *DelaySpin = nullptr;
    CNumSpinCtrl *DurationSpin = nullptr;
    CNumSpinCtrl *GroupCountSpin = nullptr;
    Ipv4Edit *GroupAddressCtrl = nullptr;
    QComboBox *FilterTypeList = nullptr;
    QPushButton *SetButton = nullptr;
    QTreeWidget *AddressTree = nullptr;
    CKvAvlGrid *SourceAvailableGrid = nullptr;
    CKvAvlGrid *SelectedSourceGrid = nullptr;
    CKvAvlGrid *HostAvailableGrid = nullptr;
    CKvAvlGrid *SelectedHostGrid = nullptr;

    // Runs the source address editor modally; tests put their own in its place.
    std::function<int(CDlgAddressEdit &)> RunAddressEditor;

protected:
    // Every row shows the page's initial group address and number of groups as the fields hold them.
    void groupTexts(int pairIndex, QString &address, QString &count) override;

private:
    void FillPortInfoGrid(int pairIndex) override;
    void buildControls();
    void OnInitDialog();
    // Reads the four fields and the address into the members.
    void exchangeFields();
    // The number of groups (when the field holds a number) and the initial address into the members.
    void readGroupFields();
    void onGroupSpinChanged();
    void onGroupAddressEdited();
    void openAddressEditor(std::uint32_t mode);
    // Moves rows to the selected grid of a side, adds their labels to its list; answers them.
    QStringList moveToSelected(bool all, CKvAvlGrid *available, CKvAvlGrid *selected, SortedStringList &list);
    // Returns rows of a selected grid to both available lists.
    void returnToAvailable(bool all, CKvAvlGrid *selected, SortedStringList &list);
    UtFilterGroup *findGroup(const QString &host, const QString &group);
    void installEngineHooks();
    // The host records of the section's "SourceAddressSettings", appended in file order.
    void readAddressSettings(XmlDocument &xml, ConfigFieldReader &reader);
    // Gives every host record the groups of the group list, in its order: a group's mode and sources
    // are kept when its address is listed, other groups go, missing ones come in Include mode without
    // sources. Answers the labels of the hosts whose groups changed.
    QStringList alignHostGroups();

    QLabel *m_trialsLabel = nullptr;
    QLabel *m_delayLabel = nullptr;
    QLabel *m_durationLabel = nullptr;
    QLabel *m_groupCountLabel = nullptr;
    QLabel *m_groupAddressLabel = nullptr;
    QLabel *m_filterTypeLabel = nullptr;
    QLabel *m_sourceAvailableLabel = nullptr;
    QLabel *m_sourceSelectedLabel = nullptr;
    QLabel *m_hostAvailableLabel = nullptr;
    QLabel *m_hostSelectedLabel = nullptr;
    std::vector<QPushButton *> m_moveButtons;
    bool m_loading = false;

    friend class CDlgAddressEdit;
};
