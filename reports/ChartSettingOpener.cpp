#include "reports/ChartSettingOpener.h"

#include "reports/ChartSetting.h"
#include "testpages/RateTestPage.h"

std::array<std::uint8_t, ChartSettingOpener::PageCount> ChartSettingOpener::s_bytes{};
std::uint8_t ChartSettingOpener::s_autoRunningStep = 0;
std::array<QPointer<CRateTestPage>, ChartSettingOpener::Filter> ChartSettingOpener::s_configPages;

int ChartSettingOpener::OnSetting(Page page, std::uint8_t autoRunningStep, QWidget *parent)
{
    MarkOpener(page, autoRunningStep);
    int result = 0;
    {
        CChartSetting dialog(parent);
        result = dialog.exec();
    }
    ClearOpener();
    return result;
}

void ChartSettingOpener::SetConfigPages(const std::array<CRateTestPage *, Filter> &pages)
{
    for (std::size_t i = 0; i < pages.size(); ++i)
        s_configPages[i] = pages[i];
}

CRateTestPage *ChartSettingOpener::ConfigPage(int page)
{
    if (page < 0 || page >= Filter)
        return nullptr;
    return s_configPages[std::size_t(page)].data();
}

void ChartSettingOpener::MarkOpener(Page page, std::uint8_t autoRunningStep)
{
    s_bytes.fill(0);
    if (page >= 0 && page < PageCount)
        s_bytes[std::size_t(page)] = 1;
    s_autoRunningStep = autoRunningStep;
}

void ChartSettingOpener::ClearOpener()
{
    s_bytes.fill(0);
    s_autoRunningStep = 0;
}

int ChartSettingOpener::OpeningPage()
{
    for (std::size_t i = 0; i < s_bytes.size(); ++i) {
        if (s_bytes[i] == 1)
            return int(i);
    }
    return kNone;
}
