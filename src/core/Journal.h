#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class Database;
class Recordset;

// The register's journal, TBVerlauf: one entry per handout, return, person or key change, written by
// triggers inside the file, so that every write records itself, from this program or from any other
// tool that opens the file. Entries are only ever added.
//
// An entry keeps facts, never a sentence: its kind (Art, below), its local time (Zeitpunkt,
// "2026-12-06 14:03:59"), what it concerns (BewID, PersID, SchluesselNr) and the values it recorded.
// What the register still knows is not copied: a handout or return names only its movement, and is
// described with the movement's key, copy and person as they are now. A removed movement's entry keeps
// the movement's values, a person's entry the names it was given or changed (Alt...: before the
// change), a key's entry its number, function, total and additional-number rule (the flag MitZusatzNr).
// Entries converted from an older register keep the name of a person as their sentence gave it, family
// and given name together in Nachname; a sentence that could not be read back into facts stays whole in
// Text and is shown as it is.
//
// The description is built when an entry is shown, in the user's language, from its kind's text. The
// view VVerlauf offers every entry with its facts resolved and the German description to other tools.
//
// A new kind of entry: a number of its own in Art, a line in kinds() with its German name and
// description and their text ids (English and French in the catalogue), and whatever writes it (a
// trigger in a schema upgrade, or an insert). Facts no column here holds go into new columns, added by
// that upgrade; a description may then use them by their column name. The view follows by itself.
namespace Journal {

enum Art : int {
    Eintrag = 0, // converted from an older register; only its sentence (Text) is known
    Vergabe = 1,
    Rueckgabe = 2,
    BewegungGeloescht = 3,
    PersonAngelegt = 4,
    PersonGeaendert = 5,
    PersonStorniert = 6,
    SchluesselAngelegt = 7,
    SchluesselGeaendert = 8,
    SchluesselGeloescht = 9,
    // A change taken back by the program's undo: written by the program, never by a trigger.
    VergabeZurueckgenommen = 10,
    RueckgabeZurueckgenommen = 11,
    PersonAngelegtZurueckgenommen = 12,
    PersonGeaendertZurueckgenommen = 13,
    PersonStorniertZurueckgenommen = 14,
    SchluesselAngelegtZurueckgenommen = 15,
    SchluesselGeaendertZurueckgenommen = 16,
    SchluesselGeloeschtZurueckgenommen = 17,
    Uebernommen = 18, // a table carried over from a Jet file: its name in Funktion, its rows in Gesamt
    // The locking plan and lost copies (numbers from 40, so that other groups of kinds fit before them).
    Verlust = 40,
    ZylinderAngelegt = 41,
    ZylinderGeaendert = 42,
    ZylinderEntfernt = 43,
    SchliessungAngelegt = 44,
    SchliessungEntfernt = 45,
    VerlustZurueckgenommen = 46, // taken back by the program's undo, as the kinds above
    SchliessungAngelegtZurueckgenommen = 47,
    SchliessungEntferntZurueckgenommen = 48,
    SchliessplanZurueckgenommen = 49,
};

struct Kind
{
    int art;
    QString name; // German; as the column Ereignis of the view shows it
    qint32 nameId;
    QString description; // German, with fields (JournalText)
    qint32 descriptionId;
};

// Every kind of entry, by Art.
const QList<Kind>& kinds();

// The fields a description may use: the name of each, as the facts query reads it.
QStringList fieldNames();

// The facts of the entries that match condition (over the journal's row v, e.g. "v.PersID = 7"; empty
// for all): VerlaufID, Zeitpunkt, Art and every field, newest first.
QString factsQuery(const QString& condition);

// The kind's name and the entry's description in the current language, from a row of factsQuery.
QString kindName(int art);
QString describe(const Recordset& facts);

// The shown texts of the fields of one entry, and the description of kind art built from them with
// the given text (the German one when empty).
QString describe(int art, const QHash<QString, QString>& shown, const QString& pattern = {});

// The statements of the upgrade that turns the first journal (sentences) into facts: they set the old
// table aside as TBVerlauf_alt; convertSentences then carries every entry over, builds the indexes and
// removes the old table; the statements of afterConversion add the triggers.
QStringList toFactsStatements();
void convertSentences(Database& db);
QStringList afterConversion();

// The journal as the first version kept it (upgrade 2).
QStringList sentenceStatements();

// The entry for one table carried over from a Jet file: one entry for all its rows, which were written
// before the journal existed.
QString carriedOverStatement(const QString& table, qint64 rows);

// The upgrade that adds the locking plan and lost copies to the journal: the facts of cylinders and
// crossings and the day of a loss as columns, their triggers, and a return trigger that leaves a copy
// reported lost to its loss entry.
QStringList lockingPlanStatements();

// Creates or replaces the view VVerlauf when it is not what this program writes. True when it wrote.
bool refreshView(Database& db);

// The upgrade that makes the triggers keep silent while the program takes a change back (Pause), and lets
// a movement removed with its key find the key's removal entry at once, however many movements went
// before it.
QStringList pausableStatements();

// While one lives, inside the caller's transaction, the triggers write nothing: the program puts rows
// back as they were before a change and writes the one entry that says so itself (add). Any tool may do
// the same with the row 'Ruecknahme' in TBSystem.
class Pause
{
public:
    explicit Pause(Database& db);
    ~Pause();
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;

private:
    Database& m_db;
};

// Adds one entry of kind art with these facts: columns of TBVerlauf and their values.
void add(Database& db, int art, const QList<std::pair<QString, QVariant>>& facts);

} // namespace Journal
