// The port-settings page: one grid row per port this program has locked, with its link state and the
// physical settings the user may change (speed, duplex, negotiation, copper or fibre, master or slave,
// SFP management mode) and send to the modules with "Apply". It also carries the Router Alert switch
// of the IGMP reports and two waiting times. A child page of the main view.
#pragma once

#include "platform/ColorRef.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class CDlgPortCfgSet;
class CNumEdit;
class CNumSpinCtrl;
class MyCug;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

#pragma pack(push, 1)
// The physical setting of one port as read from its grid row.
struct UTPortInfoCfg
{
    std::uint16_t CID;
    std::uint8_t BID;
    std::uint8_t PID;
    std::uint8_t ModuleType;
    std::uint8_t Spare;      // 0
    std::uint16_t MediaCode; // 0-13; 15 when speed, duplex and negotiation make no valid combination
    std::uint8_t FiberMode;
    std::uint8_t SlaveMode;
    std::uint8_t ShadowMode;
};
#pragma pack(pop)
static_assert(sizeof(UTPortInfoCfg) == 11);

class CPortInfoConfig : public QWidget
{
    Q_OBJECT

public:
    // Grid columns.
    enum Column
    {
        ColModel = 0,
        ColAlias,
        ColSpeed,
        ColDuplex,
        ColFlowControl,
        ColNegotiation,
        ColMedia,
        ColMasterSlave,
        ColSfpMode,
        ColumnCount
    };
    static constexpr COLORREF kHeadingBackColor = 0xE6B496;

    explicit CPortInfoConfig(QWidget *parent = nullptr);

    // Relabels the page's controls from the current language.
    void SetLanguageText();

    // Rebuilds the grid from the session's locked ports and their link states, then clears the row flags.
    void FillPortGrid();
    // A refill on the next turn of the event loop; a burst of requests refills once.
    void RequestPortGridRefresh();
    // One false flag per port row.
    void ClearRowFlags();
    // The settings of the port rows (rows whose port is not in the inventory are left out); each port's
    // slave and SFP mode flags are kept in its hardware record at once.
    std::vector<UTPortInfoCfg> CollectPortSettings();
    void OnApply();
    void OnDefault();
    void OnRouterAlert(bool checked);
    void OnMinWaitTimeChanged();
    void OnMediaTimeoutChanged();

    // Takes the physical-settings grid and has a choice in its all-ports row open "Select Ports to
    // Modify".
    void AttachSettingsGrid(MyCug *grid);
    // Runs the "Select Ports to Modify" dialog modally and answers its result; tests put a double here.
    using PortCfgSetRunner = std::function<int(CDlgPortCfgSet &)>;
    void SetPortCfgSetRunner(PortCfgSetRunner runner) { m_runPortCfgSet = std::move(runner); }

    // The physical-settings grid, a direct child of the page.
    MyCug *SettingsGrid = nullptr;
    // One flag per port row of the grid (index = grid row - 1): the rows a value is copied to.
    std::vector<bool> RowFlags;
    // Counts the refills, so that a choice made for an older grid is not applied to a newer one.
    std::uint32_t FillGeneration = 0;
    int MinWaitTime = 4;
    int MediaChangeTimeout = 8;

    CNumEdit *MinWaitEdit = nullptr;
    CNumEdit *MediaTimeoutEdit = nullptr;
    CNumSpinCtrl *MinWaitSpin = nullptr;
    CNumSpinCtrl *MediaTimeoutSpin = nullptr;
    QCheckBox *RouterAlertBox = nullptr;
    QPushButton *ApplyButton = nullptr;
    QPushButton *DefaultButton = nullptr;

private:
    void OnInitDialog();
    void fillHeadings();
    void fillAllPortsRow();
    void fillPortRow(int row, int portIndex);
    void applyInDemo(const std::vector<UTPortInfoCfg> &settings);
    static void applyToHardware(const std::vector<UTPortInfoCfg> &settings);

    QGroupBox *m_waitGroup = nullptr;
    QLabel *m_minWaitLabel = nullptr;
    QLabel *m_mediaTimeoutLabel = nullptr;
    bool m_refillPending = false;
    PortCfgSetRunner m_runPortCfgSet;
};
