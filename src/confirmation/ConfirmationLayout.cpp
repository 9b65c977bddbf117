#include "ConfirmationLayout.h"

#include "core/Blanks.h"
#include "core/Database.h"
#include "core/DateText.h"
#include "widgets/LinePrinter.h"

#include <algorithm>
#include <cmath>

namespace {

// Halves go to the even neighbour, whatever rounding mode the process runs in.
qint64 roundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double diff = value - lower;
    auto result = static_cast<qint64>(lower);
    if (diff > 0.5 || (diff == 0.5 && result % 2 != 0))
        ++result;
    return result;
}

} // namespace

QString ConfirmationLayout::storedTemplate(Database& db)
{
    Recordset header = db.openRecordset(QStringLiteral("SELECT Bestätigung FROM TBKopfdaten"));
    const QString templ = header.eof() ? QString() : header.field(0).toString();
    header.close();
    return templ;
}

QStringList ConfirmationLayout::lines(const QString& templ)
{
    return templ.split(QStringLiteral("\r\n"), Qt::KeepEmptyParts);
}

bool ConfirmationLayout::isDefined(const QString& templ)
{
    const QStringList all = lines(templ);
    return std::any_of(all.begin(), all.end(), [](const QString& line) { return !isBlank(line); });
}

QString ConfirmationLayout::keyText(const QString& anlagenNr, const QString& schluesselNr, const QString& zusatzNr,
                                    const QString& funktion)
{
    QString key = anlagenNr + QLatin1Char(' ') + schluesselNr;
    if (!isBlank(zusatzNr))
        key += QLatin1Char('/') + zusatzNr;
    if (!isBlank(funktion))
        key += QStringLiteral(" (") + funktion + QLatin1Char(')');
    return key;
}

void ConfirmationLayout::print(LinePrinter& printer, const QString& templ, const Values& values)
{
    if (!isDefined(templ))
        return;
    const QStringList all = lines(templ);
    qsizetype next = 0;
    while (next < all.size() && isBlank(all[next])) {
        printer.newLine();
        ++next;
    }

    const qint64 width = printer.pageWidth();
    const QString& title = all[next++];
    printer.setFirstEmphasis(true);
    printer.setSecondEmphasis(true);
    printer.setFontSize(kTitlePoints);
    // A title wider than the page starts at its left edge rather than off the paper.
    printer.setCurrentX(std::max(0.0, (double(width) - printer.textWidth(title) - kTitleOffset) / 2));
    printer.printLine(title);
    printer.setFontSize(kBodyPoints);
    printer.setFirstEmphasis(false);
    printer.setSecondEmphasis(false);

    const auto startLine = [&printer](qint64& x) {
        printer.newLine();
        printer.setCurrentX(printer.currentX() + kIndent);
        x = kIndent;
    };
    qint64 x = 0; // the words' widths on this output line plus its indent; blanks are not counted
    for (; next < all.size(); ++next) {
        const QString& line = all[next];
        const QStringList words = line.isEmpty() ? QStringList() : line.split(QLatin1Char(' '), Qt::KeepEmptyParts);
        for (const QString& word : words) {
            QString text = word;
            bool value = true;
            if (word == QLatin1String("[&P]"))
                text = values.person;
            else if (word == QLatin1String("[&D]"))
                text = values.date;
            else if (word == QLatin1String("[&K]"))
                text = values.key;
            else
                value = false;
            printer.setFirstEmphasis(value);
            const double w = printer.textWidth(text);
            if (double(x) + w > double(width - kRightReserve))
                startLine(x);
            x = roundHalfEven(double(x) + w);
            printer.printWord(text);
        }
        startLine(x);
    }
    printer.endDoc();
}
