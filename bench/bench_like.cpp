// The person and key searches with a text, on a register of the largest plausible site (32,767 persons,
// 30,000 keys): the program's LIKE (its wildcards, Unicode case folding) next to the engine's built-in
// LIKE on the same rows in the same run. The engine's own like() is still there in its three-argument
// form (LIKE ... ESCAPE), so both run on the same connection, through the same reading code.
#include "core/Database.h"
#include "core/Sql.h"
#include "core/SqlError.h"
#include "keys/KeyList.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>

namespace {

QTextStream out(stdout);

// Best of five, so one slow start does not count. Milliseconds.
double bestOf(const std::function<void()>& action)
{
    qint64 best = -1;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        action();
        const qint64 elapsed = timer.nsecsElapsed();
        best = best < 0 ? elapsed : std::min(best, elapsed);
    }
    return best / 1e6;
}

int readAll(Database& db, const QString& sql)
{
    Recordset rs = db.openRecordset(sql);
    while (!rs.eof()) {
        for (int i = 0; i < 4; ++i)
            rs.field(i);
        rs.moveNext();
    }
    return rs.recordCount();
}

// The statement with the engine's LIKE: "%" for "*", and the ESCAPE that selects its own like().
QString withEngineLike(QString sql)
{
    sql.replace(QLatin1String("LIKE '*"), QLatin1String("LIKE '%"));
    sql.replace(QLatin1String("*'"), QLatin1String("%' ESCAPE '\\'"));
    return sql;
}

void compare(Database& db, const QString& label, const QString& sql)
{
    int rows = 0;
    int engineRows = 0;
    const double program = bestOf([&] { rows = readAll(db, sql); });
    const double engine = bestOf([&] { engineRows = readAll(db, withEngineLike(sql)); });
    out << QStringLiteral("%1 %2 %3 %4 %5%6\n")
               .arg(label, -30)
               .arg(rows, 7)
               .arg(program, 10, 'f', 1)
               .arg(engine, 10, 'f', 1)
               .arg(program / engine, 7, 'f', 2)
               .arg(rows == engineRows ? QString() : QStringLiteral("  (engine found %1 rows)").arg(engineRows));
    out.flush();
}

QString personSearch(const QString& search)
{
    const QString t = Sql::sqlText(search);
    return QStringLiteral("SELECT * FROM TBPersonen WHERE NOT Storniert AND (Nachname LIKE '*") + t +
           QStringLiteral("*' OR PersNr LIKE '*") + t + QStringLiteral("*') ORDER BY Nachname ASC, Vorname ASC");
}

void fill(Database& db, int persons, int keys)
{
    const QStringList surnames{
        "Müller",   "Schmidt",    "Schneider", "Fischer", "Weber",    "Meyer",    "Wagner", "Becker",   "Schulz",
        "Hoffmann", "Schäfer",    "Koch",      "Bauer",   "Richter",  "Klein",    "Wolf",   "Schröder", "Neumann",
        "Schwarz",  "Zimmermann", "Braun",     "Krüger",  "Hofmann",  "Hartmann", "Lange",  "Schmitt",  "Werner",
        "Krause",   "Meier",      "Lehmann",   "Köhler",  "Herrmann", "König",    "Walter", "Huber",    "Kaiser",
        "Fuchs",    "Möller",     "Weiß",      "Jung",    "Hahn",     "Vogel",    "Keller", "Günther",  "Berger",
        "Böhm",     "Krämer",     "Jäger",     "Groß",    "Kühn",     "Engel",    "Horn",   "Busch",    "Pfeiffer"};
    const QStringList givenNames{"Anna",    "Peter", "Jürgen", "Sabine", "Thomas", "Monika", "Andreas", "Petra",
                                 "Michael", "Jörg",  "Stefan", "Birgit", "Klaus",  "Ute",    "Frank",   "Renate"};
    const QStringList functions{
        "Haupteingang",     "Heizungsraum", "Büro",        "Lager",  "Werkstatt",    "Archiv",
        "Serverraum",       "Küche",        "Technikraum", "Garage", "Hausmeister",  "Besprechungsraum",
        "Treppenhaus Nord", "Müllraum",     "Poststelle",  "Labor",  "Sitzungssaal", "Keller"};
    QRandomGenerator random(4711);
    Database::Transaction transaction(db);
    for (int i = 1; i <= persons; ++i)
        db.execute(QStringLiteral("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) "
                                  "VALUES('%1', '%2 ', 'P%3 ', %4)")
                       .arg(surnames[random.bounded(surnames.size())], givenNames[random.bounded(givenNames.size())])
                       .arg(i, 5, 10, QLatin1Char('0'))
                       .arg(i % 25 == 0 ? QStringLiteral("True") : QStringLiteral("False")));
    for (int i = 1; i <= keys; ++i)
        db.execute(QStringLiteral("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) "
                                  "VALUES('%1%2', '%3 %4 ', %5, False)")
                       .arg(QChar(u'A' + i % 20))
                       .arg(i)
                       .arg(functions[random.bounded(functions.size())])
                       .arg(random.bounded(1, 400))
                       .arg(random.bounded(1, 20)));
    transaction.commit();
}

} // namespace

int main(int argc, char** argv)
{
    const int persons = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 32767;
    const int keys = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 30000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TBDB.MDB"));
    try {
        Database::create(path);
        auto db = Database::open(path);
        fill(*db, persons, keys);
        out << QStringLiteral("LIKE search, %1 persons, %2 keys (goal: program at most 2 x the engine)\n")
                   .arg(persons)
                   .arg(keys);
        out << QStringLiteral("%1 %2 %3 %4 %5\n")
                   .arg(QString(), -30)
                   .arg(QStringLiteral("rows"), 7)
                   .arg(QStringLiteral("program ms"), 10)
                   .arg(QStringLiteral("engine ms"), 10)
                   .arg(QStringLiteral("ratio"), 7);
        compare(*db, QStringLiteral("persons '*er*'"), personSearch(QStringLiteral("er")));
        compare(*db, QStringLiteral("persons '*ö*'"), personSearch(QStringLiteral("ö")));
        compare(*db, QStringLiteral("persons '*00042*'"), personSearch(QStringLiteral("00042")));
        compare(*db, QStringLiteral("keys '*1*'"), KeyList::query(QStringLiteral("1")));
        compare(*db, QStringLiteral("keys '*raum*'"), KeyList::query(QStringLiteral("raum")));
    } catch (const SqlError& e) {
        out << QStringLiteral("error %1: %2\n  %3\n").arg(e.number()).arg(e.description(), e.statement());
        return 1;
    }
    return 0;
}
