#include "KeyList.h"

#include "core/AppState.h"
#include "core/Blanks.h"
#include "core/Sql.h"
#include "widgets/TabListWidget.h"
#include "widgets/WaitCursor.h"

namespace {

// The length the text has as a QString, counted on its UTF-8 bytes.
qsizetype utf16Length(QByteArrayView utf8)
{
    qsizetype length = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        length += ((byte & 0xC0) != 0x80) + (byte >= 0xF0); // a lead byte; four bytes make a surrogate pair
    }
    return length;
}

} // namespace

namespace KeyList {

QString query(const QString& search)
{
    QString sql = QStringLiteral("SELECT * FROM TBSchluessel ");
    if (!isBlank(search)) {
        const QString s = Sql::sqlText(search);
        sql += QStringLiteral("WHERE SchluesselNr LIKE '*") + s + QStringLiteral("*' OR ") +
               QStringLiteral("Funktion LIKE '*") + s + QStringLiteral("*'");
    }
    return sql;
}

QString keyNumberOf(const QString& rowText)
{
    return rowText.section(QLatin1Char('\t'), 0, 0);
}

Utf8Rows read(Database& db, const QString& search, qsizetype expected)
{
    // Gathered as the engine's UTF-8, without a string per row (see Utf8Rows).
    Utf8Rows rows;
    rows.reserve(expected, 32 * expected);
    Recordset rs = db.openRecordset(query(search));
    if (!rs.eof()) {
        const int number = rs.fieldIndex(QStringLiteral("SchluesselNr"));
        const int function = rs.fieldIndex(QStringLiteral("Funktion"));
        for (; !rs.eof(); rs.moveNext()) {
            // Key number, a tab, a second tab for numbers under 5 characters (so functions line up), the function.
            const QByteArrayView n = rs.bytes(number);
            rows.startRow();
            rows.append(n);
            rows.append('\t');
            if (utf16Length(n) < 5)
                rows.append('\t');
            rows.append(rs.bytes(function));
        }
    }
    rs.close();
    return rows;
}

void fill(TabListWidget* list, const QString& search)
{
    WaitCursor wait;
    // Read first: a refused query leaves the list as it was.
    list->setRows(read(db(), search, list->count())); // sorted, none selected
}

} // namespace KeyList
