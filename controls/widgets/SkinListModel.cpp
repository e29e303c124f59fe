#include "SkinListModel.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<QByteArrayView> skinListCells(const QByteArray &cells)
{
    std::vector<QByteArrayView> parts;
    for (qsizetype start = 0; start < cells.size();) {
        const qsizetype end = cells.indexOf('\0', start);
        parts.emplace_back(cells.constData() + start, end - start);
        start = end + 1;
    }
    return parts;
}

QByteArray skinListPack(const std::vector<QByteArrayView> &parts)
{
    qsizetype size = 0;
    for (const QByteArrayView part : parts)
        size += part.size() + 1;
    QByteArray cells;
    cells.reserve(size);
    for (const QByteArrayView part : parts)
        cells.append(part).append('\0');
    return cells;
}

// A text as it is stored: a zero byte would end it early, so none is kept.
QByteArray skinListEncode(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.removeIf([](char c) { return c == '\0'; });
    return bytes;
}

} // namespace

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
    insertColumnList(column, {Column{caption, alignment}});
}

void SkinListModel::insertColumnList(int column, const QList<Column> &columns)
{
    if (columns.isEmpty())
        return;
    column = std::clamp(column, 0, static_cast<int>(m_columns.size()));
    const int count = static_cast<int>(columns.size());
    beginInsertColumns(QModelIndex(), column, column + count - 1);
    m_columns.insert(column, count, Column{});
    std::copy(columns.begin(), columns.end(), m_columns.begin() + column);
    for (Row &row : m_rows) {
        std::vector<QByteArrayView> parts = skinListCells(row.cells);
        if (static_cast<int>(parts.size()) > column) {
            parts.insert(parts.begin() + column, std::size_t(count), QByteArrayView());
            row.cells = skinListPack(parts);
        }
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
    m_rows.insert(index, Row{skinListEncode(text) + '\0', UtListRowStyle{}});
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
    Row &stored = m_rows[row];
    std::vector<QByteArrayView> parts = skinListCells(stored.cells);
    const int end =
        std::min(firstColumn + static_cast<int>(texts.size()), static_cast<int>(m_columns.size()));
    std::vector<QByteArray> encoded;
    encoded.reserve(std::size_t(end - firstColumn));
    int changedFirst = end;
    int changedLast = -1;
    for (int column = firstColumn; column < end; ++column) {
        encoded.push_back(skinListEncode(texts.at(column - firstColumn)));
        const QByteArrayView old =
            column < static_cast<int>(parts.size()) ? parts[std::size_t(column)] : QByteArrayView();
        if (old == encoded.back())
            continue;
        changedFirst = std::min(changedFirst, column);
        changedLast = column;
    }
    if (changedLast < 0)
        return true;
    if (static_cast<int>(parts.size()) <= changedLast)
        parts.resize(std::size_t(changedLast) + 1);
    for (int column = changedFirst; column <= changedLast; ++column)
        parts[std::size_t(column)] = encoded[std::size_t(column - firstColumn)];
    stored.cells = skinListPack(parts);
    emit dataChanged(index(row, changedFirst), index(row, changedLast), {Qt::DisplayRole});
    return true;
}

QString SkinListModel::text(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0)
        return QString();
    const QByteArray &cells = m_rows.at(row).cells;
    qsizetype start = 0;
    for (int skip = 0; skip < column && start < cells.size(); ++skip)
        start = cells.indexOf('\0', start) + 1;
    if (start >= cells.size())
        return QString();
    return QString::fromUtf8(cells.constData() + start, cells.indexOf('\0', start) - start);
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
