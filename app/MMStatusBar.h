// The frame's status bar: pane 0 shows the program's status texts, pane 1 (id 102) the connection
// state as an icon and a text. The texts sit in labels of their own, so the menus' hover tips, which
// Qt shows as temporary messages, never wipe them.
#pragma once

#include <QIcon>
#include <QStatusBar>
#include <array>

class QLabel;

class MMStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    static constexpr int kPaneCount = 2;
    static constexpr int kConnectionPaneId = 102;

    explicit MMStatusBar(QWidget *parent = nullptr);

    // Sets the pane icons (pane 0 takes none); a pane with an icon is widened by the small-icon width.
    // Result 1.
    int SetPanes(const std::array<QIcon, kPaneCount> &icons);
    // Sets a pane's text; the connection pane is widened to fit it (and its icon).
    void SetPaneText(int pane, const QString &text);
    QString PaneText(int pane) const;
    QIcon PaneIcon(int pane) const { return m_icons[pane]; }
    int PaneCount() const { return kPaneCount; }
    QWidget *ConnectionPane() const { return m_connection; }

signals:
    // A click on a pane: its id (the connection pane sends 102).
    void paneCommand(int id);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitConnectionPane();

    QLabel *m_message;
    QWidget *m_connection;
    QLabel *m_connectionIcon;
    QLabel *m_connectionText;
    std::array<QIcon, kPaneCount> m_icons;
};
