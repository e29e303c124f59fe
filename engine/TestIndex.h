// The seven tests in their fixed order of a run. The value is the test plan's test type and the index
// of the per-test run tables, result sets and tab items.
#pragma once

enum TestIndex
{
    TestMixClass = 0,
    TestAggregate,
    TestScale,
    TestLatency,
    TestCapacity,
    TestJoinLeave,
    TestSourceFilter,
    TestCount
};
