// The grid's sheet tabs along the bottom edge, left of the horizontal scroll bar: one tab per
// sheet (at most 64), a small scroll bar to scroll them, and a right edge that sizes the strip.
#pragma once

#include <QFont>
#include <QString>
#include <QWidget>
#include <vector>

class CUGCtrl;
class CUGGridInfo;
class QScrollBar;

class CUGTab : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMaxTabs = 64;
    static constexpr int kScrollBarId = 100;
    static constexpr int kSizingEdge = 7;
    static constexpr int kMinAreaWidth = 40;
    static constexpr int kScrollStep = 5;

    explicit CUGTab(CUGCtrl *ctrl);

    void SetSheet(CUGGridInfo *sheet) { m_GI = sheet; }
    // 1 when the tab table is full.
    int AddTab(const QString &label, int tabId);
    int GetTabCount() const { return int(m_tabs.size()); }
    int GetCurrentTab() const { return m_currentTab; }
    int GetScrollOffset() const { return m_scrollOffset; }
    // 1 when there are no tabs.
    int UpdateScrollRange();
    void SetTabAreaWidth(int width);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    struct Tab
    {
        QString label;
        int width = 0;
        int id = 0;
    };
    int buttonWidth() const;
    // The tab under x, -1 for none.
    int tabAt(int x) const;
    void scrollBy(int action);

    CUGCtrl *m_ctrl;
    CUGGridInfo *m_GI = nullptr;
    QScrollBar *m_scrollBar;
    QFont m_font;
    std::vector<Tab> m_tabs;
    int m_scrollOffset = 0;
    int m_maxScrollOffset = 0;
    int m_currentTab = 0;
    int m_onEdge = 0;
    int m_dragging = 0;
};
