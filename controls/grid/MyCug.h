// The grid of port settings: the physical-settings grid of the port-information page, the port grids
// of the test pages and the module-information grids. Which cells open for typing, what a drop-list
// choice changes elsewhere in its row and how typed VLAN ids and addresses are normalised depends on
// the kind of grid its owner sets when it attaches it.
#pragma once

#include "controls/grid/UGCtrl.h"

#include <functional>

class MyCug : public CUGCtrl
{
    Q_OBJECT

public:
    // The kinds of grid, by the dialog control ids that name them.
    enum GridKind
    {
        Other = 0,
        PhysicalSettings = 1114,
        MixClassPorts = 1545
    };
    // The drop-list message that reports a choice.
    static constexpr int kDropListChoice = 101;
    static constexpr COLORREF kEnabledBackColor = 0xFFFFFF;
    static constexpr COLORREF kEnabledTextColor = 0x000000;
    static constexpr COLORREF kDisabledBackColor = 0xE6E6E6;
    static constexpr COLORREF kDisabledTextColor = 0xAAAAAA;

    explicit MyCug(QWidget *parent = nullptr);
    ~MyCug() override;

    void SetGridKind(GridKind kind) { m_kind = kind; }
    GridKind GetGridKind() const { return m_kind; }

    // Takes a choice in the all-ports row of the physical-settings grid (its column and value) once the
    // drop list has closed; the owning page installs it. Without one the choice only stays in the cell.
    using AllPortsRunner = std::function<void(int col, const QString &value)>;
    void SetAllPortsRunner(AllPortsRunner runner) { m_runAllPorts = std::move(runner); }

    // Empty text in every body cell; headings and other properties stay.
    void ClearAllText();
    // The media code of the row's speed, duplex and negotiation texts; 15 when they match none.
    int GetLinkModeCode(int row);
    // Orders the rows by the number in their side heading; rows with an empty heading stay behind.
    void SortRowsByHeadingNumber();
    void SetCellReadOnly(int col, int row, int readOnly);
    int IsCellReadOnly(int col, int row);
    QString GetCellLabel(int col, int row);

    void HookCellDoubleClick(int col, int row, UgRect *rect, QPoint *point, int processed) override;
    int HookCellTypeEvent(int typeId, int col, int row, int message, qint64 parameter) override;
    int HookEditFinished(int col, int row, QWidget *editor, QString &text, int cancelled) override;
    int CompareCellsForSort(CUGCell *a, CUGCell *b, int flags) override;
    COLORREF GetDefaultBackColor(int section) override;
    void DrawFocusFrame(QPainter *painter, UgRect *rect) override;
    void HookFocusLost(int section, QWidget *newFocus) override;

    // "%d" of the integer at the start of the text, clamped to 0..4095.
    static QString NormaliseVlanText(const QString &text);
    // Four parts cut at the first three '.', each kept to its low 8 bits: "%d.%d.%d.%d".
    static QString NormaliseAddressText(const QString &text);

private:
    bool isVlanColumn(int col) const;
    bool isAddressColumn(int col) const;
    void setCellsEnabled(int firstCol, int row, bool enabled);
    void runAllPorts(int col, const QString &value);
    void swapRows(int first, int second);

    GridKind m_kind = Other;
    AllPortsRunner m_runAllPorts;
};
