// The person and key searches with a text on the largest site: the program's LIKE (its wildcards, Unicode
// case folding) next to the engine's built-in LIKE on the same rows in the same run. The engine's own
// like() is still there in its three-argument form (LIKE ... ESCAPE), so both run on the same connection,
// through the same reading code, and differ only in the function that tests each row.
#include "BenchSite.h"
#include "core/Database.h"
#include "core/Sql.h"
#include "core/SqlError.h"
#include "keys/KeyList.h"

#include <QTextStream>

namespace {

// The statement with the engine's LIKE: "%" for "*", and the ESCAPE that selects its own like().
QString withEngineLike(QString sql)
{
    sql.replace(QLatin1String("LIKE '*"), QLatin1String("LIKE '%"));
    sql.replace(QLatin1String("*'"), QLatin1String("%' ESCAPE '\\'"));
    return sql;
}

// The person search as the main window writes it.
QString personSearch(const QString& search)
{
    const QString t = Sql::sqlText(search);
    return QStringLiteral("SELECT * FROM TBPersonen WHERE NOT Storniert AND (Nachname LIKE '*") + t +
           QStringLiteral("*' OR PersNr LIKE '*") + t + QStringLiteral("*') ORDER BY Nachname ASC, Vorname ASC");
}

void compare(Database& db, const QString& label, const QString& sql)
{
    int rows = 0;
    int engineRows = 0;
    const double program = bestMs([&] { rows = programRead(db, sql, 4); });
    const double engine = bestMs([&] { engineRows = programRead(db, withEngineLike(sql), 4); });
    printRatio(label, rows, program, engine, 2.0);
    if (rows != engineRows) // the engine folds ASCII only
        QTextStream(stdout) << QStringLiteral("    (the engine's LIKE found %1 rows)\n").arg(engineRows);
}

} // namespace

int main()
{
    try {
        const auto db = Database::open(benchSitePath());
        compare(*db, QStringLiteral("person search '*er*' (LIKE)"), personSearch(QStringLiteral("er")));
        compare(*db, QStringLiteral("person search '*ü*' (LIKE)"), personSearch(QStringLiteral("ü")));
        compare(*db, QStringLiteral("person search '*0042*' (LIKE)"), personSearch(QStringLiteral("0042")));
        compare(*db, QStringLiteral("key search '*1*' (LIKE)"), KeyList::query(QStringLiteral("1")));
        compare(*db, QStringLiteral("key search '*raum*' (LIKE)"), KeyList::query(QStringLiteral("raum")));
    } catch (const SqlError& e) {
        QTextStream(stdout) << errorText(e);
        return 1;
    }
    return 0;
}
