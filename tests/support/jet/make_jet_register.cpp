// make_jet_register FILE: a key register as a Jet file, by default of the largest site, for the import's
// benchmark. Every row is computed from its number, so the file is the same on every run and is written
// without holding its rows.
#include "JetWriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>

namespace {

// The same scrambled number for the same input, so rows look drawn at random and stay reproducible.
quint32 mix(quint64 n)
{
    n = (n ^ (n >> 30)) * 0xbf58476d1ce4e5b9ULL;
    n = (n ^ (n >> 27)) * 0x94d049bb133111ebULL;
    return static_cast<quint32>(n ^ (n >> 31));
}

const QStringList kFamilyNames = QStringLiteral("Müller|Schmidt|Schneider|Fischer|Weber|Meyer|Wagner|Becker|Schäfer|"
                                                "Krüger|Schröder|Köhler|König|Möller|Weiß|Jäger|Groß|Böhm|Kühn|"
                                                "Öztürk|O'Brien|von Berg|Schmidt-Rathenow")
                                     .split(u'|');
const QStringList kGivenNames = QStringLiteral("Anna|Jürgen|Bärbel|Götz|Rüdiger|Zeynep|Ann-Kathrin|Kai-Uwe|Lea|"
                                               "Peter|Sabine|Horst|Ingrid|Klaus")
                                    .split(u'|');
const QStringList kRooms = QStringLiteral("Büro|Lager|Teeküche|Labor|Werkstatt|Schulungsraum|Umkleide").split(u'|');

const char* const kConfirmation = "Empfangsbestätigung\r\n\r\nHiermit bestätigt\r\n[&P]\r\n"
                                  "am [&D] folgenden Schlüssel erhalten zu haben:\r\n[&K]\r\n\r\n"
                                  "Ort, Datum                                Unterschrift";

// Keys by building letter, floor and room: A0001 to Z9125 for 30,000 keys.
QString keyNumber(int k)
{
    return QStringLiteral("%1%2%3")
        .arg(QChar(u'A' + k / 1250 % 26))
        .arg(k / 125 % 10)
        .arg(k % 125 + 1, 3, 10, QChar(u'0'));
}
int copies(int k)
{
    return 4 + k % 7;
}
bool numbered(int k)
{
    return k % 10 == 0;
}
bool retired(int person)
{
    return person % 64 == 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a key register as a Jet file."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("the new file (never overwritten)"));
    const QCommandLineOption jet3(QStringLiteral("jet3"), QStringLiteral("the 1997 format (default: 2000)"));
    const QCommandLineOption persons(QStringLiteral("persons"), QStringLiteral("persons"), QStringLiteral("N"),
                                     "32767");
    const QCommandLineOption keys(QStringLiteral("keys"), QStringLiteral("keys"), QStringLiteral("N"), "30000");
    const QCommandLineOption movements(QStringLiteral("movements"), QStringLiteral("movements"), QStringLiteral("N"),
                                       "1000000");
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("of the movements, those still out"),
                                 QStringLiteral("N"), "100000");
    parser.addOptions({jet3, persons, keys, movements, out});
    parser.process(app);
    QTextStream err(stderr);
    if (parser.positionalArguments().size() != 1) {
        err << parser.helpText();
        return 1;
    }
    const QString path = parser.positionalArguments().constFirst();
    const int personCount = parser.value(persons).toInt();
    const int keyCount = parser.value(keys).toInt();
    const qint64 movementCount = parser.value(movements).toLongLong();
    const qint64 outCount = parser.value(out).toLongLong();
    // Every tenth movement or so is out, each a different copy of its key, so no key is out more often than it
    // exists; they go to persons not retired.
    const qint64 outEvery = outCount > 0 ? std::max<qint64>(1, movementCount / outCount) : 0;
    if (personCount < 2 || keyCount < 1 || outCount > movementCount || (outCount > 0 && outCount > 4LL * keyCount)) {
        err << "The sizes do not make a register: at least 2 persons and 1 key, and at most 4 copies of each key "
               "out.\n";
        return 1;
    }

    const QDate begin(2016, 3, 1);
    QList<JetWriter::Table> tables = JetWriter::registerTables();
    tables[0].rowCount = 1;
    tables[0].row = [&](qint64) -> QVariantList {
        return {begin,     QStringLiteral("by user"),       QStringLiteral("SA 20417"), 1,
                QString(), QString::fromUtf8(kConfirmation)};
    };
    tables[1].rowCount = personCount;
    tables[1].row = [&](qint64 i) -> QVariantList {
        const int id = static_cast<int>(i) + 1;
        const quint32 r = mix(static_cast<quint64>(id));
        return {id, kFamilyNames[r % kFamilyNames.size()], kGivenNames[r / 64 % kGivenNames.size()] + u' ',
                r % 12 == 0 ? QStringLiteral(" ") : QStringLiteral("%1 ").arg(10000 + id), retired(id)};
    };
    tables[2].rowCount = keyCount;
    tables[2].row = [&](qint64 i) -> QVariantList {
        const int k = static_cast<int>(i);
        return {keyNumber(k),
                QStringLiteral("%1 %2 ").arg(kRooms[mix(static_cast<quint64>(k)) % kRooms.size()], keyNumber(k)),
                copies(k), numbered(k)};
    };
    tables[3].rowCount = movementCount;
    tables[3].row = [&](qint64 i) -> QVariantList {
        const quint32 r = mix(static_cast<quint64>(i) + 1000003);
        const bool isOut = outEvery > 0 && i % outEvery == outEvery - 1 && i / outEvery < outCount;
        int key = static_cast<int>(r % static_cast<quint32>(keyCount));
        int copy = 1 + static_cast<int>(r / 7 % static_cast<quint32>(copies(key)));
        int person = 1 + static_cast<int>(r / 13 % static_cast<quint32>(personCount));
        if (isOut) {
            const qint64 j = i / outEvery;
            key = static_cast<int>(j % keyCount);
            copy = static_cast<int>(j / keyCount) + 1;
            if (retired(person))
                person = person % personCount + 1;
        }
        const QDate day = begin.addDays(3650 * i / std::max<qint64>(1, movementCount));
        return {
            i + 1, person,        keyNumber(key), numbered(key) ? QStringLiteral("%1 ").arg(copy) : QStringLiteral(" "),
            day,   isOut ? 0 : 1, QVariant()};
    };

    QElapsedTimer timer;
    timer.start();
    const QString error =
        JetWriter::write(path, parser.isSet(jet3) ? JetWriter::Format::Jet3 : JetWriter::Format::Jet4, tables);
    if (!error.isEmpty()) {
        err << error << '\n';
        return 1;
    }
    QTextStream(stdout) << QStringLiteral("%1 (%2): %3 persons, %4 keys, %5 movements (%6 out), %7 MB in %8 ms\n")
                               .arg(path, parser.isSet(jet3) ? QStringLiteral("Jet 3") : QStringLiteral("Jet 4"))
                               .arg(personCount)
                               .arg(keyCount)
                               .arg(movementCount)
                               .arg(outCount)
                               .arg(QFileInfo(path).size() / 1e6, 0, 'f', 1)
                               .arg(timer.elapsed());
    return 0;
}
