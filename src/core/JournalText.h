#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The description of a journal entry is a text with fields: "Schlüssel {Kopie} an {Person} ausgegeben".
// A field in braces stands for its value as shown; a part in brackets is shown only when every field in
// it has a value ("[, Personalnummer {PersNr}]"); {?Feld} asks whether a field has a value without
// showing it ("[{?NochAus} (noch ausgegeben)]"). Brackets do not nest.
namespace JournalText {

// The text with each field's shown value; a field without one gives nothing.
QString render(QStringView pattern, const QHash<QString, QString>& shown);

// The same as an SQL expression. shownSql gives the expression of a field's shown text, which is NULL
// or '' when the field has no value.
QString toSql(QStringView pattern, const std::function<QString(const QString&)>& shownSql);

// The fields a text uses, in order; nullopt when a brace or a bracket is not closed or brackets nest.
std::optional<QStringList> fields(QStringView pattern);

} // namespace JournalText
