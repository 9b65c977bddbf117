#include "JetFile.h"

#include "core/Texts.h"
#include "core/Utf8.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTimeZone>
#include <cmath>
#include <mdbtools.h>
#include <vector>

namespace {

// The first bytes of page 0: a page type, then the format's name.
constexpr qsizetype kNameOffset = 4;
const QByteArray kJetName = QByteArrayLiteral("Standard Jet DB");
const QByteArray kAceName = QByteArrayLiteral("Standard ACE DB");

// libmdb marks a row's start in the page's offset table with flags in the high bits.
constexpr int kRowOffsetMask = 0x1fff;
// A long value's header: its length in the low 30 bits, where it lies in the high two.
constexpr quint32 kLongValueLengthMask = 0x3fffffff;

// Days from 1 January of the year 1 and to 31 December 9999, counted from the engine's day 0.
constexpr double kFirstDay = -693593;
constexpr double kLastDay = 2958465;

MdbHandle* handle(void* mdb)
{
    return static_cast<MdbHandle*>(mdb);
}

MdbTableDef* tableDef(void* table)
{
    return static_cast<MdbTableDef*>(table);
}

MdbColumn* columnAt(void* table, int column)
{
    return static_cast<MdbColumn*>(g_ptr_array_index(tableDef(table)->columns, static_cast<guint>(column)));
}

JetFile::Type typeOf(const MdbColumn& column)
{
    switch (column.col_type) {
    case MDB_BOOL:
        return JetFile::Type::Boolean;
    case MDB_BYTE:
        return JetFile::Type::Byte;
    case MDB_INT:
        return JetFile::Type::Integer;
    case MDB_LONGINT:
        return JetFile::Type::Long;
    case MDB_MONEY:
        return JetFile::Type::Currency;
    case MDB_FLOAT:
        return JetFile::Type::Single;
    case MDB_DOUBLE:
        return JetFile::Type::Double;
    case MDB_DATETIME:
        return JetFile::Type::DateTime;
    case MDB_BINARY:
        return JetFile::Type::Binary;
    case MDB_TEXT:
        return JetFile::Type::Text;
    case MDB_OLE:
        return JetFile::Type::Ole;
    case MDB_MEMO:
        return JetFile::Type::Memo;
    default:
        return JetFile::Type::Other;
    }
}

[[noreturn]] void damaged(const QString& detail)
{
    throw JetError(JetError::Kind::Damaged, detail);
}

QString takeText(char* text)
{
    const QString value = QString::fromUtf8(text);
    g_free(text);
    return value;
}

} // namespace

bool JetFile::hasJetHeader(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray name = file.read(kNameOffset + kJetName.size()).mid(kNameOffset);
    return name == kJetName || name == kAceName;
}

JetFile::JetFile(const QString& path)
{
    // Jet 3 keeps text in the code page of the Windows that wrote it; the sites are German, English and
    // French, all of them Windows-1252. libmdb reads this when it opens a file.
    qputenv("MDB_JET3_CHARSET", QByteArrayLiteral("CP1252"));
    // A relative name would be looked up along MDBPATH too.
    MdbHandle* mdb = mdb_open(QFile::encodeName(QFileInfo(path).absoluteFilePath()).constData(), MDB_NOFLAGS);
    if (!mdb)
        damaged(GetText(QStringLiteral("Ihre erste Seite ist nicht lesbar."), 748));
    m_mdb = mdb;
    const guint32 version = mdb->f->jet_version;
    m_format = version == MDB_VER_JET3 ? Format::Jet3 : version == MDB_VER_JET4 ? Format::Jet4 : Format::Ace;
    // Jet 3 and 4 keep the key of their page encoding in the file, and libmdb decodes with it; a key in
    // the later format means encryption with the database password, which libmdb cannot undo.
    if (m_format == Format::Ace && mdb->f->db_key != 0) {
        mdb_close(mdb);
        throw JetError(JetError::Kind::Encrypted, QString());
    }
    if (!mdb_read_catalog(mdb, MDB_TABLE)) {
        mdb_close(mdb);
        damaged(GetText(QStringLiteral("Die Liste ihrer Tabellen ist nicht lesbar."), 749));
    }
    for (guint i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && !mdb_is_system_table(entry))
            m_tables.append(QString::fromUtf8(entry->object_name));
    }
}

JetFile::~JetFile()
{
    mdb_close(handle(m_mdb));
}

std::unique_ptr<JetFile::Table> JetFile::table(const QString& name)
{
    MdbHandle* mdb = handle(m_mdb);
    for (guint i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type != MDB_TABLE || QString::fromUtf8(entry->object_name).compare(name, Qt::CaseInsensitive))
            continue;
        MdbTableDef* table = mdb_read_table(entry);
        if (!table || !mdb_read_columns(table)) {
            if (table)
                mdb_free_tabledef(table);
            damaged(GetText(QStringLiteral("Der Aufbau der Tabelle %1 ist nicht lesbar."), 750).arg(name));
        }
        mdb_rewind_table(table);
        return std::unique_ptr<Table>(new Table(m_mdb, table));
    }
    return nullptr;
}

QDateTime JetFile::dateTime(double value)
{
    if (!std::isfinite(value) || value < kFirstDay || value >= kLastDay + 1)
        return {};
    // The whole days count from the engine's day 0; the fraction is the time after midnight of that day,
    // also before day 0 (-1.25 is 29 December 1899, 6 o'clock).
    const double days = std::trunc(value);
    const qint64 seconds = std::min<qint64>(std::llround(std::fabs(value - days) * 86400.0), 86399);
    return QDateTime(QDate(1899, 12, 30).addDays(static_cast<qint64>(days)), QTime(0, 0).addSecs(int(seconds)),
                     QTimeZone::utc());
}

JetFile::Table::Table(void* mdb, void* table) : m_mdb(mdb), m_table(table)
{
    MdbTableDef* def = tableDef(table);
    m_name = QString::fromUtf8(def->name);
    m_count = def->num_rows;
    for (guint i = 0; i < def->num_cols; ++i) {
        const MdbColumn& column = *columnAt(table, int(i));
        m_columns.append({QString::fromUtf8(column.name), typeOf(column), column.is_long_auto != 0});
    }
}

JetFile::Table::~Table()
{
    mdb_free_tabledef(tableDef(m_table));
}

int JetFile::Table::columnIndex(const QString& name) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool JetFile::Table::next()
{
    // libmdb skips a row it cannot take apart, and stops at a page it cannot read: only the count tells.
    if (mdb_fetch_row(tableDef(m_table))) {
        ++m_rowsRead;
        return true;
    }
    if (m_rowsRead < m_count)
        damaged(GetText(QStringLiteral("Die Tabelle %1 zählt %2 Zeilen, lesbar sind %3."), 751)
                    .arg(m_name)
                    .arg(m_count)
                    .arg(m_rowsRead));
    return false;
}

bool JetFile::Table::isNull(int column) const
{
    const MdbColumn& col = *columnAt(m_table, column);
    if (col.col_type == MDB_BOOL || col.cur_value_len > 0)
        return false;
    if (col.is_fixed)
        return true;
    // Nothing stored: Null, or a text of no characters. Only the row's null mask tells them apart.
    MdbTableDef* table = tableDef(m_table);
    int start = 0;
    size_t size = 0;
    if (mdb_find_row(handle(m_mdb), int(table->cur_row) - 1, &start, &size) != 0)
        return true;
    std::vector<MdbField> fields(table->num_cols);
    if (mdb_crack_row(table, start & kRowOffsetMask, size, fields.data()) < 0)
        return true;
    return fields[static_cast<std::size_t>(column)].is_null != 0;
}

QVariant JetFile::Table::value(int column) const
{
    const MdbColumn& col = *columnAt(m_table, column);
    if (col.col_type == MDB_BOOL)
        return col.cur_value_len == 0; // the null mask is the value: a set bit means Yes
    if (isNull(column))
        return {};
    MdbHandle* mdb = handle(m_mdb);
    unsigned char* page = mdb->pg_buf;
    const int start = col.cur_value_start;
    const int size = col.cur_value_len;
    switch (col.col_type) {
    case MDB_BYTE:
        return int(mdb_get_byte(page, start));
    case MDB_INT:
        return int(qint16(mdb_get_int16(page, start)));
    case MDB_LONGINT:
        return int(qint32(mdb_get_int32(page, start)));
    case MDB_FLOAT:
        return double(mdb_get_single(page, start));
    case MDB_DOUBLE:
        return mdb_get_double(page, start);
    case MDB_DATETIME:
        return dateTime(mdb_get_double(page, start));
    case MDB_TEXT:
    case MDB_MEMO:
        return Utf8::decode(utf8(column));
    case MDB_BINARY:
        return QByteArray(reinterpret_cast<const char*>(page) + start, size);
    case MDB_OLE:
        return size == 0 ? QByteArray("") : longValue(column);
    case MDB_MONEY:
        return takeText(mdb_money_to_string(mdb, start));
    case MDB_NUMERIC:
        return takeText(mdb_numeric_to_string(mdb, start, col.col_scale, col.col_prec));
    default:
        return takeText(mdb_col_to_string(mdb, page, start, col.col_type, size));
    }
}

double JetFile::Table::dateNumber(int column) const
{
    return mdb_get_double(handle(m_mdb)->pg_buf, columnAt(m_table, column)->cur_value_start);
}

QByteArray JetFile::Table::utf8(int column) const
{
    if (isNull(column))
        return {};
    const MdbColumn& col = *columnAt(m_table, column);
    if (col.col_type == MDB_TEXT)
        return decode(reinterpret_cast<const char*>(handle(m_mdb)->pg_buf) + col.cur_value_start, col.cur_value_len);
    const QByteArray bytes = col.cur_value_len == 0 ? QByteArray() : longValue(column);
    return decode(bytes.constData(), bytes.size());
}

QByteArray JetFile::Table::decode(const char* bytes, qsizetype size) const
{
    // UTF-8 takes at most three bytes for a character of one byte (code page) or two (Unicode).
    QByteArray text(3 * size + 1, Qt::Uninitialized);
    text.truncate(mdb_unicode2ascii(handle(m_mdb), bytes, static_cast<size_t>(size), text.data(), text.size() + 1));
    return text;
}

QByteArray JetFile::Table::longValue(int column) const
{
    // A long value's row holds a header (its length, and where the bytes lie: in the row, on one other
    // page, or on a chain of pages); libmdb follows it a page at a time into the bound buffer.
    MdbHandle* mdb = handle(m_mdb);
    MdbColumn* col = columnAt(m_table, column);
    if (col->cur_value_len < MDB_MEMO_OVERHEAD)
        damaged(GetText(QStringLiteral("Ein langer Wert der Tabelle %1 ist nicht lesbar."), 752).arg(m_name));
    char header[MDB_MEMO_OVERHEAD];
    std::memcpy(header, mdb->pg_buf + col->cur_value_start, MDB_MEMO_OVERHEAD);
    const quint32 length = quint32(mdb_get_int32(header, 0)) & kLongValueLengthMask;

    std::vector<char> chunk(static_cast<std::size_t>(mdb->fmt->pg_size));
    col->bind_ptr = chunk.data();
    const auto unbind = qScopeGuard([col] { col->bind_ptr = nullptr; });
    QByteArray bytes;
    bytes.reserve(length);
    for (size_t n = mdb_ole_read(mdb, col, header, chunk.size()); n > 0; n = mdb_ole_read_next(mdb, col, header)) {
        bytes.append(chunk.data(), qsizetype(n));
        if (quint32(bytes.size()) > length)
            break;
    }
    if (quint32(bytes.size()) != length)
        damaged(GetText(QStringLiteral("Ein langer Wert der Tabelle %1 ist nicht lesbar."), 752).arg(m_name));
    return bytes;
}
