// The Mixed Class test page, a child of the main view shown inside its tab area: the rate-page fields,
// and for every test pair the choice of one of its host ports as the pair's unicast port.
#pragma once

#include "testpages/RateTestPage.h"

class CUniPortCheck;

class CDlgMixClass : public CRateTestPage
{
    Q_OBJECT

public:
    explicit CDlgMixClass(QWidget *parent = nullptr);

    // Copies the page into the test plan and writes its configuration block to the test log.
    void ApplyToTestConfig(CIGMPTestPlan &plan);
    void SetLanguageText() override;

    // Lists the host ports of the pair of a pair-grid row in the unicast-port grid, the pair's unicast
    // port ticked; a pair whose unicast port is none of its hosts takes its first host.
    void ShowUnicastPort(int row);
    // The port of a unicast-port grid row becomes the unicast port of CurrentPair.
    void SetUnicastPort(int row);
    // The number (1 to 8) of the first pair of the running test whose unicast port this is, else 0.
    static std::uint8_t FindPairOfUnicastPort(std::uint16_t chassis, std::uint8_t card, std::uint8_t port);

    // The pair (1 to 8) whose unicast port the unicast-port grid shows; 0 before any.
    std::uint32_t CurrentPair = 0;
    QLabel *UnicastLabel = nullptr;
    CUniPortCheck *UnicastGrid = nullptr;

protected:
    void beforePairGridFill() override;
    void onCheckedPairRow(int row) override;
    void afterPairGridFill() override;
};
