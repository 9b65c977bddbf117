#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>

// The register's statements are written the old desktop-database way. This turns them into what the
// engine runs, with a tokenizer that knows string literals and quoted names, so nothing inside a
// quoted value is ever touched:
//   DELETE * FROM t          → DELETE FROM t
//   True / False (any case)  → 1 / 0
//   #12/5/26#, #12/5/2026#   → '2026-12-05' (dates are stored as ISO text, which sorts and compares right)
// Everything else passes unchanged: the engine already ignores ASCII case in names and accepts the
// parenthesised join. LIKE and "=" get their meaning from the function and collation of SqlFunctions.
//
// The tokenizer draws token borders where the engine's own tokenizer draws them (blanks are the five
// ASCII blanks, every character above ASCII belongs to a name), so a literal is a literal to both. What
// the two could read differently is refused: statement parameters ($a(...) swallows quotes), a NUL
// (the engine stops reading there) and half a surrogate pair (it would be stored as "?").
class Dialect
{
public:
    // Throws SqlError for a date literal that is no valid day, for parameters, and for a NUL or a lone
    // surrogate: inside a text value with number 19 and a text for the clerk, elsewhere with number 1.
    static QString translate(const QString& sql);

    // The day written between number signs, month first; a two-digit year is read in the window
    // around today (see windowYear). Nullopt when the text is no valid day.
    static std::optional<QDate> parseDateLiteral(QStringView body, const QDate& today);

    // The year ending in the two digits yy that lies in [current year - 79, current year + 20].
    // Today's date and every date of the last 79 years come out right, and so do dates up to 20 years
    // ahead (a return date typed into the filter).
    static int windowYear(int yy, int currentYear);
};
