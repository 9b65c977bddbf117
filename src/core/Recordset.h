#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

struct sqlite3_stmt;

// The rows of one query, read once from first to last.
// Values are typed: QDate for date columns, bool for yes/no columns, int or qint64 for numbers,
// QString for text, a null QVariant for Null.
class Recordset
{
public:
    Recordset() = default;
    explicit Recordset(sqlite3_stmt* statement, const QString& sql);
    Recordset(Recordset&& other) noexcept;
    Recordset& operator=(Recordset&& other) noexcept;
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool eof() const { return m_eof; }
    QVariant field(int index) const;           // 0-based position
    QVariant field(const QString& name) const; // column name, case ignored
    int fieldIndex(const QString& name) const; // position of a column for field(int); throws when unknown
    // The same without a QVariant on the way, for reading long lists: the field as text (Null gives a
    // null QString), and a date column's day (Null or no date gives an invalid QDate).
    QString text(int index) const;
    QDate date(int index) const;
    // The field's text as the engine stores it (UTF-8), valid until the next moveNext(); data() is null
    // for Null. For callers that decode repeated texts only once.
    QByteArrayView bytes(int index) const;
    void moveNext();
    int recordCount() const { return m_count; } // rows passed so far; the total once eof()
    void close();

private:
    enum class Kind { Plain, Date, YesNo }; // from the column's declared type

    void step();
    void checkField(int index) const;
    QByteArrayView textBytes(int index) const;
    static std::optional<QDate> isoDate(QByteArrayView text);
    int indexOf(const QString& name) const;
    [[noreturn]] void fail(int rc);

    sqlite3_stmt* m_stmt = nullptr;
    QString m_sql;
    QStringList m_names;
    QList<Kind> m_kinds;
    bool m_eof = true;
    int m_count = 0;
};
