// What the seven test pages share: the frame of a page (its configuration box, the pair grid, the
// port-settings grid with its four category buttons), the page's own copy of every port's protocol
// settings, the fill of both grids from the test pairs, and the copy of the pairs, ports and port
// settings into the test plan. A page puts its own fields into ConfigBox and adds what differs through
// the hooks below.
#pragma once

#include "engine/EngineUtils.h"
#include "engine/TestPlanRecords.h"
#include "platform/ColorRef.h"
#include "testpages/PortSettings.h"

#include <QFont>
#include <QString>
#include <QStringView>
#include <QWidget>
#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

class CIGMPTestPlan;
class CGroupPortCheck;
class MyCug;
class QButtonGroup;
class QColor;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QRadioButton;
class QTableWidget;
class QVBoxLayout;
class ConfigFieldReader;
class QLineEdit;
class XmlDocument;
struct UtPortRecord;

class CTestPageBase : public QWidget
{
    Q_OBJECT

public:
    // The three column layouts of the port-settings grid.
    enum class PortLayout
    {
        Standard,    // 20 columns
        MixClass,    // 24 columns: the unicast VLAN tag after "VLan Priority"
        SourceFilter // 20 columns, "Number of Group" shown, no pair grid
    };
    // Column indexes of a layout.
    struct Columns
    {
        int count;
        int unicast; // first unicast VLAN column, -1 when none
        int address; // IP address; gateway and mask follow
        int link;    // link status; speed, duplex and negotiation follow
        int group;   // group IP; number of groups follows
    };
    static constexpr int kVlanEnableColumn = 7;
    static constexpr int kMacColumn = 6;
    static constexpr int kAddTimesColumn = 1;
    static constexpr int kProtocolColumn = 5;
    static constexpr int kPortRows = 64;
    static constexpr int kColumnWidth = 125;
    static constexpr int kProtocolWidth = 135;
    static constexpr unsigned kDropListParam = 512;
    static constexpr int kPairCheckStyle = 0x1000;
    static constexpr COLORREF kHeadingColor = 0x008CE664; // RGB(100, 230, 140)

    CTestPageBase(PortLayout layout, QWidget *parent);
    ~CTestPageBase() override;

    static Columns ColumnsOf(PortLayout layout);
    // "(%3d,%2d,%d) - " and the model name of the port's module in the inventory table.
    static QString PortLabelOf(const UtPortRecord &record);
    const Columns &GetColumns() const { return m_columns; }
    PortLayout GetPortLayout() const { return m_layout; }

    // Port-settings list: one entry per port record, same index. Extends the list with the records'
    // current settings for records appended since the page was made.
    void SnapshotPortSettings();
    // Reads the grid rows from the top until an empty label into the list entries of their ports.
    void StorePortSettings();

    // Lays the port-settings grid out once (rows, widths, titles, the "All" columns).
    bool InitPortInfoGrid();
    // Rebuilds the port-settings grid from the ticked rows of the pair grid and sets PairChecked from
    // the check boxes; a row met again shows the group of pair index pairIndex.
    virtual void FillPortInfoGrid(int pairIndex);
    // Writes every cell of a row from the port record, the page's list entry and the test pair.
    void SetPortInfoRow(int row, std::size_t portIndex, int pairIndex);
    // The first row whose label is the text (exact), else -1.
    int FindPortInfoRow(const QString &label);
    // Claims the first row with an empty label (a row is added when none is free) and writes the
    // label and "1" into it.
    int AddPortInfoRow(const QString &label);

    // Rebuilds the pair grid from the test plan's pairs in use and PairChecked, and lists the ports
    // of the flagged pairs. The Source Filter page has no pair grid.
    virtual void FillPairGrid();
    // The heading row of a pair in the Capacity and Join/Leave result grids: "Test Pair -%d".
    static QString ResultPairLabel(int pair);
    // Refills the port-settings grid once for every ticked pair row.
    void FillPortInfoGridForCheckedPairs();
    // After a tick or untick in the pair grid: the port-settings grid of the row's pair.
    void FillPortInfoGridForPairRow(int row);

    // The category buttons: which columns of the port-settings grid show.
    void OnCategoryAll();
    void OnCategoryBasic();
    void OnCategoryProtocol();
    void OnCategoryIgmpSetting();

    // Relabels the frame's own controls from the current language.
    virtual void SetLanguageText();

    // One value of the page's section in the configuration file: the element's name and the control
    // that holds it (a line edit's text, a combo box's selected index, a check box's state).
    struct SectionField
    {
        const char *element;
        QWidget *control;
    };
    // The page's own fields in the order its section stores them; the frame has none.
    virtual std::vector<SectionField> SectionFields() { return {}; }

    // Whether the page's fields can run its test; a refusal that names a field leaves its reason in
    // RefusalReason.
    virtual bool CheckFieldsValid() = 0;

    // The page's section of the configuration file. SaveXml adds the element `section` after the
    // current element of a document standing inside its root element (at its last child, or before
    // any): "isSelected", the ticked pairs, the page's fields, the custom frame-size table of a rate
    // page and the port block; the document then stands at the new section. False when the document
    // does not stand inside the root.
    // LoadXml reads the section back from the parsed file, searched from the document's top (a missing
    // element leaves its value, a missing section only refills the grids); selected is written only
    // when the section holds "isSelected". A value outside its field's range is listed in `refused` and
    // the field keeps its value.
    static bool SaveXml(CTestPageBase &page, const char *section, bool selected, XmlDocument &xml);
    static void LoadXml(CTestPageBase &page, const char *section, XmlDocument &xml, bool &selected,
                        QStringList &refused);
    // The port block of a section, at the current position inside the section: one
    // "AvailablePortSettings<row + 1>" per grid row down to the first empty label whose port is a port
    // record, and back into the port-settings list (every such element in document order, a port
    // matched by chassis, card and port). The caller stores the grid before writing and refills it
    // after reading.
    void WritePortBlock(XmlDocument &xml);
    void ReadPortBlock(XmlDocument &xml, ConfigFieldReader &reader);
    // A field's text of the configuration file into its line edit: a number edit takes only a number
    // within its range, or no text; any other text is refused and the edit keeps its own.
    static void LoadFieldText(QLineEdit &edit, const QString &text, ConfigFieldReader &reader);

    // Payload combo index to the plan's payload pattern code, and IGMP version combo index to the
    // version (-1: no selection).
    static std::uint8_t PayloadPatternOfIndex(int index);
    static std::uint8_t IgmpVersionOfIndex(int index);
    // The pair number a pair-grid row label ends with (1 to 8), 0 when none.
    static int PairNumberOfLabel(const QString &label);

    // What the page's last check of its fields refused, in the current language: the field, its value
    // and the rule it breaks; empty when the check passed or named no field.
    const QString &RefusalReason() const { return m_refusal; }
    // Refusal texts, a field named by its label and given with the text it holds: out of its range,
    // above another field, not below another field.
    static QString RangeRefusal(const QLabel *field, const QString &value, const QString &minimum,
                                const QString &maximum);
    static QString AboveRefusal(const QLabel *field, const QString &value, const QLabel *other,
                                const QString &otherValue);
    static QString NotBelowRefusal(const QLabel *field, const QString &value, const QLabel *other,
                                   const QString &otherValue);

    // Flags of pair numbers 1 to 8 (entry 0 unused): 1 while the pair is ticked on this page.
    std::array<std::uint8_t, 9> PairChecked{};
    std::vector<UtPortProtocolSettings> PortSettingsList;

    QGroupBox *ConfigBox = nullptr; // " Test Configuration ": the page's own fields
    QGroupBox *PairBox = nullptr;   // around the pair grid; none on the Source Filter page
    QGroupBox *PortBox = nullptr;   // "Available Port Information :"
    CGroupPortCheck *PairGrid = nullptr;
    MyCug *PortGrid = nullptr;
    QLabel *CategoryLabel = nullptr;
    QRadioButton *CategoryAll = nullptr;
    QRadioButton *CategoryBasic = nullptr;
    QRadioButton *CategoryProtocol = nullptr;
    QRadioButton *CategoryIgmpSetting = nullptr;

protected:
    // A check of the fields starts with no reason, and a refusal notes its reason and answers false.
    void clearRefusal() const { m_refusal.clear(); }
    bool refuse(const QString &reason) const
    {
        m_refusal = reason;
        return false;
    }
    // The pair grid's group box reads " Source Pair : " on the rate pages, "Test Pair : " otherwise.
    void SetPairBoxKey(const char *key) { m_pairBoxKey = key; }
    // Steps 2 to 4 of the copy into the test plan: the ticked pairs into the plan's selected pairs and
    // PairChecked; the ports of the grid rows into the source and host lists (hosts also into
    // hostList when given); each row's settings written back into its port record.
    void ApplyPairsAndPorts(CIGMPTestPlan &plan, std::vector<UtTestPort> *hostList);
    // A row of the port-settings grid that names a port of the inventory.
    struct PortRow
    {
        int row;
        QString label;
        UtPortKey key;
        std::size_t index; // into the session's port records
    };
    // The grid's rows from the top down to the first empty label (within the first maxRows; -1: all),
    // without those whose label names no port of the inventory.
    std::vector<PortRow> InventoryPortRows(int maxRows = -1);
    // Puts a box with a read-only result grid (one row, the given number of columns) beside the
    // configuration box and returns the column that holds it, for a page's further result boxes below.
    QVBoxLayout *AddResultBesideConfig(QGroupBox *&box, QTableWidget *&grid, int columns);
    // Adds the IGMP version row (v1, v2, v3; v2 chosen) to the configuration box's grid at the row.
    void AddIgmpVersionRow(QGridLayout *grid, int row, const QString &comboName, QLabel *&label,
                           QComboBox *&combo);
    // A result value's look: its colour, and a sans-serif font of the pixel size and weight.
    static void StyleResultLabel(QLabel *label, const QColor &colour, int pixelSize, QFont::Weight weight);
    // A tested-port record of a grid row's port.
    UtTestPort TestPortOfRow(int row, const UtPortKey &key, std::size_t portIndex);
    // Writes a grid row's addresses and VLAN tags (the unicast tag too where the layout has it) into
    // the port record of that index.
    void WriteRowSettings(int row, std::size_t portIndex);
    // Refusals of a page's check: a VLAN id or priority of a port row that is no whole number within
    // its range (named by row, port, column, text and range); no ticked pair in the pair grid.
    bool checkPortTags();
    bool checkPairTicked() const;

    // Hooks of the pair-grid fill: before the rows are rebuilt, for each ticked row added, and after.
    virtual void beforePairGridFill() {}
    virtual void onCheckedPairRow(int /*row*/) {}
    virtual void afterPairGridFill() {}
    // The group texts a row shows.
    virtual void groupTexts(int pairIndex, QString &address, QString &count);
    // Writes the link cells of a row from the port's link code and module type.
    void setLinkCells(int row, std::uint8_t linkCode, std::uint8_t moduleType);

private:
    void ensurePortSettings();
    void setColumnWidths(std::initializer_list<std::pair<int, int>> shown, bool hideOthers);
    void setTagCells(int firstCol, int row, std::uint8_t state, std::uint16_t id, std::uint8_t cfi,
                     std::uint8_t priority);
    void storeRow(int row, std::size_t portIndex, UtPortProtocolSettings &settings);
    // The grid's VLAN id and priority columns (the unicast ones too where the layout has them), each
    // with its largest value and the setting it fills.
    struct TagCell
    {
        int column;
        int maximum;
        void (*store)(UtPortProtocolSettings &settings, int value);
    };
    std::vector<TagCell> tagCells() const;

    PortLayout m_layout;
    Columns m_columns;
    const char *m_pairBoxKey = "TestPage_Test_Pair";
    QButtonGroup *m_categories = nullptr;
    mutable QString m_refusal;
    // Tag texts of the grid that fit no setting, by port index and column: the setting keeps its value,
    // the grid keeps showing the text through every refill, and Run refuses it.
    std::map<std::pair<std::size_t, int>, QString> m_untakenTagTexts;
};
