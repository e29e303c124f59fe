// The report-style list that draws every cell itself: striped rows, grid lines, per-row text colour,
// highlighted cells, full-width header rows, and striped empty rows below the last item so that the
// list always looks filled.
#pragma once

#include "ListRowStyle.h"

#include <QTableView>

class CSkinHeaderCtrl;
class SkinListModel;

class CSkinListCtrl : public QTableView
{
    Q_OBJECT
public:
    static constexpr int RowHeight = 20;
    static constexpr COLORREF SelectedFocusColor = 0xEFDFCB;
    static constexpr COLORREF SelectedColor = 0xCECECE;
    static constexpr COLORREF EvenRowColor = 0xFFFFFF;
    static constexpr COLORREF OddRowColor = 0xF0F3F0;
    static constexpr COLORREF HighlightColor = 0xDCC8C8;
    static constexpr COLORREF HeaderBandColor = 0xDCDCDC;
    static constexpr COLORREF GridLineColor = 0x646464;

    explicit CSkinListCtrl(QWidget *parent = nullptr);

    void InsertColumn(int column, const QString &caption, Qt::Alignment alignment, int width);
    struct NewColumn
    {
        QString caption;
        Qt::Alignment alignment;
        int width;
    };
    // Inserts the columns from column on as one change: the view measures its header once, not per column.
    void InsertColumns(int column, const QList<NewColumn> &columns);
    // Inserts a row with text in column 0 and a zero style at index (clamped); returns its index.
    int InsertRow(int index, const QString &text);
    void RemoveAllRows();
    bool SetItemText(int row, int column, const QString &text);
    // Texts into consecutive cells of a row from firstColumn on, as one change.
    bool SetItemTexts(int row, int firstColumn, const QStringList &texts);
    QString GetItemText(int row, int column) const;
    int GetItemCount() const;
    int GetColumnCount() const;
    QString GetColumnCaption(int column) const;
    bool SetColumnCaption(int column, const QString &caption);
    // The row's style, or null for a row that does not exist. Call RefreshRow after changing it.
    UtListRowStyle *Style(int row);
    const UtListRowStyle *Style(int row) const;
    void RefreshRow(int row);
    CSkinHeaderCtrl *Header() const { return m_header; }

    // Painting of one piece of a row, shared by the cells and the areas the view does not cover.
    void paintCell(QPainter &painter, const QRect &rect, int row, int column, const QString &text) const;
    void paintBand(QPainter &painter, const QRect &rect, int row) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Repaints the changed rows whole. Rows are all RowHeight high, so their place is found by
    // arithmetic: asking the row header would recount every row's position after each insert.
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;

private:
    // The viewport rectangle of rows first to last, across the whole width.
    QRect rowsRect(int first, int last) const;
    // The viewport x just right of the last column.
    int columnsRight() const;
    QColor rowColor(int row, int column) const;
    void drawGridLines(QPainter &painter, const QRect &rect) const;

    SkinListModel *m_model;
    CSkinHeaderCtrl *m_header;
};
