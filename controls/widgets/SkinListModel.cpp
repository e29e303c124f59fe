#include "SkinListModel.h"

int SkinListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int SkinListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant SkinListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(static_cast<int>(alignment(index.column())));
    return QVariant();
}

QVariant SkinListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QVariant();
    if (role == Qt::DisplayRole)
        return m_columns.at(section).caption;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(static_cast<int>(m_columns.at(section).alignment));
    return QVariant();
}

void SkinListModel::insertColumn(int column, const QString &caption, Qt::Alignment alignment)
{
    column = std::clamp(column, 0, static_cast<int>(m_columns.size()));
    beginInsertColumns(QModelIndex(), column, column);
    m_columns.insert(column, Column{caption, alignment});
    for (Row &row : m_rows) {
        if (row.cells.size() >= column)
            row.cells.insert(column, QString());
    }
    endInsertColumns();
}

bool SkinListModel::setCaption(int column, const QString &caption)
{
    if (column < 0 || column >= m_columns.size())
        return false;
    m_columns[column].caption = caption;
    emit headerDataChanged(Qt::Horizontal, column, column);
    return true;
}

int SkinListModel::insertRow(int index, const QString &text)
{
    index = std::clamp(index, 0, static_cast<int>(m_rows.size()));
    beginInsertRows(QModelIndex(), index, index);
    m_rows.insert(index, Row{QStringList{text}, UtListRowStyle{}});
    endInsertRows();
    return index;
}

void SkinListModel::removeAllRows()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

bool SkinListModel::setText(int row, int column, const QString &text)
{
    return setTexts(row, column, QStringList{text});
}

bool SkinListModel::setTexts(int row, int firstColumn, const QStringList &texts)
{
    if (row < 0 || row >= m_rows.size() || firstColumn < 0 || firstColumn >= m_columns.size())
        return false;
    QStringList &cells = m_rows[row].cells;
    const int end = std::min(firstColumn + static_cast<int>(texts.size()), static_cast<int>(m_columns.size()));
    int changedFirst = end;
    int changedLast = -1;
    for (int column = firstColumn; column < end; ++column) {
        const QString &text = texts.at(column - firstColumn);
        if (column < cells.size() ? cells.at(column) == text : text.isEmpty())
            continue;
        while (cells.size() <= column)
            cells.append(QString());
        cells[column] = text;
        changedFirst = std::min(changedFirst, column);
        changedLast = column;
    }
    if (changedLast >= 0)
        emit dataChanged(index(row, changedFirst), index(row, changedLast), {Qt::DisplayRole});
    return true;
}

QString SkinListModel::text(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0)
        return QString();
    return m_rows.at(row).cells.value(column);
}

QString SkinListModel::caption(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns.at(column).caption : QString();
}

Qt::Alignment SkinListModel::alignment(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns.at(column).alignment : Qt::AlignLeft;
}

UtListRowStyle *SkinListModel::style(int row)
{
    return row >= 0 && row < m_rows.size() ? &m_rows[row].style : nullptr;
}

const UtListRowStyle *SkinListModel::style(int row) const
{
    return row >= 0 && row < m_rows.size() ? &m_rows.at(row).style : nullptr;
}
