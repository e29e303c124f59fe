#include "testpages/CustomFrame.h"

#include "engine/IGMPTestPlan.h"
#include "platform/NumberText.h"

#include <algorithm>

namespace {
constexpr int kBackspace = 8;
constexpr double kMinRate = 0.01;
constexpr double kMaxRate = 100;
} // namespace

bool IsUsableFrameRow(const UtCustomFrame &row, bool rateStep)
{
    const auto inRange = [](double rate) { return rate > 0 && rate <= 100; }; // false for NaN
    if (row.FrameSize < kMinFrameSize || row.FrameSize > kMaxFrameSize)
        return false;
    if (!inRange(row.InitialRate) || !inRange(row.MaxRate))
        return false;
    // A latency row runs its rates from the initial one by the step; an initial rate above the
    // maximum runs none.
    if (rateStep)
        return row.MinRate > 0;
    return row.Resolution > 0 && inRange(row.MinRate) && row.MinRate <= row.InitialRate &&
           row.InitialRate <= row.MaxRate;
}

std::vector<UtCustomFrame> DefaultCustomFrames()
{
    std::vector<UtCustomFrame> rows;
    for (const std::uint16_t size : {64, 128, 256, 512, 1024, 1280, 1518})
        rows.push_back({50, 10, 100, 1, size});
    return rows;
}

QString NormaliseFrameSizeText(const QString &text)
{
    QString number = text;
    if (number.indexOf(u',', 1) > 0)
        number.remove(u',');
    const int size = std::clamp(toIntPrefix(number), kMinCustomFrameSize, kMaxCustomFrameSize);
    return formatInt(size);
}

QString NormaliseRateText(int col, const QString &text, double initial, double minimum, double maximum)
{
    // The editor holds rates in single precision.
    double value = double(float(toDoublePrefix(text)));
    if (!(value >= kMinRate))
        value = kMinRate;
    else if (value > kMaxRate)
        value = kMaxRate;
    switch (col) {
    case 1:
        if (value < minimum)
            value = minimum;
        if (value > maximum)
            value = maximum;
        break;
    case 2:
        if (value > initial)
            value = initial;
        if (value > maximum)
            value = maximum;
        break;
    case 3:
        if (value < initial)
            value = initial;
        break;
    default:
        break;
    }
    return formatFixed(value, 2);
}

bool AcceptFrameEditKey(const QString &text, int key, bool hasSelection)
{
    if (hasSelection)
        return true;
    if (key == kBackspace)
        return true;
    const qsizetype point = text.indexOf(u'.');
    if (point >= 0 && text.size() - point >= 3)
        return false;
    const QString typed = text + QChar(key);
    qint64 value = 0;
    parseDecimalPrefix(typed, value, LLONG_MIN, LLONG_MAX);
    return value <= kMaxCustomFrameSize;
}

std::uint16_t FrameSizeOfText(const QString &text)
{
    QString number = text;
    const qsizetype comma = number.indexOf(u',');
    if (comma > 0)
        number.remove(comma, 1);
    return std::uint16_t(toIntPrefix(number));
}
