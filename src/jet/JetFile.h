#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <stdexcept>

// Why a Jet file cannot be carried over. The message is in the user's language; nothing has been
// written when it is thrown.
class JetError : public std::runtime_error
{
public:
    enum class Kind { Damaged, Encrypted, NotARegister };

    JetError(Kind kind, const QString& detail)
        : std::runtime_error(detail.toStdString()), m_kind(kind), m_detail(detail)
    {
    }

    Kind kind() const { return m_kind; }
    const QString& detail() const { return m_detail; }

private:
    Kind m_kind;
    QString m_detail;
};

// A database file of the Jet engine (the 1997 format, the 2000/2003 format, and the later ACE format
// where mdbtools reads it), opened for reading only through mdbtools' libmdb: nothing else in the
// program sees libmdb. Jet 3 text is decoded as Windows-1252, the code page of German, English and French
// Windows; Jet 4 text is Unicode, compressed or not.
class JetFile
{
public:
    enum class Format { Jet3, Jet4, Ace };
    // The column types as the engine names them; the rest (replication ids, numerics, attachments) is Other.
    enum class Type {
        Boolean,
        Byte,
        Integer,
        Long,
        Currency,
        Single,
        Double,
        DateTime,
        Binary,
        Text,
        Ole,
        Memo,
        Other
    };

    struct Column
    {
        QString name;
        Type type = Type::Other;
        bool autoNumber = false;
    };

    class Table;

    // True when the file's first page names the Jet or ACE format ("Standard Jet DB", "Standard ACE DB").
    static bool hasJetHeader(const QString& path);

    // Opens the file and reads its list of tables. Throws JetError (Damaged, Encrypted).
    explicit JetFile(const QString& path);
    ~JetFile();
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;

    Format format() const { return m_format; }
    // The user's tables, system tables left out, in the file's order.
    QStringList tables() const { return m_tables; }
    // Opens one table by its name (case ignored, as the engine matches names); nullptr when there is none.
    std::unique_ptr<Table> table(const QString& name);

    // A Jet date/time (days since 30 December 1899, the time as the fraction of a day) on the calendar;
    // invalid outside the years 1 to 9999.
    static QDateTime dateTime(double value);

private:
    void* m_mdb = nullptr; // libmdb's MdbHandle
    Format m_format = Format::Jet4;
    QStringList m_tables;
};

// The rows of one table, read once from the first to the last in the file's order.
class JetFile::Table
{
public:
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    QString name() const { return m_name; }
    const QList<Column>& columns() const { return m_columns; }
    // The position of a column by its name (case ignored); -1 when there is none.
    int columnIndex(const QString& name) const;

    // Moves to the next row; false after the last one. Throws JetError (Damaged) when fewer rows could be
    // read than the table counts (the count may be low after a crash of the engine, never high).
    bool next();
    qint64 rowsRead() const { return m_rowsRead; }

    bool isNull(int column) const;
    // The value of the current row: bool, int (byte, integer, long), double (single, double), QDateTime
    // (date/time; invalid when the day lies outside the years 1 to 9999), QString (text, memo, currency as
    // its decimal text), QByteArray (binary, OLE); a null QVariant for Null. Throws JetError (Damaged) for
    // a long value whose pages cannot be read.
    QVariant value(int column) const;
    // A text or memo column's value as UTF-8, without a QString on the way (long tables).
    QByteArray utf8(int column) const;
    // A date/time column's stored number (see JetFile::dateTime).
    double dateNumber(int column) const;

private:
    friend class JetFile;
    Table(void* mdb, void* table);
    QByteArray longValue(int column) const;
    QByteArray decode(const char* bytes, qsizetype size) const;

    void* m_mdb;   // MdbHandle
    void* m_table; // MdbTableDef
    QString m_name;
    QList<Column> m_columns;
    qint64 m_count = 0;
    qint64 m_rowsRead = 0;
};
