#pragma once

#include "core/AppState.h"
#include "core/Database.h"
#include "core/SqlError.h"

#include <QFile>
#include <functional>

// Short readers for tests of the store and of the files around it.

// The first field of every row of a query, joined by "|". printf('%Q,%Q', a, b) reads several fields at once.
inline QString column(Database& database, const QString& sql)
{
    QStringList values;
    for (Recordset rs = database.openRecordset(sql); !rs.eof(); rs.moveNext())
        values.append(rs.field(0).toString());
    return values.join(u'|');
}

inline QString column(const QString& sql)
{
    return column(db(), sql);
}

// "kind: description" of the journal's entries after the given one, oldest first, as its view tells them.
inline QString journalEntries(Database& database, int after = 0)
{
    return column(database, QStringLiteral("SELECT Ereignis || ': ' || Beschreibung FROM VVerlauf WHERE VerlaufID > %1 "
                                           "ORDER BY VerlaufID")
                                .arg(after));
}

inline QString journalEntries(int after = 0)
{
    return journalEntries(db(), after);
}

// The refusal of an action as the user is shown it, "number (description)"; empty when nothing is refused.
inline QString refusal(const std::function<void()>& action)
{
    try {
        action();
    } catch (const SqlError& e) {
        return QStringLiteral("%1 (%2)").arg(e.number()).arg(e.description());
    }
    return {};
}

// A file's bytes; empty when there is no such file.
inline QByteArray fileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
