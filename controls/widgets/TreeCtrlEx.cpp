#include "TreeCtrlEx.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int stateGap = 3;

QList<QPixmap> drawnStateImages()
{
    const int side = CTreeCtrlEx::StateImageWidth;
    QList<QPixmap> images;
    images.append(QPixmap());
    for (int state = CTreeCtrlEx::Unchecked; state <= CTreeCtrlEx::LockedHere; ++state) {
        QPixmap image(side, side);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        const QRect box(0, 0, side - 1, side - 1);
        if (state == CTreeCtrlEx::Prohibited) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(fromColorRef(RGB(200, 0, 0)), 2));
            painter.drawEllipse(QRectF(box).adjusted(1, 1, -1, -1));
            painter.drawLine(QPointF(3, 3), QPointF(side - 4, side - 4));
        } else {
            painter.fillRect(
                box, fromColorRef(state == CTreeCtrlEx::Greyed ? RGB(212, 208, 200) : RGB(255, 255, 255)));
            painter.setPen(fromColorRef(RGB(28, 81, 128)));
            painter.drawRect(box);
            painter.setPen(QPen(fromColorRef(RGB(33, 161, 33)), 2));
            if (state == CTreeCtrlEx::Checked) {
                painter.drawLine(3, 6, 5, 9);
                painter.drawLine(5, 9, 9, 3);
            } else if (state == CTreeCtrlEx::LockedHere) {
                painter.setPen(QPen(fromColorRef(RGB(0, 0, 160)), 2));
                painter.drawLine(4, 3, 4, 9);
                painter.drawLine(4, 9, 9, 9);
            }
        }
        images.append(image);
    }
    return images;
}

// Paints the item's state image before its icon and text, and shows a selected item with a colour
// record in its own colours while the tree lacks the focus.
class CheckTreeDelegate : public QStyledItemDelegate
{
public:
    explicit CheckTreeDelegate(CTreeCtrlEx *tree) : QStyledItemDelegate(tree), m_tree(tree) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem rest(option);
        const int state = index.data(CTreeCtrlEx::StateImageRole).toInt();
        if (state > 0) {
            const QList<QPixmap> &images = m_tree->StateImages();
            if (state < images.size()) {
                const QPixmap &image = images.at(state);
                painter->drawPixmap(option.rect.left(),
                                    option.rect.top() + (option.rect.height() - image.height()) / 2, image);
            }
            rest.rect.setLeft(option.rect.left() + CTreeCtrlEx::StateImageWidth + stateGap);
        }
        // Without the focus, an item with its own colour record is drawn in its colours on the window
        // background; the others keep the tree's look of an inactive selection.
        if (!m_tree->hasFocus() && index.data(CTreeCtrlEx::ColorRecordRole).toBool())
            rest.state &= ~QStyle::State_Selected;
        QStyledItemDelegate::paint(painter, rest, index);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (index.data(CTreeCtrlEx::StateImageRole).toInt() > 0)
            size.rwidth() += CTreeCtrlEx::StateImageWidth + stateGap;
        return size.expandedTo(QSize(0, 16));
    }

private:
    CTreeCtrlEx *m_tree;
};

} // namespace

CTreeCtrlEx::CTreeCtrlEx(QWidget *parent) : QTreeWidget(parent), m_stateImages(drawnStateImages())
{
    setHeaderHidden(true);
    setItemDelegate(new CheckTreeDelegate(this));
}

void CTreeCtrlEx::SetStateImage(QTreeWidgetItem *item, int state)
{
    item->setData(0, StateImageRole, state);
}

int CTreeCtrlEx::GetStateImage(const QTreeWidgetItem *item)
{
    return item->data(0, StateImageRole).toInt();
}

void CTreeCtrlEx::SetItemData(QTreeWidgetItem *item, int data)
{
    item->setData(0, ItemDataRole, data);
}

int CTreeCtrlEx::GetItemData(const QTreeWidgetItem *item)
{
    return item->data(0, ItemDataRole).toInt();
}

void CTreeCtrlEx::AssignItemTextColor(QTreeWidgetItem *item, COLORREF color)
{
    if (!item)
        return;
    item->setData(0, ColorRecordRole, true);
    if (color == SystemTextColor)
        item->setData(0, Qt::ForegroundRole, QVariant());
    else
        item->setForeground(0, fromColorRef(color));
}

bool CTreeCtrlEx::HasCheckedStateImage(const QTreeWidgetItem *item) const
{
    return item && GetStateImage(item) == Checked;
}

void CTreeCtrlEx::SetStateImages(const QList<QPixmap> &images)
{
    m_stateImages = images;
    viewport()->update();
}

QRect CTreeCtrlEx::StateIconRect(const QTreeWidgetItem *item) const
{
    if (!item || GetStateImage(item) == NoState)
        return QRect();
    const QRect rect = visualItemRect(item);
    return QRect(rect.left(), rect.top(), StateImageWidth, rect.height());
}

void CTreeCtrlEx::mousePressEvent(QMouseEvent *event)
{
    m_pressedOnState = QPersistentModelIndex();
    QTreeWidgetItem *item = itemAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && item &&
        StateIconRect(item).contains(event->position().toPoint())) {
        const int state = GetStateImage(item);
        // A check that cannot change ignores the press entirely: no selection, no click.
        if (state >= Prohibited || GetItemData(item) == 1)
            return;
        setCurrentItem(item);
        SetStateImage(item, state == Checked ? Unchecked : Checked);
        m_pressedOnState = QPersistentModelIndex(indexFromItem(item));
    }
    QTreeWidget::mousePressEvent(event);
}

// The owner hears of a check click on the button's release, after the toggle.
void CTreeCtrlEx::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeWidget::mouseReleaseEvent(event);
    QTreeWidgetItem *item = m_pressedOnState.isValid() ? itemFromIndex(m_pressedOnState) : nullptr;
    m_pressedOnState = QPersistentModelIndex();
    if (item && m_callback)
        m_callback(item);
}
