#include "controls/grid/UGMem.h"

#include "controls/grid/GridStoreOwner.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

namespace {

constexpr std::uint32_t kInlineProperties = CellProp::Text | CellProp::DataType;

} // namespace

CUGMem::Slot::Slot(Slot &&other) noexcept
    : m_value(other.m_value), m_kind(other.m_kind), m_properties(other.m_properties),
      m_dataType(other.m_dataType)
{
    std::memcpy(m_moreChars, other.m_moreChars, sizeof m_moreChars);
    other.m_kind = Kind::Empty;
}

CUGMem::Slot &CUGMem::Slot::operator=(Slot &&other) noexcept
{
    if (this != &other) {
        clear();
        m_value = other.m_value;
        std::memcpy(m_moreChars, other.m_moreChars, sizeof m_moreChars);
        m_kind = other.m_kind;
        m_properties = other.m_properties;
        m_dataType = other.m_dataType;
        other.m_kind = Kind::Empty;
    }
    return *this;
}

bool CUGMem::Slot::fitsShort(QStringView text, double number)
{
    // Only +0.0 is implied: any other number, -0.0 included, needs its own room.
    if (text.size() > kShortChars || std::bit_cast<std::uint64_t>(number) != 0)
        return false;
    for (const QChar ch : text) {
        if (ch.unicode() == 0 || ch.unicode() > 0xff)
            return false;
    }
    return true;
}

void CUGMem::Slot::storeShort(QStringView text)
{
    char chars[kShortChars] = {};
    for (qsizetype i = 0; i < text.size(); ++i)
        chars[i] = char(text[i].unicode());
    std::memcpy(m_value.chars, chars, sizeof m_value.chars);
    std::memcpy(m_moreChars, chars + sizeof m_value.chars, sizeof m_moreChars);
}

void CUGMem::Slot::loadShort(QString &text) const
{
    char chars[kShortChars];
    std::memcpy(chars, m_value.chars, sizeof m_value.chars);
    std::memcpy(chars + sizeof m_value.chars, m_moreChars, sizeof m_moreChars);
    int size = 0;
    while (size < kShortChars && chars[size] != 0)
        ++size;
    // Rewrite the caller's own buffer when it has room: reading a grid row by row then allocates nothing.
    if (text.isDetached() && text.capacity() >= size) {
        text.resize(size);
        QChar *out = text.data();
        for (int i = 0; i < size; ++i)
            out[i] = QChar(uchar(chars[i]));
    } else {
        text = QString::fromLatin1(chars, size);
    }
}

void CUGMem::Slot::store(const CUGCell &cell)
{
    // The stored cell ends with exactly the incoming properties.
    if ((cell.m_properties & ~kInlineProperties) != 0 || cell.m_useTheme != 1 || cell.m_auxiliary) {
        if (m_kind != Kind::Whole) {
            clear();
            m_value.whole = new CUGCell;
            m_kind = Kind::Whole;
        }
        m_value.whole->m_properties = cell.m_properties;
        m_value.whole->MergeFrom(cell);
        return;
    }
    const bool hasText = cell.m_properties & CellProp::Text;
    const QStringView text = hasText ? QStringView(cell.m_text) : QStringView();
    const double number = hasText ? cell.m_number : 0.0;
    if (fitsShort(text, number)) {
        clear();
        storeShort(text);
        m_kind = Kind::ShortText;
    } else if (text.isEmpty()) {
        clear();
        m_value.number = number;
        m_kind = Kind::Number;
    } else {
        if (m_kind != Kind::LongText) {
            clear();
            m_value.longText = new TextAndNumber;
            m_kind = Kind::LongText;
        }
        m_value.longText->text = cell.m_text;
        m_value.longText->number = number;
    }
    m_properties = std::uint8_t(cell.m_properties);
    m_dataType = (cell.m_properties & CellProp::DataType) ? cell.m_dataType : CellData::Text;
}

bool CUGMem::Slot::load(CUGCell *cell) const
{
    switch (m_kind) {
    case Kind::Empty:
        return false;
    case Kind::Whole:
        cell->MergeFrom(*m_value.whole);
        return true;
    case Kind::ShortText:
        if (m_properties & CellProp::Text) {
            loadShort(cell->m_text);
            cell->m_number = 0.0;
        }
        break;
    case Kind::Number:
        if (m_properties & CellProp::Text) {
            cell->m_text.clear();
            cell->m_number = m_value.number;
        }
        break;
    case Kind::LongText:
        if (m_properties & CellProp::Text) {
            cell->m_text = m_value.longText->text;
            cell->m_number = m_value.longText->number;
        }
        break;
    }
    // The same as merging a whole cell that holds only these properties.
    cell->m_useTheme = 1;
    cell->m_properties |= m_properties;
    if (m_properties & CellProp::DataType)
        cell->m_dataType = m_dataType;
    cell->m_auxiliary.reset();
    return true;
}

void CUGMem::Slot::freeHeld()
{
    if (m_kind == Kind::Whole) {
        m_value.whole->ClearOwnedData();
        delete m_value.whole;
    } else if (m_kind == Kind::LongText) {
        delete m_value.longText;
    }
    m_kind = Kind::Empty;
}

CUGMem::~CUGMem()
{
    ClearAllCells();
}

CUGMem::Row *CUGMem::rowAt(int row)
{
    const qint64 pos = qint64(row) - m_firstRow;
    if (pos < 0 || pos >= qint64(m_rows.size()))
        return nullptr;
    return &m_rows[std::size_t(pos)];
}

const CUGMem::Row *CUGMem::rowAt(int row) const
{
    return const_cast<CUGMem *>(this)->rowAt(row);
}

CUGMem::Slot *CUGMem::slotAt(int col, int row)
{
    Row *r = rowAt(row);
    if (!r)
        return nullptr;
    const qint64 pos = qint64(col) - r->firstCol;
    if (pos < 0 || pos >= qint64(r->cells.size()))
        return nullptr;
    return &r->cells[std::size_t(pos)];
}

std::optional<CUGCell> CUGMem::storedCopy(int col, int row)
{
    const Slot *slot = slotAt(col, row);
    if (!slot || !slot->stored())
        return std::nullopt;
    std::optional<CUGCell> copy(std::in_place);
    copy->m_properties = 0;
    slot->load(&*copy);
    return copy;
}

bool CUGMem::HasRowNode(int row) const
{
    return rowAt(row) != nullptr;
}

bool CUGMem::HasCellNode(int col, int row) const
{
    return const_cast<CUGMem *>(this)->slotAt(col, row) != nullptr;
}

CUGMem::Row &CUGMem::createRow(int row)
{
    if (m_rows.empty()) {
        m_rows.emplace_back();
        m_firstRow = 0;
    }
    while (row < m_firstRow) {
        m_rows.emplace_front();
        --m_firstRow;
    }
    while (qint64(row) >= qint64(m_firstRow) + qint64(m_rows.size()))
        m_rows.emplace_back();
    return *rowAt(row);
}

CUGMem::Slot &CUGMem::createSlot(Row &row, int col)
{
    if (row.cells.empty()) {
        // Rows of one grid are mostly alike: a new row gets room for as many places as the widest
        // row at once, rather than doubling its room each time it fills up.
        row.cells.reserve(std::max<std::size_t>(1, m_widestRow));
        row.cells.emplace_back();
        row.firstCol = 0;
    }
    if (col < row.firstCol) {
        std::vector<Slot> widened(std::size_t(row.firstCol - col));
        std::move(row.cells.begin(), row.cells.end(), std::back_inserter(widened));
        row.cells = std::move(widened);
        row.firstCol = col;
    }
    const qint64 pos = qint64(col) - row.firstCol;
    if (pos >= qint64(row.cells.size())) {
        if (pos >= qint64(row.cells.capacity()))
            row.cells.reserve(std::max({std::size_t(pos + 1), m_widestRow, 2 * row.cells.capacity()}));
        row.cells.resize(std::size_t(pos + 1));
    }
    m_widestRow = std::max(m_widestRow, row.cells.size());
    return row.cells[std::size_t(pos)];
}

int CUGMem::GetLastStoredRow()
{
    if (m_rows.empty())
        return 0;
    return m_firstRow + int(m_rows.size()) - 1;
}

int CUGMem::AppendRow()
{
    return 0;
}

int CUGMem::OpenRowAt(int row)
{
    if (!rowAt(row))
        return 1;
    m_rows.emplace(m_rows.begin() + (row - m_firstRow));
    return 0;
}

int CUGMem::AppendColumn()
{
    return 0;
}

int CUGMem::InsertColumnAt(int col)
{
    if (m_rows.empty())
        return 1;
    GridStoreOwner *owner = Owner();
    if (owner) {
        const int gridCol = owner->gridColumnOfStoreColumn(col);
        if (gridCol >= 0)
            col = gridCol;
    }
    for (Row &row : m_rows) {
        const qint64 pos = qint64(col) - row.firstCol;
        if (pos < 0 || pos >= qint64(row.cells.size()))
            continue;
        row.cells.emplace(row.cells.begin() + pos);
        // A place linked in left of column 0 pushes the heading columns further left.
        if (col < 0)
            --row.firstCol;
    }
    if (owner)
        owner->shiftStoreColumns(col, 1);
    return 0;
}

int CUGMem::DeleteRowAt(int row)
{
    Row *r = rowAt(row);
    if (!r)
        return 0;
    for (Slot &slot : r->cells)
        slot.clear();
    m_rows.erase(m_rows.begin() + (row - m_firstRow));
    return 0;
}

int CUGMem::DeleteColumnAt(int col)
{
    if (m_rows.empty())
        return 1;
    for (Row &row : m_rows) {
        const qint64 pos = qint64(col) - row.firstCol;
        if (pos < 0 || pos >= qint64(row.cells.size()))
            continue;
        row.cells[std::size_t(pos)].clear();
        if (pos + 1 < qint64(row.cells.size())) {
            row.cells.erase(row.cells.begin() + pos);
            // Removing a heading column moves the ones left of it towards column 0.
            if (col < 0)
                ++row.firstCol;
        }
    }
    if (GridStoreOwner *owner = Owner())
        owner->shiftStoreColumns(col, -1);
    return 0;
}

int CUGMem::ClearCellAt(int col, int row)
{
    Slot *slot = slotAt(col, row);
    if (!slot)
        return 1;
    slot->clear();
    return 0;
}

int CUGMem::ClearAllCells()
{
    for (Row &row : m_rows) {
        for (Slot &slot : row.cells)
            slot.clear();
    }
    m_rows.clear();
    m_firstRow = 0;
    m_widestRow = 0;
    return 0;
}

int CUGMem::LoadCell(int col, int row, CUGCell *cell)
{
    const Slot *slot = slotAt(col, row);
    return slot && slot->load(cell) ? 0 : 1;
}

int CUGMem::StoreCell(int col, int row, CUGCell *cell)
{
    createSlot(createRow(row), col).store(*cell);
    return 0;
}

int CUGMem::FindText(QString text, int *col, int *row, int flags)
{
    if (flags & kFindAllColumns) {
        *col = -1;
        *row = 0;
    } else {
        *row = -1;
    }
    return FindNextText(std::move(text), col, row, flags);
}

bool CUGMem::matches(const Slot *slot, const QString &text, int flags) const
{
    if (!slot || !slot->stored())
        return false;
    CUGCell cell;
    cell.m_properties = 0;
    slot->load(&cell);
    const QString *shown = cell.GetDisplayText();
    const QString cellText = shown ? *shown : QString();
    const bool ignoreCase = flags & kFindIgnoreCase;
    if (flags & kFindPartial)
        return (ignoreCase ? cellText.toUpper() : cellText).contains(text);
    if (cellText.isEmpty())
        return false;
    return cellText.compare(text, ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
}

int CUGMem::FindNextText(QString text, int *col, int *row, int flags)
{
    GridStoreOwner *owner = Owner();
    if (!owner)
        return 1;
    const int colCount = owner->storeColumnCount();
    const int rowCount = owner->storeRowCount();
    // With no columns or rows there is nothing to wrap around.
    if (colCount <= 0 || rowCount <= 0)
        return 1;
    m_searchCol = *col;
    m_searchRow = *row;
    if (flags & kFindIgnoreCase)
        text = text.toUpper();
    const bool backwards = flags & kFindBackwards;
    const bool allColumns = flags & kFindAllColumns;
    const int step = backwards ? -1 : 1;

    auto nextRow = [&](int r) {
        r += step;
        if (r > rowCount - 1)
            return 0;
        if (r < 0)
            return rowCount - 1;
        return r;
    };

    int c = m_searchCol;
    int r = m_searchRow;
    if (allColumns) {
        c += step;
        if (c > colCount - 1 || c < 0) {
            c = backwards ? colCount - 1 : 0;
            r = nextRow(r);
        }
    } else {
        r = nextRow(r);
    }

    for (qint64 visited = 0; visited <= rowCount; ++visited) {
        if (rowAt(r)) {
            for (; c >= 0 && c < colCount; c += step) {
                if (matches(slotAt(c, r), text, flags)) {
                    *col = m_searchCol = c;
                    *row = m_searchRow = r;
                    return 0;
                }
                if (!allColumns)
                    break;
            }
        }
        r = nextRow(r);
        if (allColumns)
            c = backwards ? colCount - 1 : 0;
    }
    return 1;
}

int CUGMem::compareRows(std::vector<std::optional<CUGCell>> &keysA,
                        std::vector<std::optional<CUGCell>> &keysB, CUGCell *absent, int flags)
{
    GridStoreOwner *owner = Owner();
    for (std::size_t k = 0; k < keysA.size(); ++k) {
        CUGCell *a = keysA[k] ? &*keysA[k] : absent;
        CUGCell *b = keysB[k] ? &*keysB[k] : absent;
        const int result = owner->compareForSort(a, b, flags);
        if (result != 0)
            return result;
    }
    return 0;
}

int CUGMem::SortRows(const int *cols, int count, int flags)
{
    if (m_rows.empty() || !rowAt(0) || !Owner() || count < 1 || !cols)
        return 1;
    const std::size_t first = std::size_t(0 - m_firstRow);
    const std::size_t n = m_rows.size() - first;

    std::vector<std::vector<std::optional<CUGCell>>> keys(n);
    for (std::size_t i = 0; i < n; ++i) {
        keys[i].reserve(std::size_t(count));
        for (int k = 0; k < count; ++k)
            keys[i].push_back(storedCopy(cols[k], int(i)));
    }
    CUGCell absent;

    // A stable bottom-up merge sort. It only ever asks whether a later row sorts before an earlier
    // one and keeps the earlier row unless the answer is below 0, so an inconsistent comparison
    // can misorder rows but never breaks the sort.
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = i;
    std::vector<std::size_t> merged(n);
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, n);
            const std::size_t hi = std::min(lo + 2 * width, n);
            std::size_t a = lo, b = mid, out = lo;
            while (a < mid && b < hi) {
                if (compareRows(keys[order[b]], keys[order[a]], &absent, flags) < 0)
                    merged[out++] = order[b++];
                else
                    merged[out++] = order[a++];
            }
            while (a < mid)
                merged[out++] = order[a++];
            while (b < hi)
                merged[out++] = order[b++];
        }
        order.swap(merged);
    }

    std::vector<Row> sorted;
    sorted.reserve(n);
    for (std::size_t i : order)
        sorted.push_back(std::move(m_rows[first + i]));
    for (std::size_t i = 0; i < n; ++i)
        m_rows[first + i] = std::move(sorted[i]);
    return 0;
}

int CUGMem::SortByColumn(int col, int flags)
{
    return SortRows(&col, 1, flags);
}

int CUGMem::FindPrevFilledCell(int *col, int row)
{
    if (*col == 0)
        return 1;
    Row *r = rowAt(row);
    if (!r || r->cells.empty())
        return 1;
    const int lastCol = r->firstCol + int(r->cells.size()) - 1;
    int start = *col;
    if (start < r->firstCol || start > lastCol) {
        // The walk stops on the outermost place; it must hold a cell to go on from there.
        start = start > lastCol ? lastCol : r->firstCol;
        if (!r->cells[std::size_t(start - r->firstCol)].stored())
            return 1;
    }
    for (int c = start; c >= 0 && c >= r->firstCol; --c) {
        if (c == *col)
            continue;
        // The stored text counts, not the shown one: a number cell keeps no text of its own.
        const std::optional<CUGCell> cell = storedCopy(c, row);
        if (cell && cell->Has(CellProp::Text) && !cell->m_text.isEmpty()) {
            *col = c;
            return 0;
        }
    }
    return 1;
}
