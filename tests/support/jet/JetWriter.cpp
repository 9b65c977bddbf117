#include "JetWriter.h"

#include "JetPages.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QtEndian>
#include <mdbtools.h>
#include <memory>
#include <optional>

using namespace JetPages;

namespace {

// Column type codes in a table definition.
enum : quint8 {
    kBoolean = 0x01,
    kByte = 0x02,
    kInteger = 0x03,
    kLong = 0x04,
    kDouble = 0x07,
    kDateTime = 0x08,
    kBinary = 0x09,
    kText = 0x0a,
    kMemo = 0x0c,
};

// A long value up to this many bytes stays in its row; a longer one goes to pages of its own.
constexpr int kInlineMemo = 64;
// Jet 4 compresses a long value only up to this many characters.
constexpr int kCompressibleMemo = 1024;

quint8 typeCode(JetWriter::Type type)
{
    using T = JetWriter::Type;
    switch (type) {
    case T::Boolean:
        return kBoolean;
    case T::Byte:
        return kByte;
    case T::Integer:
        return kInteger;
    case T::Long:
        return kLong;
    case T::Double:
        return kDouble;
    case T::DateTime:
        return kDateTime;
    case T::Text:
        return kText;
    case T::Memo:
        return kMemo;
    }
    return 0;
}

// The bytes a fixed-length column takes in a row (a yes/no takes none: its value is its bit in the null mask).
int fixedSize(quint8 code)
{
    switch (code) {
    case kByte:
        return 1;
    case kInteger:
        return 2;
    case kLong:
        return 4;
    case kDouble:
    case kDateTime:
        return 8;
    default:
        return 0;
    }
}

// Windows-1252 where it differs from Latin-1: the characters of the bytes 0x80 to 0x9f (0 where none).
constexpr char16_t kCp1252High[32] = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178,
};

QByteArray jet3Text(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        int byte = u < 0x80 || (u >= 0xa0 && u <= 0xff) ? u : -1;
        for (int i = 0; i < 32 && byte < 0; ++i) {
            if (kCp1252High[i] == u)
                byte = 0x80 + i;
        }
        if (byte <= 0)
            throw Failure{QStringLiteral("\"%1\" has a character Windows-1252 lacks (U+%2)")
                              .arg(text)
                              .arg(static_cast<int>(u), 4, 16, QLatin1Char('0'))};
        bytes.append(static_cast<char>(byte));
    }
    return bytes;
}

// Jet 4 text: UTF-16LE, or where that is shorter its compressed form: 0xff 0xfe, then one byte for each
// character below U+0100, a 0 byte switching to two bytes per character and back. A character whose low byte
// is 0 cannot be written that way.
QByteArray jet4Text(const QString& text, bool mayCompress)
{
    const QByteArray plain(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    if (!mayCompress)
        return plain;
    QByteArray packed("\xff\xfe", 2);
    bool oneByte = true;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u & 0xff) == 0)
            return plain;
        if ((u < 0x100) != oneByte) {
            packed.append('\0');
            oneByte = !oneByte;
        }
        packed.append(static_cast<char>(u & 0xff));
        if (!oneByte)
            packed.append(static_cast<char>(u >> 8));
    }
    return packed.size() < plain.size() ? packed : plain;
}

// Days since 30 December 1899, the time of day as the fraction (before that day the fraction counts on from
// the whole day, as Jet keeps it).
double jetDate(const QDate& date, const QTime& time)
{
    const auto days = static_cast<double>(QDate(1899, 12, 30).daysTo(date));
    const double fraction = time.msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? days + fraction : days - fraction;
}

bool isIntegral(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::SChar:
        return true;
    default:
        return false;
    }
}

// One column of a table being written: its definition and where it goes in a row.
struct Plan
{
    QString name;
    quint8 code = 0;
    int length = 0; // in the definition: bytes of a text, of a fixed column
    int characters = 0;
    bool autoNumber = false;
    bool compressible = false; // Jet 4 text that may be stored compressed
    Slot slot;
};

// The empty database of a format, as libmdb reads it, with what the writer needs of its catalog.
struct Template
{
    Geometry geometry;
    QByteArray bytes;
    quint32 definitionId = 0; // Jet 4: a number that each table definition and column entry repeats
    quint16 codePage = 1252;
    std::vector<Plan> catalog;
    int catalogFixedSize = 0;
    int catalogRows = 0;
    quint32 tablesId = 0; // the catalog's "Tables" container
    QByteArray owner;
    std::vector<quint32> sampleTables; // catalog rows of user tables, removed
    QStringList names;                 // every object's name, in lower case
};

// Template files: the empty Jet 4 database; for Jet 3, of which there is no empty one, a small database
// whose four sample tables are dropped from the catalog.
Template readTemplate(JetWriter::Format format)
{
    const bool jet3 = format == JetWriter::Format::Jet3;
    const QString path = QStringLiteral(JETWRITER_DATA_DIR) + (jet3 ? "/testV1997.mdb" : "/empty.mdb");
    Template t;
    t.geometry = Geometry::of(jet3);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure{QStringLiteral("cannot read the template %1: %2").arg(path, file.errorString())};
    t.bytes = file.readAll();

    const std::unique_ptr<MdbHandle, void (*)(MdbHandle*)> mdb(mdb_open(path.toLocal8Bit().constData(), MDB_NOFLAGS),
                                                               mdb_close);
    if (!mdb || IS_JET3(mdb.get()) != jet3 || mdb->f->db_key != 0 || t.bytes.size() % t.geometry.pageSize != 0)
        throw Failure{QStringLiteral("the template %1 is not a plain Jet file of its format").arg(path)};
    t.codePage = static_cast<quint16>(mdb->f->code_page);
    t.definitionId = jet3 ? 0 : get32(t.bytes, 2 * t.geometry.pageSize + 12);
    mdb_read_catalog(mdb.get(), MDB_ANY);
    MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(mdb.get(), "MSysObjects");
    const std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> table(entry ? mdb_read_table(entry) : nullptr,
                                                                     mdb_free_tabledef);
    if (!table || !mdb_read_columns(table.get()))
        throw Failure{QStringLiteral("cannot read the catalog of the template %1").arg(path)};

    QHash<QString, int> column;
    for (guint i = 0; i < table->num_cols; ++i) {
        const auto* c = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        Plan plan{QString::fromUtf8(c->name), static_cast<quint8>(c->col_type), c->col_size, 0, false, false, {}};
        plan.slot = {c->col_num, c->is_fixed != 0, c->fixed_offset, static_cast<int>(c->var_col_num),
                     c->col_type == kBoolean};
        if (plan.slot.fixed)
            t.catalogFixedSize = std::max(t.catalogFixedSize, c->fixed_offset + fixedSize(plan.code));
        column.insert(plan.name, static_cast<int>(i));
        t.catalog.push_back(plan);
    }
    std::vector<QByteArray> bound(4, QByteArray(static_cast<int>(mdb->bind_size), '\0'));
    const char* names[] = {"Id", "Name", "Type", "Flags"};
    for (int i = 0; i < 4; ++i) {
        if (mdb_bind_column_by_name(table.get(), const_cast<char*>(names[i]), bound[i].data(), nullptr) < 0)
            throw Failure{QStringLiteral("the template's catalog lacks its column %1").arg(names[i])};
    }
    const int ownerColumn = column.value(QStringLiteral("Owner"), -1);
    mdb_rewind_table(table.get());
    while (mdb_fetch_row(table.get())) {
        ++t.catalogRows;
        const QString name = QString::fromUtf8(bound[1].constData());
        const int type = atoi(bound[2].constData());
        const quint32 flags = static_cast<quint32>(atoll(bound[3].constData()));
        if (name == QLatin1String("Tables") && type == 3)
            t.tablesId = static_cast<quint32>(atoll(bound[0].constData()));
        if (name == QLatin1String("MSysObjects") && ownerColumn >= 0) {
            const auto* owner = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, ownerColumn));
            t.owner =
                QByteArray(reinterpret_cast<const char*>(mdb->pg_buf) + owner->cur_value_start, owner->cur_value_len);
        }
        if (type == 1 && (flags & 0x80000002) == 0)
            t.sampleTables.push_back(pageRow(table->cur_phys_pg, static_cast<int>(table->cur_row) - 1));
        else
            t.names << name.toLower();
    }
    if (t.tablesId == 0)
        throw Failure{QStringLiteral("the template's catalog has no container of tables")};
    return t;
}

// Where a row of a page within the template lies: its offset entry and its bytes.
struct TemplateRow
{
    int entry;
    int at;
    int size;
};

TemplateRow templateRow(const Template& t, quint32 where)
{
    const Geometry& g = t.geometry;
    const int page = static_cast<int>(where >> 8) * g.pageSize;
    const int row = static_cast<int>(where & 0xff);
    const int entry = page + g.rowCountOffset + 2 + 2 * row;
    const int start = static_cast<int>(get16(t.bytes, entry) & 0x1fff);
    const int end = row == 0 ? g.pageSize : static_cast<int>(get16(t.bytes, entry - 2) & 0x1fff);
    return {entry, page + start, end - start};
}

// Writes the rows of one table and its long values; the table definition follows once the rows are counted.
class TableWriter
{
public:
    TableWriter(File& file, const Template& t, std::vector<Plan> plans, int fixedSize)
        : m_file(file), m_t(t), m_plans(std::move(plans)), m_longValues(file, "LVAL"),
          m_packer(t.geometry, slots(m_plans), fixedSize)
    {
    }

    const QByteArray& row(const QVariantList& values)
    {
        m_packer.clear();
        for (std::size_t i = 0; i < m_plans.size(); ++i) {
            try {
                put(static_cast<int>(i), m_plans[i], values[static_cast<int>(i)]);
            } catch (const Failure& f) {
                throw Failure{QStringLiteral("column %1: %2").arg(m_plans[i].name, f.text)};
            }
        }
        return m_packer.row();
    }
    void finish() { m_longValues.finish(); }
    qint64 lastAutoNumber() const { return m_lastAutoNumber; }

private:
    static std::vector<Slot> slots(const std::vector<Plan>& plans)
    {
        std::vector<Slot> result;
        for (const Plan& plan : plans)
            result.push_back(plan.slot);
        return result;
    }

    QByteArray text(const Plan& plan, const QString& value) const
    {
        if (m_t.geometry.jet3)
            return jet3Text(value);
        return jet4Text(value, plan.compressible && (plan.code == kText || value.size() <= kCompressibleMemo));
    }

    void put(int i, const Plan& plan, const QVariant& value)
    {
        if (value.isNull()) {
            if (plan.code == kBoolean)
                throw Failure{QStringLiteral("a yes/no column cannot hold Null in a Jet file")};
            return;
        }
        const bool integral = isIntegral(value);
        const auto number = [&](qint64 low, qint64 high) {
            const qint64 n = value.toLongLong();
            if (!integral || n < low || n > high)
                throw Failure{
                    QStringLiteral("%1 is not a whole number from %2 to %3").arg(value.toString()).arg(low).arg(high)};
            return n;
        };
        const auto fixed = [&](const auto& v) { m_packer.setFixed(i, reinterpret_cast<const char*>(&v), sizeof v); };
        switch (plan.code) {
        case kBoolean:
            if (value.typeId() != QMetaType::Bool)
                throw Failure{QStringLiteral("%1 is not a yes/no value").arg(value.toString())};
            m_packer.setBoolean(i, value.toBool());
            break;
        case kByte:
            fixed(qToLittleEndian(static_cast<quint8>(number(0, 255))));
            break;
        case kInteger:
            fixed(qToLittleEndian(static_cast<qint16>(number(-32768, 32767))));
            break;
        case kLong: {
            const auto n = static_cast<qint32>(number(INT32_MIN, INT32_MAX));
            if (plan.autoNumber)
                m_lastAutoNumber = std::max<qint64>(m_lastAutoNumber, n);
            fixed(qToLittleEndian(n));
            break;
        }
        case kDouble:
            if (!integral && value.typeId() != QMetaType::Double && value.typeId() != QMetaType::Float)
                throw Failure{QStringLiteral("%1 is not a number").arg(value.toString())};
            fixed(qToLittleEndian(value.toDouble()));
            break;
        case kDateTime:
            if (value.typeId() == QMetaType::QDate && value.toDate().isValid())
                fixed(qToLittleEndian(jetDate(value.toDate(), QTime(0, 0))));
            else if (value.typeId() == QMetaType::QDateTime && value.toDateTime().isValid())
                fixed(qToLittleEndian(jetDate(value.toDateTime().date(), value.toDateTime().time())));
            else
                throw Failure{QStringLiteral("%1 is not a date").arg(value.toString())};
            break;
        case kBinary:
            m_packer.setVariable(i, value.toByteArray());
            break;
        case kText:
        case kMemo: {
            if (value.typeId() != QMetaType::QString)
                throw Failure{QStringLiteral("%1 is not a text").arg(value.toString())};
            const QString s = value.toString();
            if (plan.code == kText && plan.characters > 0 && s.size() > plan.characters)
                throw Failure{
                    QStringLiteral("a text of %1 characters is longer than %2").arg(s.size()).arg(plan.characters)};
            const QByteArray bytes = text(plan, s);
            m_packer.setVariable(i, plan.code == kText ? bytes : longValue(bytes));
            break;
        }
        default:
            throw Failure{QStringLiteral("the writer does not write values of this type")};
        }
    }

    // A long value in its row: its length and where it is, then (kept in the row) the value itself. A value
    // that fits one page is a row of a page of long values; a longer one is a chain of pages, each part led
    // by the pointer to the next.
    QByteArray longValue(const QByteArray& bytes)
    {
        QByteArray head(12, '\0');
        auto length = static_cast<quint32>(bytes.size());
        if (bytes.size() >= 0x1000000)
            throw Failure{QStringLiteral("a long value of %1 bytes is too long").arg(bytes.size())};
        if (bytes.size() <= kInlineMemo) {
            put32(head, 0, length | 0x80000000);
            return head + bytes;
        }
        const int maxRow = m_t.geometry.maxRow();
        if (bytes.size() <= maxRow) {
            put32(head, 0, length | 0x40000000);
            put32(head, 4, m_longValues.add(bytes));
            return head;
        }
        const int part = maxRow - 4;
        quint32 next = 0;
        for (qsizetype at = (bytes.size() - 1) / part * part; at >= 0; at -= part) {
            QByteArray row(4, '\0');
            put32(row, 0, next);
            next = m_file.writeSingleRow("LVAL", row + bytes.mid(at, part));
        }
        put32(head, 0, length);
        put32(head, 4, next);
        return head;
    }

    File& m_file;
    const Template& m_t;
    std::vector<Plan> m_plans;
    DataPages m_longValues;
    RowPacker m_packer;
    qint64 m_lastAutoNumber = 0;
};

// The columns of a table as its definition and its rows lay them out: fixed columns one after the other,
// variable ones numbered in their order.
std::vector<Plan> plan(const JetWriter::Table& table, bool jet3, int* fixedTotal)
{
    std::vector<Plan> plans;
    QStringList seen;
    int fixed = 0;
    int variable = 0;
    for (const JetWriter::Column& c : table.columns) {
        const quint8 code = typeCode(c.type);
        const bool text = c.type == JetWriter::Type::Text;
        if (c.name.isEmpty() || c.name.size() > 64 || seen.contains(c.name.toLower()))
            throw Failure{QStringLiteral("column name \"%1\" is empty, too long or given twice").arg(c.name)};
        if (text && (c.size < 1 || c.size > 255))
            throw Failure{
                QStringLiteral("column %1: a text holds 1 to 255 characters, not %2").arg(c.name).arg(c.size)};
        if (c.autoNumber && c.type != JetWriter::Type::Long)
            throw Failure{QStringLiteral("column %1: only a Long column counts on by itself").arg(c.name)};
        seen << c.name.toLower();
        Plan p{c.name,
               code,
               text ? (jet3 ? c.size : 2 * c.size) : fixedSize(code),
               text ? c.size : 0,
               c.autoNumber,
               !jet3 && (text || code == kMemo),
               {}};
        p.slot.number = static_cast<int>(plans.size());
        p.slot.boolean = code == kBoolean;
        p.slot.fixed = code != kText && code != kMemo;
        if (code == kBoolean)
            p.length = 1;
        if (p.slot.fixed) {
            p.slot.offset = fixed;
            fixed += fixedSize(code);
        } else {
            p.slot.varIndex = variable++;
        }
        plans.push_back(p);
    }
    if (plans.empty() || plans.size() > 255)
        throw Failure{QStringLiteral("a table has 1 to 255 columns")};
    *fixedTotal = fixed;
    return plans;
}

// The table definition page: its header, an entry per column, the column names; no indexes.
QByteArray definition(const Template& t, const std::vector<Plan>& plans, quint32 rows, qint64 lastAutoNumber,
                      quint32 usedPages, quint32 freePages)
{
    const bool jet3 = t.geometry.jet3;
    const int entrySize = jet3 ? 18 : 25;
    const int head = jet3 ? 43 : 63;
    QByteArray page(t.geometry.pageSize, '\0');
    int variable = 0;
    for (const Plan& p : plans)
        variable += p.slot.fixed ? 0 : 1;
    const auto columns = static_cast<quint32>(plans.size());
    page[0] = 0x02;
    page[1] = 0x01;
    const int at = jet3 ? 12 : 16; // the row count, then the last auto-number
    put32(page, at, rows);
    put32(page, at + 4, static_cast<quint32>(lastAutoNumber));
    if (!jet3) {
        put32(page, 12, t.definitionId);
        page[24] = 0x01;
    }
    const int counts = jet3 ? 20 : 40; // table type, column counts, index counts, usage maps
    page[counts] = 0x4e;               // a user table
    put16(page, counts + 1, columns);
    put16(page, counts + 3, static_cast<quint32>(variable));
    put16(page, counts + 5, columns);
    put32(page, counts + 15, usedPages);
    put32(page, counts + 19, freePages);

    int pos = head;
    int varBefore = 0;
    for (const Plan& p : plans) {
        const auto number = static_cast<quint32>(p.slot.number);
        const int o = jet3 ? 0 : 4; // Jet 4 entries carry the definition's number after the type
        page[pos] = static_cast<char>(p.code);
        if (!jet3)
            put32(page, pos + 1, t.definitionId);
        put16(page, pos + 1 + o, number);
        put16(page, pos + 3 + o, static_cast<quint32>(varBefore));
        put16(page, pos + 5 + o, jet3 ? number : number + 1);
        if (jet3) {
            put16(page, pos + 7, 1);
            put16(page, pos + 9, 0x0409); // the text order: General
            put16(page, pos + 11, t.codePage);
        } else {
            put16(page, pos + 11, 0x0409);
            page[pos + 16] = p.code == kText || p.code == kMemo ? 0x01 : 0x00; // Unicode compression
        }
        // Flags: fixed length, may be Null, counts on by itself.
        page[pos + (jet3 ? 13 : 15)] = static_cast<char>((p.slot.fixed ? 0x01 : 0) | 0x02 | (p.autoNumber ? 0x04 : 0));
        put16(page, pos + (jet3 ? 14 : 21), p.slot.fixed && !p.slot.boolean ? static_cast<quint32>(p.slot.offset) : 0);
        put16(page, pos + (jet3 ? 16 : 23), static_cast<quint32>(p.length));
        varBefore += p.slot.fixed ? 0 : 1;
        pos += entrySize;
    }
    for (const Plan& p : plans) {
        const QByteArray name = jet3 ? jet3Text(p.name) : jet4Text(p.name, false);
        const int length = jet3 ? 1 : 2; // the name's length in bytes, in one byte or two
        if (pos + length + name.size() > t.geometry.pageSize - 2)
            throw Failure{QStringLiteral("the table definition does not fit on one page")};
        put16(page, pos, static_cast<quint32>(name.size())); // Jet 3: the second byte begins the name
        page.replace(pos + length, name.size(), name);
        pos += length + static_cast<int>(name.size());
    }
    put16(page, pos, 0xffff); // no long-value columns with usage maps of their own
    pos += 2;
    put32(page, 8, static_cast<quint32>(pos));
    if (jet3)
        page.replace(2, 2, "VC");
    else
        put16(page, 2, static_cast<quint32>(t.geometry.pageSize - pos - 8));
    return page;
}

// What goes where while the tables are written: the pages of usage maps, of the new catalog rows.
struct Output
{
    File file;
    DataPages maps;
    DataPages catalog;
    Output(const QString& path, const Template& t)
        : file(path, t.geometry, static_cast<quint32>(t.bytes.size() / t.geometry.pageSize)),
          maps(file, QByteArray(4, '\0')), catalog(file, QByteArray("\x02\0\0\0", 4))
    {
        // Both near the start, within reach of the catalog's own usage map.
        catalog.begin();
        maps.begin();
    }
};

void writeTable(Output& out, const Template& t, const JetWriter::Table& table)
{
    int fixedSize = 0;
    std::vector<Plan> plans = plan(table, t.geometry.jet3, &fixedSize);
    if (table.name.isEmpty() || table.name.size() > 64 || t.names.contains(table.name.toLower()))
        throw Failure{QStringLiteral("table name \"%1\" is empty, too long or taken").arg(table.name)};
    if (table.rowCount > 0 && !table.row)
        throw Failure{QStringLiteral("table %1 has rows but nothing that gives them").arg(table.name)};

    const quint32 definitionPage = out.file.allocate();
    QByteArray owner(4, '\0');
    put32(owner, 0, definitionPage);
    DataPages data(out.file, owner);
    TableWriter writer(out.file, t, plans, fixedSize);
    for (qint64 r = 0; r < table.rowCount; ++r) {
        const QVariantList values = table.row(r);
        try {
            if (values.size() != static_cast<qsizetype>(plans.size()))
                throw Failure{QStringLiteral("%1 values for %2 columns").arg(values.size()).arg(plans.size())};
            data.add(writer.row(values));
        } catch (const Failure& f) {
            throw Failure{QStringLiteral("table %1, row %2: %3").arg(table.name).arg(r).arg(f.text)};
        }
    }
    data.finish();
    writer.finish();
    const quint32 used = out.maps.add(usageMap(out.file, data.pages()));
    const quint32 free = out.maps.add(usageMap(out.file, {})); // no page kept for later rows
    out.file.write(definitionPage,
                   definition(t, plans, static_cast<quint32>(table.rowCount), writer.lastAutoNumber(), used, free));

    // The catalog row: the definition's page is the table's number.
    TableWriter catalog(out.file, t, t.catalog, t.catalogFixedSize);
    const QDateTime now = QDateTime::currentDateTime();
    const QHash<QString, QVariant> given{{"Id", qint64(definitionPage)},
                                         {"ParentId", qint64(t.tablesId)},
                                         {"Name", table.name},
                                         {"Type", 1},
                                         {"DateCreate", now},
                                         {"DateUpdate", now},
                                         {"Owner", t.owner.isEmpty() ? QVariant() : QVariant(t.owner)},
                                         {"Flags", 0}};
    QVariantList values;
    for (const Plan& p : t.catalog)
        values << given.value(p.name);
    out.catalog.add(catalog.row(values));
}

} // namespace

namespace JetWriter {

QString write(const QString& path, Format format, const QList<Table>& tables)
{
    std::optional<Output> out;
    try {
        if (QFileInfo::exists(path))
            throw Failure{QStringLiteral("%1 exists already; the writer makes new files only").arg(path)};
        Template t = readTemplate(format);
        out.emplace(path, t);
        for (const Table& table : tables) {
            writeTable(*out, t, table);
            t.names << table.name.toLower();
        }
        out->catalog.finish();
        out->maps.finish();

        // The template's own pages: its sample tables gone from the catalog (their rows marked deleted), the
        // new catalog pages in the catalog's usage map, the catalog's row count.
        const Geometry& g = t.geometry;
        for (const quint32 where : t.sampleTables) {
            const int entry = templateRow(t, where).entry;
            put16(t.bytes, entry, get16(t.bytes, entry) | 0xc000);
        }
        const int catalogDefinition = 2 * g.pageSize;
        const TemplateRow map = templateRow(t, get32(t.bytes, catalogDefinition + (g.jet3 ? 35 : 55)));
        for (const quint32 page : out->catalog.pages()) {
            if (!addToUsageMap(t.bytes, map.at, map.size, page))
                throw Failure{QStringLiteral("the catalog's usage map does not reach page %1").arg(page)};
        }
        const int rowCount = catalogDefinition + (g.jet3 ? 12 : 16);
        put32(t.bytes, rowCount,
              static_cast<quint32>(t.catalogRows - static_cast<int>(t.sampleTables.size()) + tables.size()));
        out->file.write(0, t.bytes);
        out->file.close();
        return {};
    } catch (const Failure& f) {
        if (out)
            out->file.remove();
        return f.text;
    }
}

QList<Table> registerTables()
{
    using T = Type;
    const auto table = [](const char* name, QList<Column> columns) {
        Table t;
        t.name = QString::fromUtf8(name);
        t.columns = std::move(columns);
        return t;
    };
    return {
        table("TBKopfdaten", {{QStringLiteral("Erstellt"), T::DateTime},
                              {QStringLiteral("Quelle"), T::Text, 255},
                              {QStringLiteral("AnlagenNr"), T::Text, 255},
                              {QStringLiteral("Version"), T::Long},
                              {QStringLiteral("Stempel"), T::Text, 255},
                              {QStringLiteral("Bestätigung"), T::Memo}}),
        table("TBPersonen", {{QStringLiteral("PersID"), T::Long, 0, true},
                             {QStringLiteral("Nachname"), T::Text, 50},
                             {QStringLiteral("Vorname"), T::Text, 51},
                             {QStringLiteral("PersNr"), T::Text, 21},
                             {QStringLiteral("Storniert"), T::Boolean}}),
        table("TBSchluessel", {{QStringLiteral("SchluesselNr"), T::Text, 10},
                               {QStringLiteral("Funktion"), T::Text, 51},
                               {QStringLiteral("Gesamt"), T::Long},
                               {QStringLiteral("ZusatzNr"), T::Boolean}}),
        table("TBBewegungen", {{QStringLiteral("BewID"), T::Long, 0, true},
                               {QStringLiteral("PersonID"), T::Long},
                               {QStringLiteral("SchluesselNr"), T::Text, 10},
                               {QStringLiteral("ZusatzNr"), T::Text, 11},
                               {QStringLiteral("Von"), T::DateTime},
                               {QStringLiteral("Status"), T::Integer},
                               {QStringLiteral("Bis"), T::DateTime}}),
    };
}

} // namespace JetWriter
