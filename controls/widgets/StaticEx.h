// A label with its own text and background colours, an optional background bitmap stretched over it,
// and optional click actions: toggle a window, open a link target.
#pragma once

#include "platform/ColorRef.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>

class CStaticEx : public QWidget
{
    Q_OBJECT
public:
    static constexpr COLORREF VisitedColor = 0xC08000;

    explicit CStaticEx(QWidget *parent = nullptr);

    void SetText(const QString &text);
    QString GetText() const { return m_text; }
    void SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return m_textColor; }
    void SetBackColor(COLORREF color);
    void SetBackgroundBitmap(const QPixmap &bitmap);
    void SetAlignment(Qt::Alignment alignment);
    void SetLinkTarget(const QString &target);
    bool IsVisited() const { return m_visited; }
    void SetToggleWindow(QWidget *window) { m_toggleWindow = window; }
    void SetHandCursor(bool hand);

    // How a link target is opened; tests replace it. A failure beeps and is told through the prompter.
    void SetLinkOpener(std::function<bool(const QString &target)> opener) { m_open = std::move(opener); }

signals:
    // Every click, after the window toggle and the link; stands for the object and window to notify.
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString m_text;
    COLORREF m_textColor;
    COLORREF m_backColor;
    QPixmap m_bitmap;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
    QString m_linkTarget;
    bool m_visited = false;
    QPointer<QWidget> m_toggleWindow;
    std::function<bool(const QString &)> m_open;
};
