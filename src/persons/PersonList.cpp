#include "PersonList.h"

#include "PersonText.h"
#include "core/Blanks.h"
#include "core/Database.h"
#include "core/Sql.h"

namespace PersonList {

QString query(const QString& search)
{
    // The search text goes in as typed, blanks kept; its wildcards act as wildcards.
    QString sql = QStringLiteral("SELECT * FROM TBPersonen WHERE NOT Storniert");
    if (!isBlank(search)) {
        const QString t = Sql::sqlText(search);
        sql += QStringLiteral(" AND (Nachname LIKE '*") + t + QStringLiteral("*' OR ") +
               QStringLiteral("PersNr LIKE '*") + t + QStringLiteral("*')");
    }
    return sql + QStringLiteral(" ORDER BY Nachname ASC, Vorname ASC");
}

Rows read(Database& db, const QString& search, qsizetype expected)
{
    Rows rows;
    rows.entries.reserve(expected + 1);
    rows.lines.reserve(expected);
    Recordset persons = db.openRecordset(query(search));
    if (!persons.eof()) {
        const int persId = persons.fieldIndex(QStringLiteral("PersID"));
        const int nachname = persons.fieldIndex(QStringLiteral("Nachname"));
        const int vorname = persons.fieldIndex(QStringLiteral("Vorname"));
        for (; !persons.eof(); persons.moveNext()) {
            const QString name =
                PersonText::lineName(persons.field(nachname).toString(), persons.field(vorname).toString());
            rows.entries.append(PersEntry{persons.field(persId).toInt(), name});
            rows.lines.append(name);
        }
    }
    persons.close();
    rows.entries.append(PersEntry{});
    return rows;
}

} // namespace PersonList
