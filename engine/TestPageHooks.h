// What the Group Capacity and Join/Leave procedures need of their test pages: the pages show the
// results and, without hardware, make up the counters and time stamps. Each page installs itself in
// EngineHost when it is created; the procedures skip a page that is not installed.
#pragma once

#include <QString>
#include <cstdint>

class CIGMPTestPlan;

class CapacityPageHooks
{
public:
    virtual ~CapacityPageHooks() = default;
    // The start of a run: the result grid laid out from the plan's ports, every count empty until a step
    // has read its own, and the capacity label "n/a" until a step passes.
    virtual void LayOutResults(const CIGMPTestPlan &plan) = 0;
    // Refreshes the result grid with the receive counters a step has just read.
    virtual void ShowResults(CIGMPTestPlan &plan) = 0;
    // One group step judged: true when every receiving port of a selected pair got exactly `groups`
    // frames and the monitor port none; the capacity label then shows `groups`.
    virtual bool CheckGroupStepPassed(const CIGMPTestPlan &plan, std::uint32_t groups) = 0;
    // Demo mode: counters as if every receiving port got one frame of each of `groups` groups.
    virtual bool FillSyntheticCounters(const CIGMPTestPlan &plan, std::uint32_t groups) = 0;
};

class JoinLeavePageHooks
{
public:
    static constexpr int kJoinColumn = 1;
    static constexpr int kLeaveColumn = 2;

    virtual ~JoinLeavePageHooks() = default;
    // Empties the result grid and lays out one row per test pair and one per receiving port below it,
    // "n/a" in both delay columns.
    virtual void ShowResults(const CIGMPTestPlan &plan) = 0;
    // Made-up join (kind 1) or leave (any other kind) time stamps for every receiving port.
    virtual bool FillSyntheticDelayStamps(const CIGMPTestPlan &plan, std::uint8_t kind) = 0;
    // A delay cell of the result grid.
    virtual void SetDelayCell(int row, int column, const QString &text) = 0;
    // The average label of a delay column.
    virtual void SetAverageText(int column, const QString &text) = 0;
};
