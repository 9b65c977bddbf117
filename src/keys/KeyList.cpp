#include "KeyList.h"

#include "core/AppState.h"
#include "core/Blanks.h"
#include "core/Sql.h"
#include "ui/TabListWidget.h"
#include "ui/WaitCursor.h"

#include <QStringList>

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

QString rowText(const QString& keyNumber, const QString& function)
{
    QString text = keyNumber + QLatin1Char('\t');
    if (keyNumber.size() < 5)
        text += QLatin1Char('\t');
    return text + function;
}

QString keyNumberOf(const QString& rowText)
{
    return rowText.section(QLatin1Char('\t'), 0, 0);
}

void fill(TabListWidget* list, const QString& search)
{
    WaitCursor wait;
    // Read first: a refused query leaves the list as it was.
    QStringList texts;
    Recordset rs = db().openRecordset(query(search));
    while (!rs.eof()) {
        texts << rowText(rs.field(QStringLiteral("SchluesselNr")).toString(),
                         rs.field(QStringLiteral("Funktion")).toString());
        rs.moveNext();
    }
    rs.close();

    // Sorting once after the fill is far cheaper than keeping order on every insert.
    const bool sorting = list->isSortingEnabled();
    list->setSortingEnabled(false);
    list->clear();
    for (const QString& text : std::as_const(texts))
        list->addItem(text);
    list->sortItems(Qt::AscendingOrder);
    list->setSortingEnabled(sorting);
    list->clearSelection();
    list->setCurrentItem(nullptr);
}

} // namespace KeyList
