#include "engine/RateSearch.h"

#include <cmath>

const RateSearch::Texts RateSearch::kMixedClassTexts = {
    "Pass! Test achieve the Max. rate, Thoughput ==> %.2f\n",
    "Pass! Test achieve the resolution, Thoughput ==> %.2f\n",
    "Pass! Next current rate : %.2f, Min. rate : %.2f, Max. rate : %.2f\n",
    "Failed! Test achieve the Min. rate, Throughput ==> n/a\n",
    "Failed! Next current rate is %.2f, Min. rate : %.2f, Max. rate : %.2f\n",
    "Failed! Test achieve the Min. rate, throughput is n/a\n",
    "Failed! Next Current rate : %.2f, Min. rate : %.2f, Max. rate : %.2f\n",
};

const RateSearch::Texts RateSearch::kAggregateTexts = {
    "Pass! Test achieve the maximum rate, Thoughput ==> %.2f\n",
    "Pass! Test achieve the resolution, Thoughput ==> %.2f\n",
    "Pass! Next current rate :  %.2f, Min. rate : %.2f, Max. rate : %.2f\n",
    "Fail in first tx! Test achieve the Min. rate, Throughput : n/a\n",
    "Fail in first Tx! Next current rate :  %.2f, Min. rate : %.2f, Max. rate : %.2f\n",
    "Failed! Test achieve the Min. rate, Throughput : n/a\n",
    "Failed! Next current rate :  %.2f, Min. rate : %.2f, Max. rate : %.2f\n",
};

RateSearch::RateSearch(double initial, double minimum, double maximum, double resolution)
    : m_current(initial), m_min(minimum), m_max(maximum),
      m_resolution(resolution > 0 ? resolution : kMinResolution) // also catches NaN
{
}

RateSearch::Step RateSearch::step(bool pass, const Texts &texts, QString *logLine)
{
    const double tried = m_current;
    QString text;
    Step result = Step::Continue;
    if (pass) {
        if (m_current == m_max) {
            result = Step::StopPassMax;
            text = QString::asprintf(texts.passMax, tried);
        } else if (m_max - m_min < m_resolution) {
            result = Step::StopPassResolution;
            text = QString::asprintf(texts.passResolution, tried);
        } else {
            m_min = m_current;
            m_current = (m_max - m_current >= m_resolution) ? (m_current + m_max) * 0.5 : m_max;
            text = QString::asprintf(texts.passNext, m_current, m_min, m_max);
        }
    } else if (m_current == m_min) {
        result = Step::StopFailMin;
        text = QString::fromLatin1(m_first ? texts.failMinFirst : texts.failMinLater);
    } else {
        m_max = m_current;
        if (m_first) {
            m_current *= 0.8;
            if (m_current - m_min < m_resolution)
                m_current = m_min;
            text = QString::asprintf(texts.failNextFirst, m_current, m_min, m_max);
        } else {
            m_current = (m_current - m_min > m_resolution) ? (m_current + m_min) * 0.5 : m_min;
            text = QString::asprintf(texts.failNextLater, m_current, m_min, m_max);
        }
    }
    m_first = false;
    if (logLine)
        *logLine = QString::asprintf("* Current rate %.2f, ", tried) + text;
    return result;
}
