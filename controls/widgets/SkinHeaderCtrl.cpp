#include "SkinHeaderCtrl.h"

#include "platform/ColorRef.h"

#include <QPainter>

namespace {

// Our own skin: a soft vertical shade, the item's with a separator on its right edge.
QPixmap skinArt(bool item)
{
    QPixmap art(100, CSkinHeaderCtrl::Height);
    QPainter painter(&art);
    for (int y = 0; y < art.height(); ++y) {
        const int shade = 250 - y * 30 / art.height();
        painter.fillRect(0, y, art.width(), 1, fromColorRef(RGB(shade, shade, shade)));
    }
    if (item) {
        painter.fillRect(art.width() - 1, 3, 1, art.height() - 6, fromColorRef(RGB(170, 170, 170)));
        painter.fillRect(0, art.height() - 1, art.width(), 1, fromColorRef(RGB(160, 160, 160)));
    }
    return art;
}

} // namespace

CSkinHeaderCtrl::CSkinHeaderCtrl(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent), m_background(skinArt(false)), m_item(skinArt(true))
{
    // The list's text face; the system has no SimSun, so a CJK face stands in for it.
    QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("WenQuanYi Micro Hei"));
    QFont face(QStringLiteral("宋体"));
    face.setPixelSize(12);
    face.setWeight(QFont::Normal);
    setFont(face);
    setFixedHeight(Height);
    setSectionsClickable(false);
    setHighlightSections(false);
}

void CSkinHeaderCtrl::SetSkinBitmaps(const QPixmap &background, const QPixmap &item)
{
    m_background = background;
    m_item = item;
    viewport()->update();
}

QSize CSkinHeaderCtrl::sizeHint() const
{
    return QSize(QHeaderView::sizeHint().width(), Height);
}

void CSkinHeaderCtrl::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(viewport()->rect(), m_background);
    for (int visual = 0; visual < count(); ++visual) {
        const int logical = logicalIndex(visual);
        if (isSectionHidden(logical))
            continue;
        const QRect rect(sectionViewportPosition(logical), 0, sectionSize(logical), viewport()->height());
        if (!rect.isEmpty()) {
            painter.save();
            paintSection(&painter, rect, logical);
            painter.restore();
        }
    }
}

void CSkinHeaderCtrl::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawPixmap(rect.adjusted(0, 0, -1, 0), m_item);
    const Qt::Alignment alignment = Qt::Alignment(
        model() ? model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole).toInt() : 0);
    int flags = Qt::AlignVCenter | Qt::TextSingleLine;
    if (alignment & Qt::AlignRight)
        flags |= Qt::AlignRight;
    else if (alignment & Qt::AlignHCenter)
        flags |= Qt::AlignHCenter;
    else
        flags |= Qt::AlignLeft;
    const bool sortArrow = isSortIndicatorShown() && sortIndicatorSection() == logicalIndex;
    const QRect textRect = rect.adjusted(5, 1, sortArrow ? -13 : -5, -1);
    const QString caption = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    painter->setFont(font());
    painter->setPen(Qt::black);
    painter->drawText(textRect, flags, caption);
}
