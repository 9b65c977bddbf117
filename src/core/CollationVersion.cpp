#include "CollationVersion.h"

#include "Database.h"
#include "Sql.h"
#include "TextCollation.h"

namespace {

const QString kEntry = QStringLiteral("Sortierfolge");

} // namespace

QString CollationVersion::stored(Database& db)
{
    // A register not yet upgraded has no TBSystem; that reads as nothing recorded.
    Recordset table = db.openRecordset(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'TBSystem'"));
    if (table.eof())
        return {};
    table.close();
    Recordset rs =
        db.openRecordset(QStringLiteral("SELECT Wert FROM TBSystem WHERE Eintrag = '") + kEntry + QStringLiteral("'"));
    return rs.eof() ? QString() : rs.field(0).toString();
}

bool CollationVersion::refresh(Database& db)
{
    const QString current = TextCollation::version();
    if (stored(db) == current)
        return false;
    Database::Transaction transaction(db);
    db.executeNative(QStringLiteral("REINDEX ") + QLatin1String(TextCollation::name));
    db.executeNative(recordStatement());
    transaction.commit();
    return true;
}

QString CollationVersion::recordStatement()
{
    return QStringLiteral("INSERT OR REPLACE INTO TBSystem (Eintrag, Wert) VALUES('") + kEntry +
           QStringLiteral("', '") + Sql::sqlText(TextCollation::version()) + QStringLiteral("')");
}
