// The main view's pages as the port check grids see them: which test or result page is on show, and
// the page operations a tick in one of those grids triggers. The view installs one for its lifetime.
#pragma once

#include "ports/PageDirectory.h"

class CMainFormView;
class CTestPageBase;
class ReportPage;

class ViewPageDirectory : public PageDirectory
{
public:
    explicit ViewPageDirectory(CMainFormView &view);
    ~ViewPageDirectory() override;
    ViewPageDirectory(const ViewPageDirectory &) = delete;
    ViewPageDirectory &operator=(const ViewPageDirectory &) = delete;

    bool IsTestPageShown(int page) const override;
    bool IsResultPageShown(int page) const override;
    void StorePortSettings(int page) override;
    void FillPortInfoGrid(int page, int row) override;
    void SetUnicastPort(int row) override;
    void ShowUnicastPort(int row) override;
    void SetClientLimit(int limit) override;
    void ClearPairSelection(int pair) override;
    void MovePairSelection(int from, int to) override;
    void CollectResults(int page) override;
    void DrawChart(int page) override;

private:
    CTestPageBase *testPage(int page) const;
    ReportPage *resultPage(int page) const;

    CMainFormView &m_view;
    PageDirectory *m_previous;
};
