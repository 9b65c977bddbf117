// The register opened with the stock sqlite3 program and the clavaro_sqlite extension: counting, sorting,
// searching and writing follow the program's own text rules, and the file stays sound for the program.
#include "core/Database.h"
#include "support/Query.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

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
            "SELECT PersID FROM TBPersonen WHERE Nachname LIKE '*ü?l*' OR PersNr LIKE '[!0-4]#*' ORDER BY PersID"};
        QStringList expected;
        {
            auto db = Database::open(path);
            db->execute("INSERT INTO TBPersonen (Nachname, PersNr) VALUES('Müller ', '10'), ('zander', '21'), "
                        "('Öztürk', '32'), ('Becker', '43'), ('müller', '54'), ('Adler', '65'), ('MEIER', '76')");
            for (const QString& sql : queries)
                expected += column(*db, sql).split(u'|');
        }
        QCOMPARE(expected.size(), 1 + 7 + 2 + 4); // the queries find something to compare

        QProcess process;
        process.start(sqlite3, {QStringLiteral("-batch"), QStringLiteral("-bail"), path});
        process.write(QStringLiteral(".load " CLAVARO_SQLITE_EXTENSION_PATH "\n%1;\nINSERT INTO TBPersonen (Nachname, "
                                     "Storniert) VALUES ('adler ', 0);\nPRAGMA integrity_check;\n")
                          .arg(queries.join(QStringLiteral(";\n")))
                          .toUtf8());
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(process.readAllStandardError()), QString());
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
                 expected + QStringList{"ok"});

        // The row the tool wrote sits in the program's index where the program looks for it.
        auto db = Database::open(path);
        QCOMPARE(column(*db, "PRAGMA integrity_check"), "ok");
        QCOMPARE(column(*db, "SELECT count(*) FROM TBPersonen WHERE Nachname = 'ADLER'"), "2");
    }
};

CLAVARO_TEST_MAIN(TestExtension)
#include "test_extension.moc"
