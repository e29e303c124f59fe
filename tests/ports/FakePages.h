// A page directory for the port windows' tests: it records every page call, and the test chooses
// which pages are shown.
#pragma once

#include "ports/PageDirectory.h"

#include <QStringList>
#include <set>

// Records every page call; the shown pages are chosen by the test.
struct FakePages : PageDirectory
{
    FakePages() { before = install(this); }
    ~FakePages() override { install(before); }

    bool IsTestPageShown(int page) const override { return shownTest.count(page) != 0; }
    bool IsResultPageShown(int page) const override { return shownResult.count(page) != 0; }
    void StorePortSettings(int page) override { calls << QString("store %1").arg(page); }
    void FillPortInfoGrid(int page, int row) override { calls << QString("fill %1 %2").arg(page).arg(row); }
    void SetUnicastPort(int row) override { calls << QString("unicast %1").arg(row); }
    void ShowUnicastPort(int row) override { calls << QString("show %1").arg(row); }
    void SetClientLimit(int limit) override { calls << QString("limit %1").arg(limit); }
    void ClearPairSelection(int pair) override { calls << QString("clear %1").arg(pair); }
    void MovePairSelection(int from, int to) override { calls << QString("move %1 %2").arg(from).arg(to); }
    void CollectResults(int page) override { calls << QString("collect %1").arg(page); }
    void DrawChart(int page) override { calls << QString("draw %1").arg(page); }

    PageDirectory *before = nullptr;
    std::set<int> shownTest, shownResult;
    QStringList calls;
};
