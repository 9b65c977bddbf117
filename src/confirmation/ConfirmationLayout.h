#pragma once

#include <QString>
#include <QStringList>

class Database;
class LinePrinter;

// One handout confirmation laid out on a line printer: the template's first non-blank line is the
// centred title, every later line runs as text broken into lines at single blanks, and the
// placeholders [&P], [&D] and [&K] (whole words only) become the person, the date and the key.
class ConfirmationLayout
{
public:
    // Values that take the placeholders' places.
    struct Values
    {
        QString person; // [&P]
        QString date;   // [&D]
        QString key;    // [&K]
    };

    // Lengths in twips.
    static constexpr int kTitleOffset = 600;
    static constexpr int kRightReserve = 1500;
    static constexpr int kIndent = 300;
    static constexpr int kTitlePoints = 12;
    static constexpr int kBodyPoints = 10;

    // The template as the register's header row keeps it; empty without a header row.
    static QString storedTemplate(Database& db);

    // The template's lines: the pieces between carriage return plus line feed pairs. A single
    // carriage return or line feed does not end a line.
    static QStringList lines(const QString& templ);
    // True when some line holds more than blanks: only then is there a title to print.
    static bool isDefined(const QString& templ);

    // The key as printed: system number, blank, key number, then "/number" and " (function)" when
    // those are not blank.
    static QString keyText(const QString& anlagenNr, const QString& schluesselNr, const QString& zusatzNr,
                           const QString& funktion);

    // Prints the confirmation and ends the document. Nothing is printed when the template is not defined.
    static void print(LinePrinter& printer, const QString& templ, const Values& values);
};
