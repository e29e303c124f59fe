// A tree with check boxes whose items may have their own text colour, which toggles the checks itself
// and hands each check click to its owner.
#pragma once

#include "platform/ColorRef.h"

#include <QPixmap>
#include <QTreeWidget>
#include <functional>

class CTreeCtrlEx : public QTreeWidget
{
    Q_OBJECT
public:
    // State images: 1 unchecked, 2 greyed, 3 checked, 4 and above cannot change (4 prohibited, 5 "L").
    enum StateImage
    {
        NoState = 0,
        Unchecked = 1,
        Greyed = 2,
        Checked = 3,
        Prohibited = 4,
        LockedHere = 5
    };
    static constexpr int StateImageRole = Qt::UserRole + 1;
    // True once the item has its own colour record (AssignItemTextColor).
    static constexpr int ColorRecordRole = Qt::UserRole + 2;
    static constexpr int ItemDataRole = Qt::UserRole; // 1 = fixed by the owner
    // The first item data role the tree leaves to its owner.
    static constexpr int FirstOwnerRole = Qt::UserRole + 3;
    static constexpr COLORREF SystemTextColor = 0xFFFFFFFF;
    static constexpr int StateImageWidth = 13;

    explicit CTreeCtrlEx(QWidget *parent = nullptr);

    static void SetStateImage(QTreeWidgetItem *item, int state);
    static int GetStateImage(const QTreeWidgetItem *item);
    static void SetItemData(QTreeWidgetItem *item, int data);
    static int GetItemData(const QTreeWidgetItem *item);

    // 0xFFFFFFFF gives the system text colour back; the item keeps the tree's font.
    void AssignItemTextColor(QTreeWidgetItem *item, COLORREF color);
    bool HasCheckedStateImage(const QTreeWidgetItem *item) const;
    // Called with the item after a click on a changeable check box has toggled it.
    void SetClickCallback(std::function<void(QTreeWidgetItem *)> callback)
    {
        m_callback = std::move(callback);
    }
    // Images indexed by state (index 0 unused); our own drawing until replaced.
    void SetStateImages(const QList<QPixmap> &images);
    const QList<QPixmap> &StateImages() const { return m_stateImages; }
    // The check box of an item, in viewport coordinates; empty for an item without a state image.
    QRect StateIconRect(const QTreeWidgetItem *item) const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QList<QPixmap> m_stateImages;
    std::function<void(QTreeWidgetItem *)> m_callback;
    QPersistentModelIndex m_pressedOnState; // the item whose check box the button went down on
};
