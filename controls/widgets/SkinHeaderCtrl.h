// The skinned column header of the counter list: 22 pixels high, a background bitmap stretched over
// the whole header and an item bitmap stretched over each column, black single-line captions.
#pragma once

#include <QHeaderView>
#include <QPixmap>

class CSkinHeaderCtrl : public QHeaderView
{
    Q_OBJECT
public:
    static constexpr int Height = 22;

    explicit CSkinHeaderCtrl(QWidget *parent = nullptr);

    // Bitmaps 300 (background) and 299 (item); our own art until replaced.
    void SetSkinBitmaps(const QPixmap &background, const QPixmap &item);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    QPixmap m_background;
    QPixmap m_item;
};
