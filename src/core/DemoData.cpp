#include "DemoData.h"

#include "Clock.h"
#include "Database.h"
#include "Journal.h"
#include "Schema.h"
#include "SqlError.h"
#include "Statement.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <random>
#include <sqlite3.h>
#include <vector>

namespace {

// std::mt19937 is the same generator everywhere; the distributions of <random> are not, so the
// numbers are cut to range here.
class Random
{
public:
    int below(int n) { return static_cast<int>(m_engine() % static_cast<std::uint32_t>(n)); }
    bool percent(int p) { return below(100) < p; }
    template <typename T, std::size_t N> const T& pick(const std::array<T, N>& items)
    {
        return items[static_cast<std::size_t>(below(static_cast<int>(N)))];
    }
    const QByteArray& pick(const QList<QByteArray>& items) { return items[below(static_cast<int>(items.size()))]; }

private:
    std::mt19937 m_engine{20260305u};
};

// Names as one text each, split at "|": the name lists stay readable.
constexpr const char* kFamilyNames =
    "Müller|Schmidt|Schneider|Fischer|Weber|Meyer|Wagner|Becker|Schulz|Hoffmann|Schäfer|Koch|Bauer|"
    "Richter|Klein|Wolf|Schröder|Neumann|Schwarz|Zimmermann|Braun|Krüger|Hofmann|Hartmann|Lange|"
    "Schmitt|Werner|Schmitz|Krause|Meier|Lehmann|Schmid|Schulze|Maier|Köhler|Herrmann|König|Walter|"
    "Mayer|Huber|Kaiser|Fuchs|Peters|Lang|Scholz|Möller|Weiß|Jung|Hahn|Schubert|Vogel|Friedrich|"
    "Keller|Günther|Frank|Berger|Winkler|Roth|Beck|Lorenz|Baumann|Franke|Albrecht|Schuster|Simon|"
    "Ludwig|Böhm|Winter|Kraus|Martin|Schumacher|Krämer|Vogt|Stein|Jäger|Otto|Sommer|Groß|Seidel|"
    "Heinrich|Brandt|Haas|Schreiber|Graf|Schulte|Dietrich|Ziegler|Kuhn|Kühn|Pohl|Engel|Horn|Busch|"
    "Bergmann|Thomas|Voigt|Sauer|Arnold|Wolff|Pfeiffer|Yılmaz|Kaya|Nowak|Kowalski|von Berg|"
    "Schmidt-Rathenow";

constexpr const char* kGivenNames =
    "Anna|Andreas|Birgit|Bernd|Claudia|Christian|Daniela|Dirk|Elke|Frank|Gabriele|Günter|Heike|Hans|"
    "Ines|Jürgen|Julia|Jan|Karin|Klaus|Laura|Lukas|Monika|Michael|Nicole|Norbert|Petra|Peter|Renate|"
    "Ralf|Sabine|Stefan|Tanja|Thomas|Ursula|Uwe|Vanessa|Volker|Waltraud|Wolfgang|Zeynep|Mehmet|"
    "Katharina|Matthias|Susanne|Sebastian|Christine|Markus|Sandra|Tobias|Stefanie|Alexander|Melanie|"
    "Florian|Jessica|Dennis|Jörg|Bärbel|Götz|Lea|Sophie|Maximilian|Marie|Paul|Hannelore|Dieter|"
    "Ingrid|Horst|Gisela|Manfred|Helga|Rüdiger|Ann-Kathrin|Kai-Uwe";

struct Key
{
    QByteArray number;
    QByteArray function; // stored with the blank the key dialog appends
    int copies = 1;
    bool numbered = false; // every copy handed out carries an additional number
};

// The keys above the rooms: the master keys of the system and the shared doors and rooms.
struct SpecialKey
{
    const char* number;
    const char* function;
    int copies;
    bool numbered;
};
constexpr std::array kSpecialKeys = {
    SpecialKey{"GHS", "Generalhauptschlüssel", 3, true},
    SpecialKey{"HS1", "Hauptschlüssel Verwaltung", 4, true},
    SpecialKey{"HS2", "Hauptschlüssel Produktion", 4, true},
    SpecialKey{"HS3", "Hauptschlüssel Lager und Versand", 3, true},
    SpecialKey{"HE", "Haupteingang", 60, true},
    SpecialKey{"NE", "Nebeneingang Hof", 25, true},
    SpecialKey{"LT", "Lieferantentor", 6, true},
    SpecialKey{"TG", "Tiefgarage", 40, true},
    SpecialKey{"FK", "Fahrradkeller", 20, true},
    SpecialKey{"BK", "Briefkasten", 12, true},
    SpecialKey{"HZ", "Heizungsraum", 3, false},
    SpecialKey{"EV", "Elektroverteilung", 2, false},
    SpecialKey{"SRV", "Serverraum", 4, false},
    SpecialKey{"HM", "Hausmeisterwerkstatt", 3, false},
    SpecialKey{"AR", "Archiv", 4, false},
    SpecialKey{"MR", "Müllraum", 8, false},
    SpecialKey{"PR", "Postraum", 5, false},
    SpecialKey{"DB", "Dachboden", 2, false},
    SpecialKey{"SAN", "Sanitätsraum", 4, false},
    SpecialKey{"TR", "Tresorraum", 2, false},
};

// Rooms: the kind, and whether its copies are numbered (rooms many people share).
struct RoomKind
{
    const char* name;
    bool numbered;
};
constexpr std::array kRoomKinds = {
    RoomKind{"Büro", false},         RoomKind{"Büro", false},
    RoomKind{"Büro", false},         RoomKind{"Besprechungsraum", false},
    RoomKind{"Lager", false},        RoomKind{"Teeküche", false},
    RoomKind{"Kopierraum", false},   RoomKind{"Labor", false},
    RoomKind{"Werkstatt", false},    RoomKind{"Sekretariat", false},
    RoomKind{"Technikraum", false},  RoomKind{"Putzmittelraum", false},
    RoomKind{"Schulungsraum", true}, RoomKind{"Umkleide", true},
    RoomKind{"Sozialraum", true},
};

// Building letters as key numbers allow them: no O and no Q.
constexpr char kBuildings[] = "ABCDEFGHIJKLMNPRSTUVWXYZ";
constexpr int kBuildingCount = static_cast<int>(sizeof(kBuildings) - 1);
constexpr int kFloors = 10;

std::vector<Key> makeKeys(const DemoData::Size& size, Random& random)
{
    std::vector<Key> keys;
    keys.reserve(static_cast<std::size_t>(size.keys));
    for (const SpecialKey& special : kSpecialKeys) {
        if (static_cast<int>(keys.size()) == size.keys)
            break;
        keys.push_back({special.number, QByteArray(special.function) + ' ', special.copies, special.numbered});
    }
    const int rooms = size.keys - static_cast<int>(keys.size());
    if (rooms <= 0)
        return keys;

    // Enough copies that the handouts still out fit with room to spare.
    int stockNeeded = size.out * 3 / 2;
    for (const Key& key : keys)
        stockNeeded -= key.copies;
    const int maxCopies = std::max(4, 2 * stockNeeded / rooms + 1);

    // A small site has a few buildings of few floors; a large one fills all letters and floors.
    const int buildings = std::clamp((rooms + 39) / 40, 1, kBuildingCount);
    const int perBuilding = (rooms + buildings - 1) / buildings;
    const int floors = std::clamp((perBuilding + 11) / 12, 1, kFloors);
    const int perFloor = (perBuilding + floors - 1) / floors;
    const int roomDigits = perFloor > 99 ? 3 : 2;
    for (int i = 0; i < rooms; ++i) {
        const char building = kBuildings[i / perBuilding];
        const int floor = i % perBuilding / perFloor;
        const int room = i % perBuilding % perFloor + 1;
        const RoomKind& kind = random.pick(kRoomKinds);
        const QString number =
            QStringLiteral("%1%2%3").arg(QLatin1Char(building)).arg(floor).arg(room, roomDigits, 10, QLatin1Char('0'));
        const QString function = QStringLiteral("%1 %2 %3.%4 ")
                                     .arg(QString::fromUtf8(kind.name))
                                     .arg(QLatin1Char(building))
                                     .arg(floor)
                                     .arg(room, roomDigits, 10, QLatin1Char('0'));
        keys.push_back({number.toLatin1(), function.toUtf8(), 1 + random.below(maxCopies), kind.numbered});
    }
    return keys;
}

// The handouts fall on this many days before today: the movements draw from them, and each has its date text.
int dayCount(const DemoData::Size& size)
{
    return std::max(1, size.years * 365);
}

struct Movement
{
    int person = 0; // PersID
    int key = 0;    // index into the keys
    int copy = 0;   // additional number, 0 for none
    int day = 0;    // days before today
    bool out = false;
};

std::vector<Movement> makeMovements(const DemoData::Size& size, const std::vector<Key>& keys,
                                    const std::vector<int>& activePersons, int allPersons, Random& random)
{
    const int days = dayCount(size);
    std::vector<Movement> movements;
    movements.reserve(static_cast<std::size_t>(size.movements));

    // The copies still out: distinct copies drawn from the stock, so no key is out more often than it
    // exists and no additional number is out twice.
    std::vector<std::pair<int, int>> copies;
    for (int k = 0; k < static_cast<int>(keys.size()); ++k) {
        for (int c = 1; c <= keys[static_cast<std::size_t>(k)].copies; ++c)
            copies.emplace_back(k, c);
    }
    if (static_cast<int>(copies.size()) < size.out || (activePersons.empty() && size.out > 0))
        throw SqlError(SQLITE_MISUSE, QStringLiteral("demo size: more copies out than exist"));
    for (int i = 0; i < size.out; ++i) {
        const int j = i + random.below(static_cast<int>(copies.size()) - i);
        std::swap(copies[static_cast<std::size_t>(i)], copies[static_cast<std::size_t>(j)]);
        const auto [key, copy] = copies[static_cast<std::size_t>(i)];
        const int person =
            activePersons[static_cast<std::size_t>(random.below(static_cast<int>(activePersons.size())))];
        movements.push_back(
            {person, key, keys[static_cast<std::size_t>(key)].numbered ? copy : 0, random.below(days), true});
    }
    // The returned ones: any key, any person, retired ones included.
    for (int i = size.out; i < size.movements; ++i) {
        const int key = random.below(static_cast<int>(keys.size()));
        const Key& k = keys[static_cast<std::size_t>(key)];
        movements.push_back({1 + random.below(allPersons), key, k.numbered ? 1 + random.below(k.copies) : 0,
                             random.below(days), false});
    }
    // Numbered in the order they happened, as the program would have numbered them.
    std::stable_sort(movements.begin(), movements.end(),
                     [](const Movement& a, const Movement& b) { return a.day > b.day; });
    return movements;
}

// A confirmation an office files: who, what and when (the placeholders), the terms, a personnel number
// and signatures for both sides written by hand, and a return section for the day the key comes back.
// Runs of blanks keep the two signature columns apart.
const char* const kTemplate =
    "Empfangsbestätigung für Schlüssel\r\n"
    "\r\n"
    "Empfänger/in: [&P]\r\n"
    "Personalnummer: ____________________\r\n"
    "Schlüssel: [&K]\r\n"
    "Ausgegeben am: [&D]\r\n"
    "\r\n"
    "Ich bestätige, den oben genannten Schlüssel erhalten zu haben. Der Schlüssel bleibt Eigentum des Hauses. "
    "Ich verpflichte mich, ihn sorgfältig aufzubewahren, nicht an Dritte weiterzugeben und nicht nachmachen zu "
    "lassen, einen Verlust sofort der Hausverwaltung zu melden und ihn beim Ausscheiden zurückzugeben.\r\n"
    "\r\n"
    "\r\n"
    "______________________________                    ______________________________\r\n"
    "Ort, Datum, Unterschrift Empfänger/in                    Unterschrift Ausgabe (Hausverwaltung)\r\n"
    "\r\n"
    "\r\n"
    "Rückgabe\r\n"
    "Der Schlüssel wurde unbeschädigt zurückgegeben am: ____________________\r\n"
    "\r\n"
    "\r\n"
    "______________________________                    ______________________________\r\n"
    "Unterschrift Empfänger/in                                        Unterschrift Rücknahme (Hausverwaltung)";

void fill(Database& database, const DemoData::Size& size)
{
    sqlite3* db = database.handle();
    Random random;
    const QDate today = Clock::today();
    // Written in one go: a big page cache and in-memory sorting for the indexes of a million movements.
    database.executeNative(QStringLiteral("PRAGMA cache_size = -131072"));
    database.executeNative(QStringLiteral("PRAGMA temp_store = MEMORY"));
    Database::Transaction transaction(database);

    Statement header(db, "INSERT INTO TBKopfdaten (Erstellt, Quelle, AnlagenNr, Version, Stempel, Bestätigung) "
                         "VALUES (?1, 'by user', ?2, 1, '', ?3)");
    const QByteArray created = today.addDays(-size.years * 365 - 30).toString(Qt::ISODate).toLatin1();
    const QByteArray systemNumber = "SA 20417";
    const QByteArray confirmation = kTemplate;
    header.text(1, created);
    header.text(2, systemNumber);
    header.text(3, confirmation);
    header.run();

    // Persons in a random order of names, the retired ones among them.
    const int allPersons = size.persons + size.retired;
    std::vector<int> activePersons;
    activePersons.reserve(static_cast<std::size_t>(size.persons));
    Statement person(db, "INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) VALUES (?1, ?2, ?3, ?4)");
    const QList<QByteArray> familyNames = QByteArray(kFamilyNames).split('|');
    const QList<QByteArray> givenNames = QByteArray(kGivenNames).split('|');
    int retiredLeft = size.retired;
    for (int i = 0; i < allPersons; ++i) {
        const bool retired = random.below(allPersons - i) < retiredLeft;
        if (retired)
            --retiredLeft;
        else
            activePersons.push_back(i + 1);
        const QByteArray& family = random.pick(familyNames);
        // Now and then a person without a given name, stored as the one blank the person dialog appends.
        const QByteArray given = (random.percent(1) ? QByteArray() : random.pick(givenNames)) + ' ';
        // Distinct personnel numbers (7919 is prime to 90000); some persons have none.
        const QByteArray number =
            random.percent(8) ? QByteArray(" ") : QByteArray::number(10000 + i * 7919 % 90000) + ' ';
        person.text(1, family);
        person.text(2, given);
        person.text(3, number);
        person.number(4, retired ? 1 : 0);
        person.run();
    }

    const std::vector<Key> keys = makeKeys(size, random);
    Statement key(db, "INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES (?1, ?2, ?3, ?4)");
    int maxCopies = 1;
    for (const Key& k : keys) {
        key.text(1, k.number);
        key.text(2, k.function);
        key.number(3, k.copies);
        key.number(4, k.numbered ? 1 : 0);
        key.run();
        maxCopies = std::max(maxCopies, k.copies);
    }

    // The texts the movements repeat, made once.
    std::vector<QByteArray> dates;
    for (int d = 0; d < dayCount(size); ++d)
        dates.push_back(today.addDays(-d).toString(Qt::ISODate).toLatin1());
    std::vector<QByteArray> copyTexts{QByteArray(" ")};
    for (int c = 1; c <= maxCopies; ++c)
        copyTexts.push_back(QByteArray::number(c) + ' ');

    // The movements' indexes are built at once from the finished table; their triggers fire, so that the
    // journal holds both steps of each handout.
    Schema::BulkLoad load(database, {QStringLiteral("TBBewegungen")}, false);
    Statement movement(db, "INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status, Bis) "
                           "VALUES (?1, ?2, ?3, ?4, ?5, NULL)");
    // Every copy goes out as a handout would; the returned ones come back afterwards, as a return would,
    // so the journal holds both steps of each.
    std::vector<sqlite3_int64> returned;
    for (const Movement& m : makeMovements(size, keys, activePersons, allPersons, random)) {
        movement.number(1, m.person);
        movement.text(2, keys[static_cast<std::size_t>(m.key)].number);
        movement.text(3, copyTexts[static_cast<std::size_t>(m.copy)]);
        movement.text(4, dates[static_cast<std::size_t>(m.day)]);
        movement.number(5, 0);
        movement.run();
        if (!m.out)
            returned.push_back(sqlite3_last_insert_rowid(db));
    }
    Statement giveBack(db, "UPDATE TBBewegungen SET Status = 1 WHERE BewID = ?1");
    for (const sqlite3_int64 id : returned) {
        giveBack.number(1, static_cast<int>(id));
        giveBack.run();
    }
    // The journal's times as the past would have written them, not the moment of this fill: persons and
    // keys from the day the register began, a handout on its day, a return up to two months later, all
    // within office hours. The same day thus always gives the same file.
    const QString von = QStringLiteral("(SELECT Von FROM TBBewegungen m WHERE m.BewID = TBVerlauf.BewID)");
    database.executeNative(
        QStringLiteral("UPDATE TBVerlauf SET Zeitpunkt = CASE Art "
                       "WHEN %1 THEN %3 || ' ' || time('08:00', '+' || (VerlaufID * 7 % 540) || ' minutes') "
                       "WHEN %2 THEN min(date(%3, '+' || (1 + VerlaufID % 60) || ' days'), '%4') || ' ' || "
                       "time('08:00', '+' || (VerlaufID * 11 % 540) || ' minutes') "
                       "ELSE '%5 08:00:00' END")
            .arg(QString::number(Journal::Vergabe), QString::number(Journal::Rueckgabe), von,
                 today.toString(Qt::ISODate), QString::fromLatin1(created)));
    load.finish();
    transaction.commit();
}

} // namespace

namespace DemoData {

Size demo()
{
    return {.persons = 280, .retired = 14, .keys = 100, .movements = 450, .out = 130, .years = 2};
}

Size largestSite()
{
    return {.persons = 32767, .retired = 500, .keys = 30000, .movements = 1000000, .out = 100000, .years = 10};
}

void create(const QString& path, const Size& size)
{
    Database::create(path);
    try {
        auto database = Database::open(path);
        fill(*database, size);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
}

} // namespace DemoData
