// One frame-size row of a throughput or latency test page: its rates (per cent of line rate) and frame
// size. On the Latency page MinRate is the rate step. Also the rules by which the frame-size editor
// holds typed sizes and rates within their bounds.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

#pragma pack(push, 1)
struct UtCustomFrame
{
    double InitialRate;
    double MinRate;
    double MaxRate;
    double Resolution;
    std::uint16_t FrameSize;
};
#pragma pack(pop)
static_assert(sizeof(UtCustomFrame) == 34);

// Bounds of the frame-size editor.
constexpr int kMinCustomFrameSize = 60;
constexpr int kMaxCustomFrameSize = 16100;

// A row the runners can use: a frame size the streams take, rates within 0-100 and, for a throughput
// row, minimum <= initial <= maximum with a resolution above 0 (a latency row: a rate step above 0).
bool IsUsableFrameRow(const UtCustomFrame &row, bool rateStep);

// The seven rows a custom frame-size table starts with: 64 to 1518 bytes at 50, 10, 100 and 1 per cent.
std::vector<UtCustomFrame> DefaultCustomFrames();

// A typed frame size as the editor keeps it: commas dropped when one follows the first character, the
// whole number held to 60..16100 (no number: 60), "%d".
QString NormaliseFrameSizeText(const QString &text);
// A typed rate of column 1 (initial), 2 (minimum or step), 3 (maximum) or 4 (resolution), held to
// 0.01..100 and ordered against the row's other rates (initial, minimum, maximum as shown), "%.2f".
QString NormaliseRateText(int col, const QString &text, double initial, double minimum, double maximum);
// Whether the editor takes a typed character: with nothing selected, no third decimal (backspace
// always passes) and no whole number above 16100.
bool AcceptFrameEditKey(const QString &text, int key, bool hasSelection);
// The frame size of a shown cell text: its first comma dropped when it is not the first character.
std::uint16_t FrameSizeOfText(const QString &text);
