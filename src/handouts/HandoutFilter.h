#pragma once

#include <QDate>
#include <QString>
#include <variant>

// The handout list narrowed to a date range, a key-number prefix and a family-name prefix: what the filter
// dialog's OK gives the refill, by the names the refill reads.
struct HandoutFilter
{
    QString fltVonDatum;   // from-date as a statement literal without the number signs (3/1/26), or empty
    QString fltBisDatum;   // to-date the same way
    QString fltSchluessel; // key-number prefix, trimmed of blanks
    QString fltPerson;     // family-name prefix, trimmed of blanks
    QDate von, bis;        // the two dates as checked; invalid when not given

    // The filter as a reader of a printed list or of the main window wants it told, in the current
    // language: "Datum ab 01.03.2026, SchlüsselNr beginnt mit „K1“".
    QString description() const;

    // The condition W, in the fixed order from-date, to-date, key number, family name: a value counts when
    // it is not blank, each condition starts with a blank, typed wildcards stay wildcards and a typed quote
    // stays a quote. Empty when no value counts.
    QString condition() const;

    // Why OK was refused: the message in the current language and the field the focus goes back to.
    struct Refusal
    {
        enum class Field { VonDatum, BisDatum };
        QString message;
        Field field;
    };

    // The checks of OK in their order over the four typed texts: each date field blank or a valid date in
    // the user's form (two-digit years read around today), the to-date not before the from-date.
    static std::variant<HandoutFilter, Refusal> check(const QString& vonDatum, const QString& bisDatum,
                                                      const QString& schlNr, const QString& name, const QDate& today);
};
