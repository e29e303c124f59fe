// What the port check grids and the test-pair editor call on the pages of the main view: which test
// page and which result page is on show, and the page operations they trigger. The main view installs
// the one directory; tests install fakes. With none installed, nothing is shown.
#pragma once

class PageDirectory
{
public:
    // Test pages in test order, result pages in the report window's order.
    enum TestPageId
    {
        MixClass = 0,
        Aggregate,
        Scale,
        Latency,
        Capacity,
        JoinLeave,
        SourceFilter
    };
    enum ResultPageId
    {
        ResultMixClass = 0,
        ResultAggregate,
        ResultScale,
        ResultLatency,
        ResultFilter
    };

    virtual ~PageDirectory() = default;

    virtual bool IsTestPageShown(int page) const = 0;
    virtual bool IsResultPageShown(int page) const = 0;

    // The test pages that list test pairs (all but Source Filter for the first two).
    virtual void StorePortSettings(int page) = 0;
    virtual void FillPortInfoGrid(int page, int row) = 0;
    // The Mixed Class test page's unicast port of its current pair.
    virtual void SetUnicastPort(int row) = 0;
    virtual void ShowUnicastPort(int row) = 0;
    // The Aggregate page's limit of clients (n <= 0: no change).
    virtual void SetClientLimit(int limit) = 0;
    // The pages' selection byte of a pair (0-based): cleared, or taken over from another pair.
    virtual void ClearPairSelection(int pair) = 0;
    virtual void MovePairSelection(int from, int to) = 0;

    // Result pages: re-read the results of the pair now checked in the selector, redraw the chart.
    virtual void CollectResults(int page) = 0;
    virtual void DrawChart(int page) = 0;

    // The directory in use; null while none is installed.
    static PageDirectory *current();
    // Installs a directory (null: none) and returns the one installed before.
    static PageDirectory *install(PageDirectory *directory);
};
