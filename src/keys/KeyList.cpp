#include "KeyList.h"

#include "WaitCursor.h"
#include "core/AppState.h"
#include "core/Sql.h"

#include <QListWidget>

namespace {

// Rows compare without regard to case, as the list is meant to read.
class KeyListItem final : public QListWidgetItem
{
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override
    {
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }
};

} // namespace

namespace KeyList {

QString query(const QString& search)
{
    QString sql = QStringLiteral("SELECT * FROM TBSchluessel ");
    if (!search.trimmed().isEmpty()) {
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

void fill(QListWidget* list, const QString& search)
{
    WaitCursor wait;
    // Sorting once after the fill is far cheaper than keeping order on every insert.
    const bool sorting = list->isSortingEnabled();
    list->setSortingEnabled(false);
    list->clear();

    Recordset rs = db().openRecordset(query(search));
    while (!rs.eof()) {
        new KeyListItem(rowText(rs.field(QStringLiteral("SchluesselNr")).toString(),
                                rs.field(QStringLiteral("Funktion")).toString()),
                        list);
        rs.moveNext();
    }
    rs.close();

    list->sortItems(Qt::AscendingOrder);
    list->setSortingEnabled(sorting);
    list->clearSelection();
    list->setCurrentItem(nullptr);
}

} // namespace KeyList
