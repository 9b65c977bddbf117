#include "RegisterChange.h"

#include "AppState.h"
#include "Texts.h"

namespace RegisterChange {

namespace {
Keeper& keeper()
{
    static Keeper k;
    return k;
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
    keeper()(kind, std::move(change));
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
