// The register opened with the stock sqlite3 program and the clavaro_sqlite extension: counting, sorting,
// searching and writing follow the program's own text rules, and the file stays sound for the program.
#include "core/Database.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

QStringList programAnswers(Database& db, const QStringList& queries)
{
    QStringList lines;
    for (const QString& sql : queries) {
        for (Recordset rs = db.openRecordset(sql); !rs.eof(); rs.moveNext())
            lines.append(rs.field(0).toString());
    }
    return lines;
}

} // namespace

class TestExtension : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sqlite3WithTheExtension()
    {
        const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
        if (sqlite3.isEmpty())
            QSKIP("the sqlite3 program is not installed");
#ifdef __SANITIZE_ADDRESS__
        QSKIP("a stock program cannot load a library built with AddressSanitizer");
#endif
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("TBDB.MDB"));
        Database::create(path);
        const QStringList queries{
            "SELECT count(*) FROM TBPersonen", "SELECT Nachname FROM TBPersonen ORDER BY Nachname, Vorname",
            "SELECT PersID FROM TBPersonen WHERE Nachname = 'MÜLLER' ORDER BY PersID", // case and trailing blank
            "SELECT PersID FROM TBPersonen WHERE Nachname LIKE '*ü?l*' OR PersNr LIKE '[!0-4]#*' ORDER BY PersID",
            "SELECT SchluesselNr FROM TBSchluessel WHERE SchluesselNr = 'a1'"};
        QStringList expected;
        {
            auto db = Database::open(path);
            const QStringList names{"Müller ", "zander", "Öztürk", "Becker", "müller", "Adler", "MEIER"};
            for (int i = 0; i < names.size(); ++i)
                db->execute(QStringLiteral("INSERT INTO TBPersonen (Nachname, Vorname, PersNr, Storniert) "
                                           "VALUES('%1', ' ', '%2 ', False)")
                                .arg(names[i])
                                .arg(10 + 11 * i));
            db->execute("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) VALUES('A1', ' ', 1, 0)");
            expected = programAnswers(*db, queries);
        }
        QCOMPARE(expected.size(), 1 + 7 + 2 + 4 + 1); // the queries find something to compare

        QProcess process;
        process.start(sqlite3, {QStringLiteral("-batch"), QStringLiteral("-bail"), path});
        const QString script = QStringLiteral(".load %1\n").arg(QStringLiteral(CLAVARO_SQLITE_EXTENSION_PATH)) +
                               queries.join(QStringLiteral(";\n")) +
                               QStringLiteral(";\nINSERT INTO TBPersonen (Nachname, Storniert) VALUES ('adler ', 0);\n"
                                              "PRAGMA integrity_check;\n");
        process.write(script.toUtf8());
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()), QString());
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
                 expected + QStringList{"ok"});

        // The row the tool wrote sits in the program's index where the program looks for it.
        auto db = Database::open(path);
        QCOMPARE(programAnswers(*db, {"PRAGMA integrity_check", "SELECT count(*) FROM TBPersonen WHERE Nachname = "
                                                                "'ADLER' AND Vorname IS NULL"}),
                 (QStringList{"ok", "1"}));
    }
};

CLAVARO_TEST_MAIN(TestExtension)
#include "test_extension.moc"
