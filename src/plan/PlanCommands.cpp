#include "PlanCommands.h"

#include "PlanFile.h"
#include "Schliessplan.h"
#include "core/AppState.h"
#include "core/Csv.h"
#include "core/DateText.h"
#include "core/Sql.h"
#include "core/SqlError.h"
#include "core/Startup.h"
#include "core/Texts.h"

#include <QTextStream>
#include <functional>

namespace PlanCommands {

namespace {

// Opens the register, runs the action, closes it again; a refused statement is reported as the reason.
int onRegister(const std::function<int(Database&, QTextStream& out, QTextStream& err)>& action)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    AppState& state = app();
    int code = 1;
    try {
        openRegister();
        reportBackupFailure();
        code = action(*state.DB, out, err);
    } catch (const SqlError& e) {
        err << "clavaro: " << state.databasePath << ": " << e.text() << '\n';
    }
    state.DB.reset();
    return code;
}

QString line(const QStringList& fields)
{
    QStringList quoted;
    for (const QString& field : fields)
        quoted << Csv::field(field);
    return quoted.join(Csv::kSeparator) + QLatin1Char('\n');
}

} // namespace

int importPlan(const QString& csvPath)
{
    QString error;
    const std::optional<PlanMatrix> plan = PlanFile::read(csvPath, &error);
    if (!plan) {
        QTextStream(stderr) << "clavaro: " << csvPath << ": " << error << '\n'
                            << GetText(QStringLiteral("Der Schließplan wurde nicht geändert."), 1929) << '\n';
        return 1;
    }
    return onRegister([&plan](Database& db, QTextStream& out, QTextStream& err) {
        try {
            out << Schliessplan::import(db, *plan).lines().join(QLatin1Char('\n')) << '\n';
            return 0;
        } catch (const SqlError& e) {
            err << "clavaro: " << e.text() << '\n'
                << GetText(QStringLiteral("Der Schließplan wurde nicht geändert."), 1929) << '\n';
            return 1;
        }
    });
}

int whoCanOpen(const QString& cylinder)
{
    return onRegister([&cylinder](Database& db, QTextStream& out, QTextStream& err) {
        if (!Schliessplan::cylinder(db, cylinder)) {
            err << "clavaro: " << GetText(QStringLiteral("Kein Zylinder %1 im Schließplan."), 1930).arg(cylinder)
                << '\n';
            return 1;
        }
        for (const Schliessplan::Holder& h : Schliessplan::whoCanOpen(db, cylinder))
            out << line({h.nachname, h.vorname, h.persNr, h.keyNumber, h.zusatzNr, DateText::shortDate(h.out)});
        return 0;
    });
}

int doorsOf(const QString& keyNumber)
{
    return onRegister([&keyNumber](Database& db, QTextStream& out, QTextStream& err) {
        Recordset key =
            db.openRecordset(QStringLiteral("SELECT SchluesselNr FROM TBSchluessel WHERE SchluesselNr = '") +
                             Sql::sqlText(keyNumber) + QLatin1Char('\''));
        const bool known = !key.eof();
        key.close();
        if (!known) {
            err << "clavaro: " << GetText(QStringLiteral("Kein Schlüssel %1 im Register."), 1931).arg(keyNumber)
                << '\n';
            return 1;
        }
        for (const Schliessplan::Cylinder& c : Schliessplan::doorsOf(db, keyNumber))
            out << line({c.number, c.door, c.area});
        return 0;
    });
}

} // namespace PlanCommands
