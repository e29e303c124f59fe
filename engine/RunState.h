// The state of a test run that the user interface decides and the engine reads: the stop request (with
// the signal that wakes the abortable waits), the result row and the frame-size row the runner is on,
// and the (pair, frame size) steps of each test. The main view holds the one record and shows it; the
// engine finds it through g_RunState.
#pragma once

#include "engine/TestIndex.h"

#include <QObject>
#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

#pragma pack(push, 1)
// One (pair, frame size) step of a test, as the result pages read it.
struct UtPairFrame
{
    std::uint16_t PairNo;
    std::uint16_t FrameSize;
    std::uint8_t Used;
};
#pragma pack(pop)
static_assert(sizeof(UtPairFrame) == 5);

class RunState : public QObject
{
    Q_OBJECT

public:
    RunState();
    ~RunState() override;
    RunState(const RunState &) = delete;
    RunState &operator=(const RunState &) = delete;

    // Sets the stop flag and wakes every abortable wait at once.
    void RequestStop();

    // 1 once Stop was given; cleared at Run and after the run.
    std::uint32_t StopRequested = 0;
    // The result-page row of the step the runner is on.
    std::uint32_t ReportRow = 0;
    // The frame-size row of the step the runner is on.
    std::uint32_t FrameSizeIndex = 0;
    // Per test, the (pair, frame size) steps its runner builds.
    std::array<std::vector<UtPairFrame>, TestCount> PairFrameLists;

signals:
    void stopRequested();
};

// The one run state; null while none exists.
extern RunState *g_RunState;

// Held while a result grid cell is written, because chart code reads the same grid under it.
extern std::recursive_mutex g_ChartLock;
