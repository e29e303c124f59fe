// The rows of the skinned list: texts per cell, a style record per row, and the columns' captions and
// alignments. What the list draws and what the reports export come from this one model.
#pragma once

#include "ListRowStyle.h"

#include <QAbstractTableModel>
#include <QStringList>

class SkinListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    struct Column
    {
        QString caption;
        Qt::Alignment alignment;
    };
    void insertColumn(int column, const QString &caption, Qt::Alignment alignment);
    // Inserts the columns from column on (clamped to the column count) as one change.
    void insertColumnList(int column, const QList<Column> &columns);
    bool setCaption(int column, const QString &caption);
    // Inserts a row at index (clamped to the row count) with a zero style; returns its index.
    int insertRow(int index, const QString &text);
    void removeAllRows();
    // Unchanged texts are not reported as changed, so a refresh repaints only what moved.
    bool setText(int row, int column, const QString &text);
    // The texts into consecutive cells of one row from firstColumn on (as far as the columns go).
    bool setTexts(int row, int firstColumn, const QStringList &texts);
    QString text(int row, int column) const;
    QString caption(int column) const;
    Qt::Alignment alignment(int column) const;
    UtListRowStyle *style(int row);
    const UtListRowStyle *style(int row) const;

private:
    // A row's texts packed in one array (the counter page holds 100,000 rows of 26 cells): UTF-8, each
    // text ended by a zero byte; cells past the last one stored are empty.
    struct Row
    {
        QByteArray cells;
        UtListRowStyle style{};
    };
    QList<Row> m_rows;
    QList<Column> m_columns;
};
