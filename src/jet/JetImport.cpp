#include "JetImport.h"

#include "core/Database.h"
#include "core/Journal.h"
#include "core/Schema.h"
#include "core/Sql.h"
#include "core/SqlError.h"
#include "core/Statement.h"
#include "core/Texts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using JetType = JetFile::Type;

// A long list is cut here in the report; the count still says how many there are.
constexpr int kListed = 100;

// What a column of the register takes.
enum class Kind {
    Id,     // an auto-number: a whole number, unique
    Number, // a whole number
    YesNo,
    Day,
    Text, // up to Schema::textLimit characters
};

struct Target
{
    QString column;
    Kind kind;
};

struct TableShape
{
    QString table;
    QList<Target> columns;
    bool namedByFirst; // a row is named by its first column (its number), else by its place
};

const QList<TableShape>& shapes()
{
    static const QList<TableShape> tables = {
        {QStringLiteral("TBKopfdaten"),
         {{QStringLiteral("Erstellt"), Kind::Day},
          {QStringLiteral("Quelle"), Kind::Text},
          {QStringLiteral("AnlagenNr"), Kind::Text},
          {QStringLiteral("Version"), Kind::Number},
          {QStringLiteral("Stempel"), Kind::Text},
          {QStringLiteral("Bestätigung"), Kind::Text}},
         false},
        {QStringLiteral("TBPersonen"),
         {{QStringLiteral("PersID"), Kind::Id},
          {QStringLiteral("Nachname"), Kind::Text},
          {QStringLiteral("Vorname"), Kind::Text},
          {QStringLiteral("PersNr"), Kind::Text},
          {QStringLiteral("Storniert"), Kind::YesNo}},
         true},
        {QStringLiteral("TBSchluessel"),
         {{QStringLiteral("SchluesselNr"), Kind::Text},
          {QStringLiteral("Funktion"), Kind::Text},
          {QStringLiteral("Gesamt"), Kind::Number},
          {QStringLiteral("ZusatzNr"), Kind::YesNo}},
         true},
        {QStringLiteral("TBBewegungen"),
         {{QStringLiteral("BewID"), Kind::Id},
          {QStringLiteral("PersonID"), Kind::Number},
          {QStringLiteral("SchluesselNr"), Kind::Text},
          {QStringLiteral("ZusatzNr"), Kind::Text},
          {QStringLiteral("Von"), Kind::Day},
          {QStringLiteral("Status"), Kind::Number},
          {QStringLiteral("Bis"), Kind::Day}},
         true},
    };
    return tables;
}

bool fits(Kind kind, JetType type)
{
    const bool whole = type == JetType::Byte || type == JetType::Integer || type == JetType::Long;
    switch (kind) {
    case Kind::Id:
        return whole;
    case Kind::Number:
        return whole || type == JetType::Single || type == JetType::Double;
    case Kind::YesNo:
        return type == JetType::Boolean;
    case Kind::Day:
        return type == JetType::DateTime;
    case Kind::Text:
        return type == JetType::Text || type == JetType::Memo;
    }
    return false;
}

// The engine's own names of its types.
QString typeName(JetType type)
{
    static const char* const names[] = {"Yes/No",     "Byte",   "Integer",   "Long Integer", "Currency",
                                        "Single",     "Double", "Date/Time", "Binary",       "Text",
                                        "OLE Object", "Memo",   "?"};
    return QString::fromLatin1(names[static_cast<int>(type)]);
}

QString formatName(JetFile::Format format)
{
    switch (format) {
    case JetFile::Format::Jet3:
        return QStringLiteral("Jet 3");
    case JetFile::Format::Jet4:
        return QStringLiteral("Jet 4");
    case JetFile::Format::Ace:
        return QStringLiteral("ACE");
    }
    return {};
}

// A value as it stands in a report line: texts in quotes, so blanks at their ends show.
QString shown(const QVariant& value)
{
    if (value.isNull())
        return GetText(QStringLiteral("(leer)"), 2003);
    if (value.typeId() == QMetaType::QString)
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return value.toString();
}

// A place of the four tables matched to the Jet file's columns, after the whole file is known to fit.
struct Mapped
{
    const TableShape* shape;
    std::unique_ptr<JetFile::Table> source;
    QList<int> columns; // the source column of each target column
    QList<int> limits;  // the characters each target column holds; 0 for no limit
};

// Opens the four tables and matches their columns; what does not fit is collected for one refusal, and
// what the register does not know is named in the report.
std::vector<Mapped> mapTables(JetFile& jet, JetImport::Report& report)
{
    for (const QString& table : jet.tables()) {
        const bool known = std::any_of(shapes().begin(), shapes().end(), [&table](const TableShape& shape) {
            return shape.table.compare(table, Qt::CaseInsensitive) == 0;
        });
        if (!known)
            report.ignored << GetText(QStringLiteral("Tabelle %1"), 779).arg(table);
    }
    std::vector<Mapped> mapped;
    QStringList problems;
    for (const TableShape& shape : shapes()) {
        std::unique_ptr<JetFile::Table> source = jet.table(shape.table);
        if (!source) {
            problems << GetText(QStringLiteral("Es fehlt die Tabelle %1."), 746).arg(shape.table);
            continue;
        }
        Mapped m{&shape, std::move(source), {}, {}};
        for (const Target& target : shape.columns) {
            const int index = m.source->columnIndex(target.column);
            m.columns << index;
            m.limits << Schema::textLimit(shape.table, target.column);
            if (index < 0) {
                problems << GetText(QStringLiteral("Der Tabelle %1 fehlt die Spalte %2."), 747)
                                .arg(shape.table, target.column);
            } else if (const JetType type = m.source->columns().at(index).type; !fits(target.kind, type)) {
                problems << GetText(
                                QStringLiteral("Die Spalte %2 der Tabelle %1 hat den Typ %3, der hier nicht passt."),
                                753)
                                .arg(shape.table, target.column, typeName(type));
            }
        }
        for (int i = 0; i < m.source->columns().size(); ++i) {
            if (!m.columns.contains(i))
                report.ignored << GetText(QStringLiteral("Spalte %2 der Tabelle %1"), 780)
                                      .arg(shape.table, m.source->columns().at(i).name);
        }
        mapped.push_back(std::move(m));
    }
    if (!problems.isEmpty())
        throw JetError(JetError::Kind::NotARegister, problems.join(QStringLiteral("\r\n")));
    return mapped;
}

// One value as the statement takes it: Null, a number, or text as UTF-8.
struct Cell
{
    enum class Type { Null, Number, Text } type = Type::Null;
    qint64 number = 0;
    QByteArray text;

    static Cell null() { return {}; }
    static Cell of(qint64 n) { return {Type::Number, n, {}}; }
    static Cell of(QByteArray t) { return {Type::Text, 0, std::move(t)}; }

    // As the report shows it: texts in quotes, yes/no as the statements write it.
    QString shown(Kind kind) const
    {
        switch (type) {
        case Type::Null:
            return ::shown(QVariant());
        case Type::Number:
            return kind == Kind::YesNo ? ::shown(number != 0) : QString::number(number);
        case Type::Text:
            return ::shown(QString::fromUtf8(text));
        }
        return {};
    }
};

// The characters (code points, as the engine counts them) of UTF-8 text up to the byte where the one after the
// first limit characters begins; the whole text when it has no more.
qsizetype utf8Prefix(const QByteArray& text, int limit)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xc0) != 0x80 && ++count > limit)
            return i;
    }
    return text.size();
}

// "2026-12-05"
QByteArray isoDay(const QDate& day)
{
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year(), day.month(), day.day());
    return QByteArray(text, n);
}

// Writes the rows of one table, deciding per value and per row what the register cannot take as it is.
// Rows stream from the Jet file into one prepared statement; only rows whose number must be given anew
// wait until the end.
class Loader
{
public:
    Loader(Database& db, JetImport::Report& report) : m_db(db), m_report(report) {}

    qint64 load(Mapped& m)
    {
        const TableShape& shape = *m.shape;
        QStringList names;
        QStringList places;
        for (int i = 0; i < shape.columns.size(); ++i) {
            names << shape.columns[i].column;
            places << QStringLiteral("?%1").arg(i + 1);
        }
        Statement insert(m_db.handle(),
                         QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                             .arg(shape.table, names.join(QStringLiteral(", ")), places.join(QStringLiteral(", "))));
        qint64 carried = 0;
        std::vector<Deferred> deferred;
        std::vector<Cell> cells(static_cast<std::size_t>(shape.columns.size()));
        while (m.source->next()) {
            m_mapped = &m;
            m_name.clear();
            m_changes.clear();
            bool idMissing = false;
            for (int i = 0; i < shape.columns.size(); ++i) {
                Cell& cell = cells[static_cast<std::size_t>(i)];
                cell = convert(i);
                idMissing |= shape.columns[i].kind == Kind::Id && cell.type == Cell::Type::Null;
            }
            const int result = idMissing ? SQLITE_CONSTRAINT_PRIMARYKEY : run(insert, cells);
            switch (result) {
            case SQLITE_DONE:
                ++carried;
                addChanges(m_changes);
                break;
            case SQLITE_CONSTRAINT_PRIMARYKEY:
                deferred.push_back({cells, name(), m_changes});
                break;
            case SQLITE_CONSTRAINT_UNIQUE:
                addNotCarried(
                    GetText(QStringLiteral("%1 (%2): die gleiche Nummer wie der übernommene Schlüssel %3"), 776)
                        .arg(name(), describe(shape, cells), shown(keptKey(cells[0].text))));
                break;
            case SQLITE_CONSTRAINT_NOTNULL:
                addNotCarried(
                    GetText(QStringLiteral("%1 (%2): ohne Schlüsselnummer"), 777).arg(name(), describe(shape, cells)));
                break;
            default:
                throw SqlError(result & 0xff, QString::fromUtf8(sqlite3_errmsg(m_db.handle())));
            }
        }
        // Numbered after every number the file gave, so that no later row of the file can take the same.
        for (Deferred& row : deferred) {
            row.cells[0] = Cell::null();
            if (const int result = run(insert, row.cells); result != SQLITE_DONE)
                throw SqlError(result & 0xff, QString::fromUtf8(sqlite3_errmsg(m_db.handle())));
            addChanges(row.changes);
            addChange(
                GetText(QStringLiteral("%1: die Nummer war schon vergeben oder fehlte; übernommen als %2 %3"), 774)
                    .arg(row.name, shape.columns[0].column)
                    .arg(sqlite3_last_insert_rowid(m_db.handle())));
            ++carried;
        }
        return carried;
    }

private:
    struct Deferred
    {
        std::vector<Cell> cells;
        QString name;
        QStringList changes;
    };

    // The row being carried as the report names it: by its number, else by its place in the Jet table.
    QString name()
    {
        if (m_name.isEmpty()) {
            const TableShape& shape = *m_mapped->shape;
            const QVariant first = m_mapped->source->value(m_mapped->columns[0]);
            m_name = shape.namedByFirst && !first.isNull()
                         ? QStringLiteral("%1 %2 %3").arg(shape.table, shape.columns[0].column, shown(first))
                         : shape.table + QStringLiteral(", ") +
                               GetText(QStringLiteral("Zeile %1"), 783).arg(m_mapped->source->rowsRead());
        }
        return m_name;
    }

    Cell convert(int i)
    {
        const JetFile::Table& source = *m_mapped->source;
        const int column = m_mapped->columns[i];
        const Target& target = m_mapped->shape->columns[i];
        if (source.isNull(column))
            return Cell::null();
        switch (target.kind) {
        case Kind::Id:
        case Kind::Number: {
            const QVariant value = source.value(column);
            if (value.typeId() == QMetaType::Int)
                return Cell::of(value.toLongLong());
            const double number = value.toDouble();
            if (std::isfinite(number) && number == std::trunc(number) && std::fabs(number) <= 2147483647.0)
                return Cell::of(qint64(number));
            m_changes << GetText(QStringLiteral("%1, Spalte %2: %3 ist keine ganze Zahl zwischen -2147483648 und "
                                                "2147483647, leer übernommen"),
                                 772)
                             .arg(name(), target.column, QString::number(number, 'g', 17));
            return Cell::null();
        }
        case Kind::YesNo:
            return Cell::of(source.value(column).toBool() ? 1 : 0);
        case Kind::Day: {
            const double number = source.dateNumber(column);
            const QDateTime when = JetFile::dateTime(number);
            if (!when.isValid()) {
                m_changes << GetText(QStringLiteral("%1, Spalte %2: ein Tag außerhalb der Jahre 1 bis 9999 (Wert %3), "
                                                    "leer übernommen"),
                                     771)
                                 .arg(name(), target.column, QString::number(number, 'g', 17));
                return Cell::null();
            }
            if (when.time() != QTime(0, 0))
                m_changes << GetText(QStringLiteral("%1, Spalte %2: die Uhrzeit %3 weggelassen, der Tag bleibt"), 770)
                                 .arg(name(), target.column, when.time().toString(QStringLiteral("HH:mm:ss")));
            return Cell::of(isoDay(when.date()));
        }
        case Kind::Text: {
            QByteArray text = source.utf8(column);
            if (text.contains('\0')) {
                text.replace(QByteArrayView("\0", 1), QByteArrayView());
                m_changes << GetText(QStringLiteral("%1, Spalte %2: Zeichen mit dem Code 0 entfernt"), 773)
                                 .arg(name(), target.column);
            }
            if (const int limit = m_mapped->limits[i]; limit > 0) {
                if (const qsizetype kept = utf8Prefix(text, limit); kept < text.size()) {
                    m_changes << GetText(QStringLiteral("%1, Spalte %2: auf %3 Zeichen gekürzt; vollständig: %4"), 769)
                                     .arg(name(), target.column)
                                     .arg(limit)
                                     .arg(shown(QString::fromUtf8(text)));
                    text.truncate(kept);
                }
            }
            return Cell::of(std::move(text));
        }
        }
        return Cell::null();
    }

    // Binds the cells in the order of the statement's columns and runs it; the engine's extended result.
    static int run(Statement& statement, const std::vector<Cell>& cells)
    {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const int place = static_cast<int>(i) + 1;
            switch (cells[i].type) {
            case Cell::Type::Null:
                statement.null(place);
                break;
            case Cell::Type::Number:
                statement.number(place, cells[i].number);
                break;
            case Cell::Type::Text:
                statement.text(place, cells[i].text);
                break;
            }
        }
        return statement.tryRun();
    }

    // The key a refused key number equals under the register's rule (case and blanks at the end ignored).
    QVariant keptKey(const QByteArray& number)
    {
        Recordset rs =
            m_db.openRecordset(QStringLiteral("SELECT SchluesselNr FROM TBSchluessel WHERE SchluesselNr = '") +
                               Sql::sqlText(QString::fromUtf8(number)) + QLatin1Char('\''));
        return rs.eof() ? QVariant() : rs.field(0);
    }

    // "Funktion "Tor ", Gesamt 3, ZusatzNr True": a row's values after its first.
    static QString describe(const TableShape& shape, const std::vector<Cell>& cells)
    {
        QStringList parts;
        for (std::size_t i = 1; i < cells.size(); ++i) {
            const Target& target = shape.columns[qsizetype(i)];
            parts << target.column + QLatin1Char(' ') + cells[i].shown(target.kind);
        }
        return parts.join(QStringLiteral(", "));
    }

    void addChange(const QString& line)
    {
        if (m_report.changed.size() < kListed)
            m_report.changed << line;
        else
            ++m_report.moreChanged;
    }
    void addChanges(const QStringList& lines)
    {
        for (const QString& line : lines)
            addChange(line);
    }
    void addNotCarried(const QString& line)
    {
        if (m_report.notCarried.size() < kListed)
            m_report.notCarried << line;
        else
            ++m_report.moreNotCarried;
    }

    Database& m_db;
    JetImport::Report& m_report;
    Mapped* m_mapped = nullptr;
    QString m_name;        // of the row being carried, once asked for
    QStringList m_changes; // what was changed in it
};

// A name beside path that no file has.
QString temporaryPath(const QString& path)
{
    QString candidate = path + QStringLiteral(".part");
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = path + QStringLiteral(".part%1").arg(n);
    return candidate;
}

void write(const QString& jetPath, const QString& path, JetImport::Report& report)
{
    JetFile jet(jetPath);
    report.format = jet.format();
    std::vector<Mapped> tables = mapTables(jet, report);

    Database::create(path);
    auto db = Database::open(path);
    // Room for the pages of the indexes built at the end.
    db->executeNative(QStringLiteral("PRAGMA cache_size = -65536"));
    Database::Transaction transaction(*db);
    Schema::BulkLoad bulk(*db, Schema::tables(), true);
    Loader loader(*db, report);
    for (Mapped& table : tables)
        report.carried.append({table.shape->table, loader.load(table)});
    bulk.finish();
    for (const auto& [table, rows] : std::as_const(report.carried))
        db->executeNative(Journal::carriedOverStatement(table, rows));
    report.faulty = RegisterCheck::consistency(*db, kListed);
    transaction.commit();
}

void section(QStringList& lines, const QString& heading, const QStringList& items, qint64 more)
{
    if (items.isEmpty())
        return;
    lines << QString() << heading;
    for (const QString& item : items)
        lines << QStringLiteral("  ") + item;
    if (more > 0)
        lines << QStringLiteral("  ") + RegisterCheck::more(more);
}

} // namespace

namespace JetImport {

QStringList Report::lines() const
{
    QStringList lines{
        GetText(QStringLiteral("Übernahme aus der Jet-Datei %1 (%2)"), 760)
            .arg(QDir::toNativeSeparators(jetPath), formatName(format)),
        GetText(QStringLiteral("in die neue Datenbank %1"), 761).arg(QDir::toNativeSeparators(registerPath)),
        QString(),
    };
    for (const auto& [table, rows] : carried)
        lines << GetText(QStringLiteral("%1: %2 Zeilen übernommen"), 762).arg(table).arg(rows);

    QStringList faultyLines;
    for (const RegisterCheck::Finding& finding : faulty.listed)
        faultyLines << RegisterCheck::line(finding);
    section(lines,
            GetText(QStringLiteral("Übernommen, aber nicht in Ordnung (clavaro --check nennt genau diese):"), 763),
            faultyLines, faulty.total() - faulty.listed.size());
    section(lines, GetText(QStringLiteral("Beim Übernehmen geändert:"), 768), changed, moreChanged);
    section(lines, GetText(QStringLiteral("Nicht übernommen:"), 775), notCarried, moreNotCarried);
    section(lines, GetText(QStringLiteral("Von diesem Programm nicht gebraucht und nicht übernommen:"), 778), ignored,
            0);
    if (faulty.total() == 0 && changed.isEmpty() && notCarried.isEmpty())
        lines << QString() << GetText(QStringLiteral("Alles ist unverändert übernommen."), 782);
    return lines;
}

Report carryOver(const QString& jetPath, const QString& newPath, const QString& asidePath)
{
    Report report;
    report.jetPath = asidePath.isEmpty() ? jetPath : asidePath;
    report.registerPath = newPath;
    if (asidePath.isEmpty() ? QFileInfo::exists(newPath) : QFileInfo::exists(asidePath))
        throw SqlError(SQLITE_CANTOPEN, QStringLiteral("%1 already exists")
                                            .arg(QDir::toNativeSeparators(asidePath.isEmpty() ? newPath : asidePath)));
    const QString part = temporaryPath(newPath);
    try {
        write(jetPath, part, report);
        if (!asidePath.isEmpty() && !QFile::rename(jetPath, asidePath))
            throw SqlError(SQLITE_CANTOPEN, QStringLiteral("cannot rename %1 to %2").arg(jetPath, asidePath));
        if (!QFile::rename(part, newPath)) {
            if (!asidePath.isEmpty())
                QFile::rename(asidePath, jetPath);
            throw SqlError(SQLITE_CANTOPEN, QStringLiteral("cannot rename %1 to %2").arg(part, newPath));
        }
    } catch (...) {
        QFile::remove(part);
        QFile::remove(part + QStringLiteral("-journal"));
        throw;
    }
    return report;
}

QString refusal(const QString& jetPath, const JetError& error)
{
    QString why;
    switch (error.kind()) {
    case JetError::Kind::Damaged:
        why = GetText(QStringLiteral("Sie ist beschädigt."), 742);
        break;
    case JetError::Kind::Encrypted:
        why = GetText(QStringLiteral("Sie ist mit dem Kennwort der Datenbank verschlüsselt, und dieses Programm kann "
                                     "sie nicht entschlüsseln."),
                      743);
        break;
    case JetError::Kind::NotARegister:
        why = GetText(QStringLiteral("Sie enthält nicht die vier Tabellen dieses Programms."), 744);
        break;
    }
    if (!error.detail().isEmpty())
        why += QStringLiteral("\r\n") + error.detail();
    return GetText(QStringLiteral("Die Jet-Datei kann nicht übernommen werden:"), 741) + QStringLiteral("\r\n") +
           QDir::toNativeSeparators(jetPath) + QStringLiteral("\r\n\r\n") + why + QStringLiteral("\r\n\r\n") +
           GetText(QStringLiteral("Die Datei bleibt, wie sie war."), 745);
}

} // namespace JetImport
