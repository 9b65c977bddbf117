#include "Export.h"

#include "History.h"
#include "ProtokollModel.h"
#include "VerlaufModel.h"
#include "core/AppState.h"
#include "core/Blanks.h"
#include "core/Csv.h"
#include "core/SqlError.h"
#include "core/Startup.h"
#include "core/Texts.h"
#include "handouts/HandoutList.h"
#include "handouts/ListPrintout.h"
#include "handouts/VergabenModel.h"
#include "keys/KeyList.h"
#include "persons/PersonList.h"

#include <QDir>
#include <QHash>
#include <QTextStream>
#include <algorithm>

namespace Export {

namespace {

QString shown(const QVariant& value)
{
    return trimTrailingBlanks(value.toString());
}

} // namespace

CsvTable persons(const QVector<qint32>& ids)
{
    QHash<qint32, QStringList> byId;
    for (Recordset rs = db().openRecordset(QStringLiteral("SELECT PersID, Nachname, Vorname, PersNr FROM TBPersonen"));
         !rs.eof(); rs.moveNext())
        byId.insert(rs.field(0).toInt(), {shown(rs.field(1)), shown(rs.field(2)), shown(rs.field(3))});

    CsvTable table{{GetText(QStringLiteral("Nachname"), 820), GetText(QStringLiteral("Vorname"), 821),
                    GetText(QStringLiteral("Personalnummer"), 822)},
                   {}};
    for (const qint32 id : ids) {
        const auto found = byId.constFind(id);
        if (found != byId.cend())
            table.rows.append(*found);
    }
    return table;
}

QVector<qint32> personListIds()
{
    QVector<qint32> ids;
    Recordset rs = db().openRecordset(PersonList::query(QString()));
    for (const int persId = rs.fieldIndex(QStringLiteral("PersID")); !rs.eof(); rs.moveNext())
        ids.append(rs.field(persId).toInt());
    return ids;
}

CsvTable keys(const QStringList& keyNumbers)
{
    QHash<QString, QStringList> byNumber;
    for (Recordset rs = db().openRecordset(
             QStringLiteral("SELECT k.SchluesselNr, k.Funktion, k.Gesamt, (SELECT Count(BewID) FROM TBBewegungen b "
                            "WHERE b.Status = 0 AND b.SchluesselNr = k.SchluesselNr) AS Aus FROM TBSchluessel k"));
         !rs.eof(); rs.moveNext()) {
        const qint64 total = rs.field(2).toLongLong();
        const qint64 out = rs.field(3).toLongLong();
        byNumber.insert(rs.field(0).toString(), {rs.field(0).toString(), shown(rs.field(1)), QString::number(total),
                                                 QString::number(out), QString::number(total - out)});
    }

    CsvTable table{{GetText(QStringLiteral("SchlüsselNr"), 117), GetText(QStringLiteral("Funktion"), 119),
                    GetText(QStringLiteral("Gesamt"), 823), GetText(QStringLiteral("Ausgegeben"), 824),
                    GetText(QStringLiteral("Frei"), 825)},
                   {}};
    for (const QString& number : keyNumbers) {
        const auto found = byNumber.constFind(number);
        if (found != byNumber.cend())
            table.rows.append(*found);
    }
    return table;
}

QStringList keyListNumbers()
{
    // The list's own order: its row texts without regard to case.
    const Utf8Rows read = KeyList::read(db(), QString());
    QStringList rows;
    for (qsizetype i = 0; i < read.size(); ++i)
        rows << read.text(i);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QStringList numbers;
    for (const QString& row : std::as_const(rows))
        numbers << KeyList::keyNumberOf(row);
    return numbers;
}

CsvTable copiesOut(const VergabenModel& grid)
{
    ListPrintout::Table shown = ListPrintout::fromGrid(grid);
    // The personnel number beside the name tells namesakes apart.
    const QHash<qint32, QString> numbers = HandoutList::personalNumbers(db());
    shown.headers << GetText(QStringLiteral("Personalnummer"), 822);
    for (int row = 1; row <= shown.lines.size(); ++row) {
        QStringList& line = shown.lines[row - 1];
        for (QString& cell : line)
            cell = trimTrailingBlanks(cell);
        const std::optional<qint32> bewId = grid.movement(row);
        line << (bewId ? numbers.value(*bewId) : QString());
    }
    return {std::move(shown.headers), std::move(shown.lines)};
}

CsvTable history(const VerlaufModel& model)
{
    return {VerlaufModel::columnTitles(), model.rowTexts()};
}

CsvTable journal(const ProtokollModel& model)
{
    return {ProtokollModel::columnTitles(), model.rowTexts()};
}

int toDirectory(const QString& dir)
{
    QTextStream err(stderr);
    AppState& state = app();
    try {
        openRegister();

        VerlaufModel historyModel;
        historyModel.setLines(History::all());
        ProtokollModel journalModel;
        journalModel.setLines(History::entries());

        // The grid as the main window fills it at its start, with the window's header texts.
        VergabenModel grid;
        grid.setLines(HandoutList::read(*state.DB, HandoutList::query(QString())));
        grid.setHeaderTexts({GetText(QStringLiteral("Datum"), 116), GetText(QStringLiteral("SchlüsselNr"), 117),
                             GetText(QStringLiteral("ZusatzNr"), 118), GetText(QStringLiteral("Funktion"), 119),
                             GetText(QStringLiteral("Person"), 120)});

        const std::pair<QString, CsvTable> files[] = {
            {kPersonsFile, persons(personListIds())}, {kKeysFile, keys(keyListNumbers())},
            {kCopiesOutFile, copiesOut(grid)},        {kHistoryFile, history(historyModel)},
            {kJournalFile, journal(journalModel)},
        };
        finishDailyCopy(); // a start like any other: its copy is made whole and checked
        closeRegister();

        if (!QDir().mkpath(dir)) {
            err << "clavaro: cannot create the folder " << dir << '\n';
            return 1;
        }
        for (const auto& [name, table] : files) {
            QString error;
            if (!Csv::write(QDir(dir).filePath(name), table.header, table.rows, &error)) {
                err << "clavaro: cannot write " << QDir(dir).filePath(name) << ": " << error << '\n';
                return 1;
            }
        }
        return 0;
    } catch (const SqlError& e) {
        err << "clavaro: " << state.databasePath << ": " << e.text() << '\n';
        closeRegister();
        return 1;
    }
}

} // namespace Export
