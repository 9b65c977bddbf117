#include "RegisterChange.h"

#include "AppState.h"
#include "Journal.h"
#include "Texts.h"

#include <sqlite3.h>

namespace RegisterChange {

namespace {

Keeper& keeper()
{
    static Keeper k;
    return k;
}

// How the journal says that a change was taken back: the kind of entry, the table whose row it describes,
// and the facts it keeps (journal column, the row's column). A change of a row keeps its values from
// before too, as the Alt... facts.
struct TakenBack
{
    Journal::Art art;
    QString table;
    QList<std::pair<QString, QString>> facts;
    bool change = false;
};

std::optional<TakenBack> takenBack(Kind kind)
{
    const QString movements = QStringLiteral("TBBewegungen");
    const QString persons = QStringLiteral("TBPersonen");
    const QString keys = QStringLiteral("TBSchluessel");
    const QList<std::pair<QString, QString>> person = {{QStringLiteral("PersID"), QStringLiteral("PersID")},
                                                       {QStringLiteral("Nachname"), QStringLiteral("Nachname")},
                                                       {QStringLiteral("Vorname"), QStringLiteral("Vorname")},
                                                       {QStringLiteral("PersNr"), QStringLiteral("PersNr")}};
    const QList<std::pair<QString, QString>> key = {{QStringLiteral("SchluesselNr"), QStringLiteral("SchluesselNr")},
                                                    {QStringLiteral("Funktion"), QStringLiteral("Funktion")},
                                                    {QStringLiteral("Gesamt"), QStringLiteral("Gesamt")},
                                                    {QStringLiteral("MitZusatzNr"), QStringLiteral("ZusatzNr")}};
    switch (kind) {
    case Kind::Vergabe:
        // The movement goes; the entry keeps what it was.
        return TakenBack{Journal::VergabeZurueckgenommen,
                         movements,
                         {{QStringLiteral("BewID"), QStringLiteral("BewID")},
                          {QStringLiteral("PersID"), QStringLiteral("PersonID")},
                          {QStringLiteral("SchluesselNr"), QStringLiteral("SchluesselNr")},
                          {QStringLiteral("ZusatzNr"), QStringLiteral("ZusatzNr")},
                          {QStringLiteral("Von"), QStringLiteral("Von")},
                          {QStringLiteral("Status"), QStringLiteral("Status")}}};
    case Kind::Rueckgabe:
        return TakenBack{
            Journal::RueckgabeZurueckgenommen, movements, {{QStringLiteral("BewID"), QStringLiteral("BewID")}}};
    case Kind::PersonAngelegt:
        return TakenBack{Journal::PersonAngelegtZurueckgenommen, persons, person};
    case Kind::PersonGeaendert:
        return TakenBack{Journal::PersonGeaendertZurueckgenommen, persons, person, true};
    case Kind::PersonStorniert:
        return TakenBack{Journal::PersonStorniertZurueckgenommen, persons, person};
    case Kind::SchluesselAngelegt:
        return TakenBack{Journal::SchluesselAngelegtZurueckgenommen, keys, key};
    case Kind::SchluesselGeaendert:
        return TakenBack{Journal::SchluesselGeaendertZurueckgenommen, keys, key, true};
    case Kind::SchluesselGeloescht:
        return TakenBack{Journal::SchluesselGeloeschtZurueckgenommen, keys, key};
    case Kind::Anlagennummer:
    case Kind::Bestaetigung:
        break; // the header row keeps no journal
    }
    return std::nullopt;
}

QVariant variant(const RowChange::Value& v)
{
    switch (v.type) {
    case SQLITE_INTEGER:
        return v.integer;
    case SQLITE_FLOAT:
        return v.real;
    case SQLITE_TEXT:
        return QString::fromUtf8(v.bytes);
    case SQLITE_BLOB:
        return v.bytes;
    default:
        return {};
    }
}

// The facts of the entry for a change taken back: the row as it is again, and as it was made.
QList<std::pair<QString, QVariant>> factsOf(const TakenBack& entry, const RowChange& change)
{
    using Side = RowChange::Side;
    const QStringList columns = change.columns(entry.table);
    const QMap<qint64, RowChange::Row>& before = change.rows(entry.table, Side::Before);
    const QMap<qint64, RowChange::Row>& after = change.rows(entry.table, Side::After);
    const RowChange::Row now = before.isEmpty() ? after.first() : before.first();
    const RowChange::Row made = after.isEmpty() ? now : after.first();
    QList<std::pair<QString, QVariant>> facts;
    for (const auto& [fact, column] : entry.facts) {
        const qsizetype at = columns.indexOf(column);
        facts.append({fact, variant(now.value(at))});
        if (entry.change && fact != QLatin1String("PersID"))
            facts.append({QStringLiteral("Alt") + fact, variant(made.value(at))});
    }
    return facts;
}

// A change of the header row changes the system number the program holds.
void readAgain(const RowChange& change)
{
    if (!change.tables().contains(QStringLiteral("TBKopfdaten")))
        return;
    Recordset header = db().openRecordset(QStringLiteral("SELECT AnlagenNr FROM TBKopfdaten"));
    app().AnlagenNr = header.eof() ? QString() : header.field(0).toString();
    header.close();
}

} // namespace

void setKeeper(Keeper k)
{
    keeper() = std::move(k);
}

void make(Kind kind, QList<RowChange::Scope> scopes, const std::function<void()>& statements)
{
    Database& database = db();
    Database::Transaction transaction(database);
    if (!keeper()) {
        statements();
        transaction.commit();
        return;
    }
    RowChange change;
    change.readBefore(database, std::move(scopes));
    statements();
    change.readAfter(database);
    transaction.commit();
    if (change.changedRows()) // nothing to take back otherwise
        keeper()(kind, std::move(change));
}

bool takeBack(Kind kind, const RowChange& change)
{
    using Side = RowChange::Side;
    Database& database = db();
    Database::Transaction transaction(database);
    {
        const Journal::Pause pause(database);
        if (!change.restore(database, Side::Before))
            return false;
    }
    const std::optional<TakenBack> entry = takenBack(kind);
    if (entry &&
        !(change.rows(entry->table, Side::Before).isEmpty() && change.rows(entry->table, Side::After).isEmpty()))
        Journal::add(database, entry->art, factsOf(*entry, change));
    transaction.commit();
    readAgain(change);
    return true;
}

bool makeAgain(const RowChange& change)
{
    Database& database = db();
    Database::Transaction transaction(database);
    if (!change.restore(database, RowChange::Side::After))
        return false;
    transaction.commit();
    readAgain(change);
    return true;
}

QString label(Kind kind)
{
    switch (kind) {
    case Kind::Vergabe:
        return GetText(QStringLiteral("Vergabe"), 900);
    case Kind::Rueckgabe:
        return GetText(QStringLiteral("Rückgabe"), 901);
    case Kind::PersonAngelegt:
        return GetText(QStringLiteral("Neue Person"), 902);
    case Kind::PersonGeaendert:
        return GetText(QStringLiteral("Änderung der Person"), 903);
    case Kind::PersonStorniert:
        return GetText(QStringLiteral("Löschen der Person"), 904);
    case Kind::SchluesselAngelegt:
        return GetText(QStringLiteral("Neuer Schlüssel"), 905);
    case Kind::SchluesselGeaendert:
        return GetText(QStringLiteral("Änderung des Schlüssels"), 906);
    case Kind::SchluesselGeloescht:
        return GetText(QStringLiteral("Löschen des Schlüssels"), 907);
    case Kind::Anlagennummer:
        return GetText(QStringLiteral("Anlagennummer"), 908);
    case Kind::Bestaetigung:
        return GetText(QStringLiteral("Bestätigungsformular"), 909);
    }
    return {};
}

} // namespace RegisterChange
