// Which result page opened the chart setting dialog, and where the dialog finds what it lists for that
// page: the page's "running step" byte, which the page hands over, and the test configuration page of
// the page's test, which the main view installs once it has made its pages.
#pragma once

#include <QPointer>
#include <array>
#include <cstdint>

class CRateTestPage;
class QWidget;

class ChartSettingOpener
{
public:
    // The result pages in the report window's order.
    enum Page
    {
        MixClass = 0,
        Aggregate,
        Scale,
        Latency,
        Filter,
        PageCount
    };
    // No page has the dialog open.
    static constexpr int kNone = -1;

    // The "Setting" button of a result page: marks the page as the opener, shows the chart setting
    // dialog modally over parent and clears the mark when it closes. autoRunningStep is the page's
    // FirstStep (1 while its chart follows the running step). Returns the dialog's result, which the
    // pages ignore: the dialog stores nothing.
    static int OnSetting(Page page, std::uint8_t autoRunningStep, QWidget *parent);

    // The test configuration pages behind the Mixed Class, Aggregate, Scale and Latency result pages,
    // in that order; a page that is destroyed counts as none.
    static void SetConfigPages(const std::array<CRateTestPage *, Filter> &pages);
    // The configuration page of a result page; null for the Filter page or when none is installed.
    static CRateTestPage *ConfigPage(int page);

    // Marks page as the opener (its byte 1, the others 0) with its running-step byte, and clears the
    // mark; OnSetting does both around the dialog.
    static void MarkOpener(Page page, std::uint8_t autoRunningStep);
    static void ClearOpener();
    // One byte per result page: 1 for the page whose dialog is open.
    static const std::array<std::uint8_t, PageCount> &Bytes() { return s_bytes; }
    // The page whose byte is set, or kNone.
    static int OpeningPage();
    // The running-step byte of the opening page; 0 when none is open.
    static std::uint8_t AutoRunningStep() { return OpeningPage() == kNone ? 0 : s_autoRunningStep; }

private:
    static std::array<std::uint8_t, PageCount> s_bytes;
    static std::uint8_t s_autoRunningStep;
    static std::array<QPointer<CRateTestPage>, Filter> s_configPages;
};
