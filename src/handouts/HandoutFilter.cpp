#include "HandoutFilter.h"

#include "core/Blanks.h"
#include "core/DateText.h"
#include "core/Sql.h"
#include "core/Texts.h"

#include <optional>

QString HandoutFilter::condition() const
{
    QString w;
    const auto add = [&w](const QString& condition) {
        if (!w.isEmpty())
            w += QStringLiteral(" AND");
        w += condition;
    };
    if (!isBlank(fltVonDatum))
        add(QStringLiteral(" Von >= #") + fltVonDatum + QLatin1Char('#'));
    if (!isBlank(fltBisDatum))
        add(QStringLiteral(" Von <= #") + fltBisDatum + QLatin1Char('#'));
    if (!isBlank(fltSchluessel))
        add(QStringLiteral(" TBSchluessel.SchluesselNr LIKE '") + Sql::sqlText(fltSchluessel) + QStringLiteral("*'"));
    if (!isBlank(fltPerson))
        add(QStringLiteral(" Nachname LIKE '") + Sql::sqlText(fltPerson) + QStringLiteral("*'"));
    return w;
}

QString HandoutFilter::description() const
{
    QStringList parts;
    if (von.isValid())
        parts << GetText(QStringLiteral("Datum ab %1"), 2041).arg(DateText::shortDate(von));
    if (bis.isValid())
        parts << GetText(QStringLiteral("Datum bis %1"), 2042).arg(DateText::shortDate(bis));
    if (!isBlank(fltSchluessel))
        parts << GetText(QStringLiteral("SchlüsselNr beginnt mit „%1“"), 2043).arg(fltSchluessel);
    if (!isBlank(fltPerson))
        parts << GetText(QStringLiteral("Name beginnt mit „%1“"), 2044).arg(fltPerson);
    return parts.join(QStringLiteral(", "));
}

std::variant<HandoutFilter, HandoutFilter::Refusal> HandoutFilter::check(const QString& vonDatum,
                                                                         const QString& bisDatum, const QString& schlNr,
                                                                         const QString& name, const QDate& today)
{
    // A blank field gives no bound: nullopt inside; a text that is no date gives no value at all.
    const auto day = [&today](const QString& text) -> std::optional<std::optional<QDate>> {
        if (isBlank(text))
            return std::optional<QDate>();
        const std::optional<QDate> parsed = DateText::parse(text, today);
        if (!parsed)
            return std::nullopt;
        return parsed;
    };
    const auto von = day(vonDatum);
    if (!von)
        return Refusal{GetText(QStringLiteral("'Von Datum' enthält einen ungültigen Wert"), 250),
                       Refusal::Field::VonDatum};
    const auto bis = day(bisDatum);
    if (!bis)
        return Refusal{GetText(QStringLiteral("'Bis Datum' enthält einen ungültigen Wert"), 251),
                       Refusal::Field::BisDatum};
    if (*von && *bis && **bis < **von)
        return Refusal{GetText(QStringLiteral("Das 'Bis-Datum' darf nicht vor dem 'Von-Datum' liegen"), 252),
                       Refusal::Field::VonDatum};
    const auto literal = [](const std::optional<QDate>& d) { return d ? Sql::dateLiteral(*d) : QString(); };
    return HandoutFilter{literal(*von),    literal(*bis),          trimBlanks(schlNr),
                         trimBlanks(name), von->value_or(QDate()), bis->value_or(QDate())};
}
