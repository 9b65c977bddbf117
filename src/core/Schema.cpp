#include "Schema.h"

#include "Database.h"
#include "Journal.h"
#include "SqlError.h"

#include <QHash>

// Notes on the types:
// - Text columns carry the FOLDTRIM collation (TextCollation), so "=", UNIQUE and ORDER BY ignore case and
//   trailing blanks. Their sizes are enforced with CHECK: an over-long value is refused, never cut.
// - DATE columns hold ISO 'yyyy-MM-dd' text (the dialect writes date literals that way); the CHECK keeps
//   anything else out so the order of dates stays right. The declared type tells the reader to hand out a QDate.
// - BOOLEAN columns hold 0 or 1; the declared type tells the reader to hand out a bool.
// - Auto-numbers use AUTOINCREMENT so a number is never given twice, even after the newest row was deleted.
// - No foreign keys: a key row is deleted before its movements, and persons are only ever retired.
//   Instead a trigger carries a changed key number over to the key's movements, since the key dialog renames
//   a key with one update of TBSchluessel and its open handouts must stay in the list.
namespace {

// The register as the first version of the program wrote it.
QStringList baseStatements()
{
    return {
        QStringLiteral("CREATE TABLE TBKopfdaten ("
                       "Erstellt DATE CHECK (Erstellt IS NULL OR Erstellt IS date(Erstellt)), "
                       "Quelle TEXT COLLATE FOLDTRIM, "
                       "AnlagenNr TEXT COLLATE FOLDTRIM, "
                       "Version INTEGER, "
                       "Stempel TEXT COLLATE FOLDTRIM, "
                       "Bestätigung TEXT COLLATE FOLDTRIM)"),
        QStringLiteral("CREATE TABLE TBPersonen ("
                       "PersID INTEGER PRIMARY KEY AUTOINCREMENT CHECK (PersID <= 2147483647), "
                       "Nachname TEXT COLLATE FOLDTRIM CHECK (length(Nachname) <= 50), "
                       "Vorname TEXT COLLATE FOLDTRIM CHECK (length(Vorname) <= 51), "
                       "PersNr TEXT COLLATE FOLDTRIM CHECK (length(PersNr) <= 21), "
                       "Storniert BOOLEAN NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE TABLE TBSchluessel ("
                       "SchluesselNr TEXT COLLATE FOLDTRIM NOT NULL UNIQUE CHECK (length(SchluesselNr) <= 10), "
                       "Funktion TEXT COLLATE FOLDTRIM CHECK (length(Funktion) <= 51), "
                       "Gesamt INTEGER, "
                       "ZusatzNr BOOLEAN NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE TABLE TBBewegungen ("
                       "BewID INTEGER PRIMARY KEY AUTOINCREMENT CHECK (BewID <= 2147483647), "
                       "PersonID INTEGER, "
                       "SchluesselNr TEXT COLLATE FOLDTRIM CHECK (length(SchluesselNr) <= 10), "
                       "ZusatzNr TEXT COLLATE FOLDTRIM CHECK (length(ZusatzNr) <= 11), "
                       "Von DATE CHECK (Von IS NULL OR Von IS date(Von)), "
                       "Status INTEGER, "
                       "Bis DATE CHECK (Bis IS NULL OR Bis IS date(Bis)))"),
        // The open handouts of a key (stock and in-use checks, key deletion, the handout list) ...
        QStringLiteral("CREATE INDEX TBBewegungen_Status_SchluesselNr ON TBBewegungen (Status, SchluesselNr)"),
        // ... and of a person (retiring).
        QStringLiteral("CREATE INDEX TBBewegungen_PersonID_Status ON TBBewegungen (PersonID, Status)"),
        // The person list's order.
        QStringLiteral("CREATE INDEX TBPersonen_Nachname_Vorname ON TBPersonen (Nachname, Vorname)"),
        QStringLiteral("CREATE TRIGGER TBSchluessel_SchluesselNr_Update AFTER UPDATE OF SchluesselNr ON TBSchluessel "
                       "BEGIN "
                       "UPDATE TBBewegungen SET SchluesselNr = NEW.SchluesselNr WHERE SchluesselNr = OLD.SchluesselNr; "
                       "END"),
    };
}

// One upgrade: statements, then for a change of form the conversion of what the register holds, then
// the statements that build on the converted data.
struct Upgrade
{
    Upgrade(QStringList statements, void (*convert)(Database&) = nullptr, QStringList after = {})
        : statements(std::move(statements)), convert(convert), after(std::move(after))
    {
    }
    QStringList statements;
    void (*convert)(Database&);
    QStringList after;
};

// The locking plan beside the four tables: the cylinders and the keys' columns (in the order of the lock
// maker's plan), which key opens which cylinder, and the copies reported lost. A crossing names its key by number, as a
// movement does, so a renumbered key keeps its crossings and a deleted key takes them along.
QStringList lockingPlanStatements()
{
    return QStringList{
               QStringLiteral("CREATE TABLE TBZylinder ("
                              "ZylinderNr TEXT COLLATE FOLDTRIM NOT NULL PRIMARY KEY CHECK (trim(ZylinderNr) <> ''), "
                              "Tuer TEXT COLLATE FOLDTRIM, "
                              "Bereich TEXT COLLATE FOLDTRIM, "
                              "Bemerkung TEXT COLLATE FOLDTRIM, "
                              "Reihe INTEGER NOT NULL DEFAULT 0)"),
               // Rows with a rowid, as every table here has, so that a change can be taken back row by row.
               QStringLiteral("CREATE TABLE TBSchliessung ("
                              "ZylinderNr TEXT COLLATE FOLDTRIM NOT NULL, "
                              "SchluesselNr TEXT COLLATE FOLDTRIM NOT NULL, "
                              "UNIQUE (ZylinderNr, SchluesselNr))"),
               // What a key opens (its doors, a loss report).
               QStringLiteral("CREATE INDEX TBSchliessung_SchluesselNr ON TBSchliessung (SchluesselNr, ZylinderNr)"),
               // The keys' columns in the order of the plan they came from.
               QStringLiteral("CREATE TABLE TBPlanSchluessel ("
                              "SchluesselNr TEXT COLLATE FOLDTRIM NOT NULL PRIMARY KEY, "
                              "Spalte INTEGER NOT NULL)"),
               QStringLiteral(
                   "CREATE TRIGGER TBSchluessel_Schliessplan_Update AFTER UPDATE OF SchluesselNr ON TBSchluessel "
                   "BEGIN "
                   "UPDATE TBSchliessung SET SchluesselNr = NEW.SchluesselNr WHERE SchluesselNr = OLD.SchluesselNr; "
                   "UPDATE TBPlanSchluessel SET SchluesselNr = NEW.SchluesselNr WHERE SchluesselNr = OLD.SchluesselNr; "
                   "END"),
               QStringLiteral("CREATE TRIGGER TBSchluessel_Schliessplan_Delete AFTER DELETE ON TBSchluessel "
                              "BEGIN "
                              "DELETE FROM TBSchliessung WHERE SchluesselNr = OLD.SchluesselNr; "
                              "DELETE FROM TBPlanSchluessel WHERE SchluesselNr = OLD.SchluesselNr; "
                              "END"),
               // The day a copy out was reported lost; its movement is returned, and its key has one copy less.
               QStringLiteral("CREATE TABLE TBVerlust ("
                              "BewID INTEGER NOT NULL PRIMARY KEY, "
                              "Tag DATE NOT NULL CHECK (Tag IS date(Tag)))"),
           } +
           Journal::lockingPlanStatements();
}

// Upgrade i brings a register from version i to version i + 1. Append only: a register of version n
// has had exactly the first n applied, so an entry never changes once released.
const QList<Upgrade>& upgrades()
{
    static const QList<Upgrade> steps = {
        // The handout list reads every open movement in date order from this index alone: the engine
        // neither visits the table nor sorts more than the handouts of one day.
        QStringList{QStringLiteral("CREATE INDEX TBBewegungen_Status_Von ON TBBewegungen "
                                   "(Status, Von, SchluesselNr, ZusatzNr, PersonID)")},
        Journal::sentenceStatements(), // the journal TBVerlauf and its triggers, with a sentence per entry
        // The program's own entries about the file itself, such as the version of the text order its
        // indexes were written in (CollationVersion). Plain text columns: nothing here depends on FOLDTRIM.
        QStringList{QStringLiteral("CREATE TABLE TBSystem (Eintrag TEXT NOT NULL PRIMARY KEY, Wert TEXT)")},
        // The journal keeps facts instead of sentences; its entries are carried over.
        Upgrade(Journal::toFactsStatements(), Journal::convertSentences, Journal::afterConversion()),
        // The journal's triggers keep silent while the program takes a change back and writes its own entry;
        // the removal of a key's movements finds the key's removal entry by an index of its own.
        Journal::pausableStatements(),
        lockingPlanStatements(),
    };
    return steps;
}

QString setVersion(int version)
{
    return QStringLiteral("PRAGMA user_version = %1").arg(version);
}

void apply(Database& db, int step)
{
    const Upgrade& upgrade = upgrades().at(step);
    for (const QString& statement : upgrade.statements)
        db.executeNative(statement);
    if (upgrade.convert)
        upgrade.convert(db);
    for (const QString& statement : upgrade.after)
        db.executeNative(statement);
    db.executeNative(setVersion(step + 1));
}

} // namespace

void Schema::create(Database& db, int version)
{
    for (const QString& statement : baseStatements())
        db.executeNative(statement);
    for (int v = 0; v < version; ++v)
        apply(db, v);
    db.executeNative(setVersion(version));
    if (version == Schema::version())
        Journal::refreshView(db);
}

int Schema::version()
{
    return static_cast<int>(upgrades().size());
}

int Schema::storedVersion(Database& db)
{
    Recordset stored = db.openRecordset(QStringLiteral("PRAGMA user_version"));
    return stored.field(0).toInt();
}

void Schema::upgrade(Database& db)
{
    bool converted = false;
    for (int v = storedVersion(db); v < version(); ++v) {
        Database::Transaction transaction(db);
        apply(db, v);
        transaction.commit();
        converted = converted || upgrades().at(v).convert;
    }
    // A conversion leaves the pages of the old form free: the file shrinks to what it holds (once, and
    // the day's copies with it). Without room for that on the disk it stays as large as it was.
    if (converted) {
        try {
            db.executeNative(QStringLiteral("VACUUM"));
        } catch (const SqlError&) {
        }
    }
    Journal::refreshView(db);
}

int Schema::textLimit(const QString& table, const QString& column)
{
    // As the CHECKs of baseStatements say.
    static const QHash<QString, int> limits = {
        {QStringLiteral("TBPersonen.Nachname"), 50},   {QStringLiteral("TBPersonen.Vorname"), 51},
        {QStringLiteral("TBPersonen.PersNr"), 21},     {QStringLiteral("TBSchluessel.SchluesselNr"), 10},
        {QStringLiteral("TBSchluessel.Funktion"), 51}, {QStringLiteral("TBBewegungen.SchluesselNr"), 10},
        {QStringLiteral("TBBewegungen.ZusatzNr"), 11},
    };
    return limits.value(table + QLatin1Char('.') + column);
}

Schema::BulkLoad::BulkLoad(Database& db, const QStringList& tables, bool triggersToo) : m_db(db)
{
    QStringList quoted;
    for (const QString& table : tables)
        quoted << QLatin1Char('\'') + table + QLatin1Char('\'');
    // Indexes a constraint made (sql is NULL) stay: they cannot be dropped.
    QStringList names;
    for (Recordset rs = db.openRecordset(
             QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE sql IS NOT NULL AND tbl_name IN (%1) AND "
                            "type IN ('index'%2)")
                 .arg(quoted.join(QStringLiteral(", ")), triggersToo ? QStringLiteral(", 'trigger'") : QString()));
         !rs.eof(); rs.moveNext()) {
        names << QStringLiteral("DROP %1 \"%2\"").arg(rs.field(0).toString().toUpper(), rs.field(1).toString());
        m_definitions << rs.field(2).toString();
    }
    for (const QString& drop : std::as_const(names))
        db.executeNative(drop);
}

void Schema::BulkLoad::finish()
{
    for (const QString& definition : std::as_const(m_definitions))
        m_db.executeNative(definition);
    m_definitions.clear();
}

QStringList Schema::tables()
{
    return {QStringLiteral("TBKopfdaten"), QStringLiteral("TBPersonen"), QStringLiteral("TBSchluessel"),
            QStringLiteral("TBBewegungen")};
}
