#include "JetPages.h"

#include <algorithm>

namespace JetPages {

void put16(QByteArray& bytes, int at, quint32 value)
{
    bytes[at] = static_cast<char>(value & 0xff);
    bytes[at + 1] = static_cast<char>(value >> 8 & 0xff);
}

void put32(QByteArray& bytes, int at, quint32 value)
{
    put16(bytes, at, value & 0xffff);
    put16(bytes, at + 2, value >> 16);
}

quint32 get16(const QByteArray& bytes, int at)
{
    return static_cast<quint8>(bytes[at]) | static_cast<quint32>(static_cast<quint8>(bytes[at + 1])) << 8;
}

quint32 get32(const QByteArray& bytes, int at)
{
    return get16(bytes, at) | get16(bytes, at + 2) << 16;
}

Geometry Geometry::of(bool jet3)
{
    return jet3 ? Geometry{true, 2048, 8, 133} : Geometry{false, 4096, 12, 69};
}

File::File(const QString& path, const Geometry& geometry, quint32 firstFreePage)
    : m_file(path), m_geometry(geometry), m_next(firstFreePage)
{
    // NewOnly: an existing file is never touched, not even by a race between a check and the open.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw Failure{QStringLiteral("cannot create %1: %2").arg(path, m_file.errorString())};
}

void File::write(quint32 page, const QByteArray& bytes)
{
    if (!m_file.seek(static_cast<qint64>(page) * m_geometry.pageSize) || m_file.write(bytes) != bytes.size())
        throw Failure{QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString())};
}

quint32 File::writeSingleRow(const QByteArray& owner, const QByteArray& row)
{
    DataPages single(*this, owner);
    const quint32 where = single.add(row);
    single.finish();
    return where;
}

void File::close()
{
    if (!m_file.flush())
        throw Failure{QStringLiteral("cannot write %1: %2").arg(m_file.fileName(), m_file.errorString())};
    m_file.close();
}

void File::remove()
{
    m_file.close();
    m_file.remove();
}

DataPages::DataPages(File& file, const QByteArray& owner) : m_file(file), m_owner(owner) {}

void DataPages::begin()
{
    const Geometry& g = m_file.geometry();
    m_page = QByteArray(g.pageSize, '\0');
    m_page[0] = 0x01; // a data page
    m_page[1] = 0x01;
    m_page.replace(4, 4, m_owner);
    m_rows = 0;
    m_free = g.pageSize;
    m_pages.push_back(m_file.allocate());
}

quint32 DataPages::add(const QByteArray& row)
{
    const Geometry& g = m_file.geometry();
    if (row.size() > g.maxRow())
        throw Failure{QStringLiteral("a row of %1 bytes does not fit on a page").arg(row.size())};
    // At most 255 rows, as a page pointer has one byte for the row.
    const auto fits = [&] { return m_free - row.size() >= g.rowCountOffset + 2 + 2 * (m_rows + 1) && m_rows < 255; };
    if (m_page.isEmpty() || !fits()) {
        flush();
        begin();
    }
    m_free -= static_cast<int>(row.size());
    m_page.replace(m_free, row.size(), row);
    put16(m_page, g.rowCountOffset + 2 + 2 * m_rows, static_cast<quint32>(m_free));
    ++m_rows;
    return pageRow(m_pages.back(), m_rows - 1);
}

void DataPages::flush()
{
    if (m_page.isEmpty())
        return;
    const Geometry& g = m_file.geometry();
    put16(m_page, g.rowCountOffset, static_cast<quint32>(m_rows));
    put16(m_page, 2, static_cast<quint32>(m_free - (g.rowCountOffset + 2 + 2 * m_rows))); // free space
    m_file.write(m_pages.back(), m_page);
    m_page.clear();
}

void DataPages::finish()
{
    flush();
}

QByteArray usageMap(File& file, const std::vector<quint32>& pages)
{
    const Geometry& g = file.geometry();
    QByteArray map(g.mapRowSize, '\0');
    const quint32 start = pages.empty() ? 0 : pages.front();
    const quint32 bits = static_cast<quint32>(g.mapRowSize - 5) * 8;
    if (pages.empty() || pages.back() - start < bits) {
        // Type 0: the first page, then one bit for each page from there.
        put32(map, 1, start);
        for (const quint32 page : pages)
            addToUsageMap(map, 0, g.mapRowSize, page);
        return map;
    }
    // Type 1: pointers to map pages, the n-th covering pages n * perPage up to (n + 1) * perPage.
    map[0] = 0x01;
    const quint32 perPage = static_cast<quint32>(g.pageSize - 4) * 8;
    const int pointers = (g.mapRowSize - 1) / 4;
    auto page = pages.begin();
    for (int n = 0; page != pages.end(); ++n) {
        if (n == pointers)
            throw Failure{QStringLiteral("a table of %1 pages is too large for its usage map").arg(pages.size())};
        const quint32 end = static_cast<quint32>(n + 1) * perPage;
        if (*page >= end)
            continue;
        QByteArray bitmap(g.pageSize, '\0');
        bitmap[0] = 0x05;
        bitmap[1] = 0x01;
        for (; page != pages.end() && *page < end; ++page) {
            const quint32 bit = *page - static_cast<quint32>(n) * perPage;
            bitmap[4 + static_cast<int>(bit / 8)] =
                static_cast<char>(bitmap[4 + static_cast<int>(bit / 8)] | 1 << bit % 8);
        }
        const quint32 mapPage = file.allocate();
        file.write(mapPage, bitmap);
        put32(map, 1 + 4 * n, mapPage);
    }
    return map;
}

bool addToUsageMap(QByteArray& map, int at, int size, quint32 page)
{
    if (map[at] != 0)
        return false;
    const quint32 start = get32(map, at + 1);
    if (page < start || page - start >= static_cast<quint32>(size - 5) * 8)
        return false;
    const int byte = at + 5 + static_cast<int>((page - start) / 8);
    map[byte] = static_cast<char>(map[byte] | 1 << (page - start) % 8);
    return true;
}

RowPacker::RowPacker(const Geometry& geometry, std::vector<Slot> slots, int fixedSize)
    : m_geometry(geometry), m_slots(std::move(slots)), m_fixedSize(fixedSize)
{
    for (const Slot& slot : m_slots) {
        m_columns = std::max(m_columns, slot.number + 1);
        if (!slot.fixed)
            m_varCount = std::max(m_varCount, slot.varIndex + 1);
    }
    m_var.resize(static_cast<std::size_t>(m_varCount));
    m_present.resize(static_cast<std::size_t>(m_columns));
    clear();
}

void RowPacker::clear()
{
    m_fixed = QByteArray(m_fixedSize, '\0');
    for (QByteArray& value : m_var)
        value.resize(0);
    std::fill(m_present.begin(), m_present.end(), false);
}

void RowPacker::setFixed(int column, const char* bytes, int size)
{
    const Slot& slot = m_slots[static_cast<std::size_t>(column)];
    m_fixed.replace(slot.offset, size, bytes, size);
    m_present[static_cast<std::size_t>(slot.number)] = true;
}

void RowPacker::setBoolean(int column, bool value)
{
    m_present[static_cast<std::size_t>(m_slots[static_cast<std::size_t>(column)].number)] = value;
}

void RowPacker::setVariable(int column, const QByteArray& bytes)
{
    const Slot& slot = m_slots[static_cast<std::size_t>(column)];
    m_var[static_cast<std::size_t>(slot.varIndex)] = bytes;
    m_present[static_cast<std::size_t>(slot.number)] = true;
}

// A row: the column count, the fixed columns, the variable ones one after the other; then, read from the end,
// the null mask (a set bit: a value, or yes), the count of variable columns, and the offset where each of them
// begins, the last entry marking the end of the data. Jet 4 keeps these offsets in two bytes. Jet 3 keeps one
// byte each and a jump table: entry n names the first offset at or past 256 * (n + 1); when the row's own length
// asks for one entry more than the data needs, that entry is a filler.
const QByteArray& RowPacker::row()
{
    const bool jet3 = m_geometry.jet3;
    m_row.resize(0);
    if (jet3)
        m_row.append(static_cast<char>(m_columns));
    else
        m_row.append(static_cast<char>(m_columns & 0xff)).append(static_cast<char>(m_columns >> 8));
    m_row.append(m_fixed);
    std::vector<int> offsets;
    for (const QByteArray& value : m_var) {
        offsets.push_back(static_cast<int>(m_row.size()));
        m_row.append(value);
    }
    const int end = static_cast<int>(m_row.size());
    offsets.push_back(end);
    QByteArray mask((m_columns + 7) / 8, '\0');
    for (int i = 0; i < m_columns; ++i) {
        if (m_present[static_cast<std::size_t>(i)])
            mask[i / 8] = static_cast<char>(mask[i / 8] | 1 << i % 8);
    }
    if (m_varCount > 0 && !jet3) {
        for (auto o = offsets.rbegin(); o != offsets.rend(); ++o)
            m_row.append(static_cast<char>(*o & 0xff)).append(static_cast<char>(*o >> 8));
        m_row.append(static_cast<char>(m_varCount & 0xff)).append(static_cast<char>(m_varCount >> 8));
    } else if (m_varCount > 0) {
        const int tail = m_varCount + 2 + static_cast<int>(mask.size()); // offsets and end, count, mask
        int jumps = 0;
        while ((end + tail + jumps - 1) / 256 != jumps)
            ++jumps;
        const int needed = end / 256;
        if (jumps > needed + 1)
            throw Failure{QStringLiteral("a Jet 3 row of %1 bytes cannot be laid out").arg(end + tail + jumps)};
        for (auto o = offsets.rbegin(); o != offsets.rend(); ++o)
            m_row.append(static_cast<char>(*o & 0xff));
        if (jumps > needed)
            m_row.append(static_cast<char>(0xff));
        for (int n = needed; n >= 1; --n) {
            const auto first = std::find_if(offsets.begin(), offsets.end(), [&](int o) { return o >= 256 * n; });
            m_row.append(static_cast<char>(first - offsets.begin()));
        }
        m_row.append(static_cast<char>(m_varCount));
    }
    m_row.append(mask);
    return m_row;
}

} // namespace JetPages
