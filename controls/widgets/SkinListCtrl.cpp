#include "SkinListCtrl.h"

#include "SkinHeaderCtrl.h"
#include "SkinListModel.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int textInset = 3;

class SkinListDelegate : public QStyledItemDelegate
{
public:
    explicit SkinListDelegate(CSkinListCtrl *list) : QStyledItemDelegate(list), m_list(list) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const UtListRowStyle *style = m_list->Style(index.row());
        if (style && style->HeaderRow)
            m_list->paintBand(*painter, option.rect, index.row());
        else
            m_list->paintCell(*painter, option.rect, index.row(), index.column(), index.data().toString());
    }

private:
    CSkinListCtrl *m_list;
};

} // namespace

CSkinListCtrl::CSkinListCtrl(QWidget *parent)
    : QTableView(parent), m_model(new SkinListModel(this)), m_header(new CSkinHeaderCtrl(this))
{
    setModel(m_model);
    setHorizontalHeader(m_header);
    setItemDelegate(new SkinListDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    m_header->setStretchLastSection(false);
    // The areas beyond the cells depend on the column positions.
    connect(m_header, &QHeaderView::sectionResized, viewport(), qOverload<>(&QWidget::update));
}

void CSkinListCtrl::InsertColumn(int column, const QString &caption, Qt::Alignment alignment, int width)
{
    InsertColumns(column, {NewColumn{caption, alignment, width}});
}

void CSkinListCtrl::InsertColumns(int column, const QList<NewColumn> &columns)
{
    QList<SkinListModel::Column> inserted;
    inserted.reserve(columns.size());
    for (const NewColumn &entry : columns)
        inserted.append(SkinListModel::Column{entry.caption, entry.alignment});
    const int first = std::clamp(column, 0, GetColumnCount());
    m_model->insertColumnList(first, inserted);
    for (int offset = 0; offset < int(columns.size()); ++offset)
        setColumnWidth(first + offset, columns[offset].width);
}

int CSkinListCtrl::InsertRow(int index, const QString &text)
{
    return m_model->insertRow(index, text);
}

void CSkinListCtrl::RemoveAllRows()
{
    m_model->removeAllRows();
}

bool CSkinListCtrl::SetItemText(int row, int column, const QString &text)
{
    return m_model->setText(row, column, text);
}

bool CSkinListCtrl::SetItemTexts(int row, int firstColumn, const QStringList &texts)
{
    return m_model->setTexts(row, firstColumn, texts);
}

QString CSkinListCtrl::GetItemText(int row, int column) const
{
    return m_model->text(row, column);
}

int CSkinListCtrl::GetItemCount() const
{
    return m_model->rowCount();
}

int CSkinListCtrl::GetColumnCount() const
{
    return m_model->columnCount();
}

QString CSkinListCtrl::GetColumnCaption(int column) const
{
    return m_model->caption(column);
}

bool CSkinListCtrl::SetColumnCaption(int column, const QString &caption)
{
    return m_model->setCaption(column, caption);
}

UtListRowStyle *CSkinListCtrl::Style(int row)
{
    return m_model->style(row);
}

const UtListRowStyle *CSkinListCtrl::Style(int row) const
{
    return m_model->style(row);
}

// The whole width: a header row's band and the strip right of the columns belong to the row too.
QRect CSkinListCtrl::rowsRect(int first, int last) const
{
    return QRect(0, first * RowHeight - verticalOffset(), viewport()->width(),
                 (last - first + 1) * RowHeight);
}

void CSkinListCtrl::RefreshRow(int row)
{
    if (row >= 0 && row < GetItemCount())
        viewport()->update(rowsRect(row, row));
}

void CSkinListCtrl::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                const QList<int> &)
{
    if (topLeft.isValid() && bottomRight.isValid())
        viewport()->update(rowsRect(topLeft.row(), bottomRight.row()).intersected(viewport()->rect()));
}

QColor CSkinListCtrl::rowColor(int row, int column) const
{
    if (row < GetItemCount() && selectionModel()->isRowSelected(row, QModelIndex()))
        return fromColorRef(hasFocus() ? SelectedFocusColor : SelectedColor);
    const UtListRowStyle *style = m_model->style(row);
    if (style && column >= 0 && column < 32 && (style->HighlightMask >> column) & 1)
        return fromColorRef(HighlightColor);
    return fromColorRef(row % 2 ? OddRowColor : EvenRowColor);
}

void CSkinListCtrl::drawGridLines(QPainter &painter, const QRect &rect) const
{
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), fromColorRef(GridLineColor));
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), fromColorRef(GridLineColor));
}

void CSkinListCtrl::paintCell(QPainter &painter, const QRect &rect, int row, int column,
                              const QString &text) const
{
    painter.fillRect(rect, rowColor(row, column));
    drawGridLines(painter, rect);
    if (text.isEmpty())
        return;
    const UtListRowStyle *style = m_model->style(row);
    painter.setPen(fromColorRef(style ? style->TextColor : 0));
    const Qt::Alignment alignment = m_model->alignment(column);
    const QRect textRect = rect.adjusted(textInset, 0, -textInset - 1, -1);
    painter.drawText(
        textRect,
        static_cast<int>(alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextSingleLine, text);
}

// A piece of a header row's band: the band runs across the whole row with the first column's text.
void CSkinListCtrl::paintBand(QPainter &painter, const QRect &rect, int row) const
{
    painter.fillRect(rect, fromColorRef(HeaderBandColor));
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), fromColorRef(GridLineColor));
    // The band's right grid line lies at the end of the whole row, in whichever piece reaches it.
    const int bandRight = std::max(viewport()->width(), columnsRight()) - 1;
    if (bandRight >= rect.left() && bandRight <= rect.right())
        painter.fillRect(QRect(bandRight, rect.top(), 1, rect.height()), fromColorRef(GridLineColor));
    const UtListRowStyle *style = m_model->style(row);
    const QString text = m_model->text(row, 0);
    if (!style || text.isEmpty())
        return;
    const int left = GetColumnCount() > 0 ? columnViewportPosition(0) : 0;
    const QRect band(left, rect.top(), std::max(viewport()->width(), horizontalHeader()->length()) - left,
                     rect.height() - 1);
    int alignment = Qt::AlignLeft;
    if (style->TextFormat == 1)
        alignment = Qt::AlignHCenter;
    else if (style->TextFormat == 2)
        alignment = Qt::AlignRight;
    painter.save();
    painter.setClipRect(rect);
    painter.setPen(fromColorRef(style->TextColor));
    painter.drawText(band, alignment | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter.restore();
}

int CSkinListCtrl::columnsRight() const
{
    const int columns = GetColumnCount();
    return columns > 0 ? columnViewportPosition(columns - 1) + columnWidth(columns - 1) : -horizontalOffset();
}

void CSkinListCtrl::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    QPainter painter(viewport());
    const int viewWidth = viewport()->width();
    const int columns = GetColumnCount();
    const int rightOfColumns = columnsRight();
    const int rows = GetItemCount();

    // The strip right of the last column, row by row.
    if (rightOfColumns < viewWidth) {
        for (int row = std::max(0, rowAt(0)); row >= 0 && row < rows; ++row) {
            const int top = rowViewportPosition(row);
            if (top >= viewport()->height())
                break;
            const QRect strip(rightOfColumns, top, viewWidth - rightOfColumns, RowHeight);
            if (m_model->style(row)->HeaderRow)
                paintBand(painter, strip, row);
            else
                paintCell(painter, strip, row, -1, QString());
        }
    }

    // Empty rows below the last item continue the stripes, with the cells outlined.
    int top = rows > 0 ? rowViewportPosition(rows - 1) + RowHeight : 0;
    for (int row = rows; top < viewport()->height(); ++row, top += RowHeight) {
        const QRect line(0, top, viewWidth, RowHeight);
        painter.fillRect(line, fromColorRef(row % 2 ? OddRowColor : EvenRowColor));
        for (int column = 0; column < columns; ++column)
            drawGridLines(painter,
                          QRect(columnViewportPosition(column), top, columnWidth(column), RowHeight));
        if (rightOfColumns < viewWidth)
            drawGridLines(painter, QRect(rightOfColumns, top, viewWidth - rightOfColumns, RowHeight));
    }
}
