#include "JetWriter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using JetWriter::Format;
using JetWriter::Type;

Q_DECLARE_METATYPE(JetWriter::Format)
Q_DECLARE_METATYPE(JetWriter::Type)
Q_DECLARE_METATYPE(QList<JetWriter::Table>)

namespace {

JetWriter::Table table(const QString& name, QList<JetWriter::Column> columns, qint64 rows,
                       std::function<QVariantList(qint64)> row)
{
    JetWriter::Table t;
    t.name = name;
    t.columns = std::move(columns);
    t.rowCount = rows;
    t.row = std::move(row);
    return t;
}

// A text of n characters repeating a pattern.
QString repeated(const QString& pattern, qsizetype n)
{
    return pattern.repeated(n / pattern.size() + 1).left(n);
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

// The Jet writer of the import's tests: every file it writes reads back through mdbtools with exactly the
// values given, so that a fault of the writer cannot hide a fault of the import.
class TestJetWriter : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;

    QString newPath() { return m_dir.filePath(QStringLiteral("%1.mdb").arg(++m_files)); }

    // Writes the table, reads it back through mdb-export and compares every row.
    void roundTrip(Format format, const JetWriter::Table& t, const std::function<QStringList(qint64)>& expected)
    {
        const QString path = newPath();
        const QString error = JetWriter::write(path, format, {t});
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const JetWriter::Export read = JetWriter::exportTable(path, t.name);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.rows.size(), t.rowCount);
        for (qint64 r = 0; r < t.rowCount; ++r) {
            const QStringList want = expected(r);
            for (qsizetype c = 0; c < want.size(); ++c) {
                const QString& got = read.rows[r][c];
                if (got != want[c] || got.isNull() != want[c].isNull())
                    QFAIL(qPrintable(QStringLiteral("row %1, column %2: \"%3\" instead of \"%4\"")
                                         .arg(r)
                                         .arg(t.columns[c].name, got.left(80), want[c].left(80))));
            }
        }
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void values_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<Type>("type");
        QTest::addColumn<int>("size");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        const QString lines = repeated(QStringLiteral("Schlüssel \"HS1\"; Größe €\r\n"), 1500);
        const QString pages =
            repeated(QStringLiteral("Empfangsbestätigung; „[&P]“ erhält 'Generalschlüssel'\r\n"), 9000);
        for (const Format format : {Format::Jet3, Format::Jet4}) {
            const char* f = format == Format::Jet3 ? "jet3" : "jet4";
            const auto row = [&](const char* name, Type type, int size, const QVariant& value,
                                 const QString& expected) {
                QTest::addRow("%s %s", f, name) << format << type << size << value << expected;
            };
            const auto same = [&](const char* name, Type type, int size, const QString& value) {
                row(name, type, size, value, value);
            };
            same("text with umlauts and ß", Type::Text, 50, "Müller-Lüdenscheidt, Weißenstraße");
            same("text with €, quotes, ';' and a trailing blank", Type::Text, 255, "5 € \"Pfand\"; O'Neil ");
            same("text as wide as its column", Type::Text, 10, "ABCDEFGHIJ");
            same("text of 255 characters", Type::Text, 255, repeated("Äb€", 255));
            // mdb-export prints an empty text as it prints Null.
            row("empty text", Type::Text, 10, QString(""), QString());
            same("memo in its row", Type::Memo, 0, "kurz");
            same("memo on one page, CR LF", Type::Memo, 0, lines);
            same("memo over pages", Type::Memo, 0, pages);
            same("memo of plain letters", Type::Memo, 0, repeated("abc ", 900));
            row("yes", Type::Boolean, 0, true, "1");
            row("no", Type::Boolean, 0, false, "0");
            row("byte", Type::Byte, 0, 255, "255");
            row("integer low", Type::Integer, 0, -32768, "-32768");
            row("integer high", Type::Integer, 0, 32767, "32767");
            row("long low", Type::Long, 0, qint64(-2147483648LL), "-2147483648");
            row("long high", Type::Long, 0, 2147483647, "2147483647");
            row("double", Type::Double, 0, -1234.5678, "-1234.5678");
            row("double large", Type::Double, 0, 1.5e300, "1.5e+300");
            row("date", Type::DateTime, 0, QDate(2026, 12, 5), "2026-12-05 00:00:00");
            row("date and time", Type::DateTime, 0, QDateTime(QDate(2026, 12, 5), QTime(14, 30, 15)),
                "2026-12-05 14:30:15");
            row("first day", Type::DateTime, 0, QDate(1899, 12, 30), "1899-12-30 00:00:00");
            row("last second of 2099", Type::DateTime, 0, QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59)),
                "2099-12-31 23:59:59");
            for (const Type type :
                 {Type::Byte, Type::Integer, Type::Long, Type::Double, Type::DateTime, Type::Text, Type::Memo})
                QTest::addRow("%s Null %d", f, static_cast<int>(type))
                    << format << type << 10 << QVariant() << QString();
        }
        // Characters Jet 4 cannot compress (a low byte of 0), or outside Windows-1252.
        const QString wide = QStringLiteral("Ā und Ő bei Yılmaz in Lüdenscheid");
        QTest::addRow("jet4 text of Ā and Ő") << Format::Jet4 << Type::Text << 50 << QVariant(wide) << wide;
    }
    void values()
    {
        QFETCH(Format, format);
        QFETCH(Type, type);
        QFETCH(int, size);
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        roundTrip(format,
                  table("Werte", {{"Nr", Type::Long}, {"Wert", type, size}}, 1,
                        [&](qint64) {
                            return QVariantList{7, value};
                        }),
                  [&](qint64) {
                      return QStringList{"7", expected};
                  });
    }

    // Rows from a few bytes to past 512: the variable columns' offsets cross 256 and 512 at every place (Jet 3
    // keeps them in one byte and a jump table), beside a yes/no, a Null and a memo in the row.
    void rowLayouts_data()
    {
        QTest::addColumn<Format>("format");
        QTest::newRow("jet3") << Format::Jet3;
        QTest::newRow("jet4") << Format::Jet4;
    }
    void rowLayouts()
    {
        QFETCH(Format, format);
        const auto a = [](qint64 r) { return repeated("ä€", r / 2); };
        const auto b = [](qint64 r) { return repeated("ab", (r + 1) / 2); };
        roundTrip(format,
                  table("Zeilen",
                        {{"Nr", Type::Long},
                         {"A", Type::Text, 255},
                         {"Ja", Type::Boolean},
                         {"B", Type::Text, 255},
                         {"M", Type::Memo}},
                        510,
                        [&](qint64 r) {
                            return QVariantList{r, a(r), r % 2 == 0, b(r), r % 3 == 0 ? QVariant() : QVariant("m")};
                        }),
                  [&](qint64 r) {
                      return QStringList{QString::number(r), r < 2 ? QString() : a(r), r % 2 == 0 ? "1" : "0",
                                         r < 1 ? QString() : b(r), r % 3 == 0 ? QString() : "m"};
                  });
    }

    // More pages than one usage map row lists (512 in Jet 4, 1024 in Jet 3): the map points to map pages.
    void largeTable()
    {
        for (const Format format : {Format::Jet3, Format::Jet4}) {
            roundTrip(format,
                      table("Gross", {{"ID", Type::Long, 0, true}, {"Text", Type::Text, 100}}, 30000,
                            [](qint64 r) {
                                return QVariantList{r * 3, repeated(QString::number(r), 100)};
                            }),
                      [](qint64 r) {
                          return QStringList{QString::number(r * 3), repeated(QString::number(r), 100)};
                      });
        }
    }

    // The register's four tables, and nothing of the template's sample tables, with the column types a site's
    // file has.
    void registerFile()
    {
        for (const Format format : {Format::Jet3, Format::Jet4}) {
            const QString path = newPath();
            QCOMPARE(JetWriter::write(path, format, JetWriter::registerTables()), QString());
            QCOMPARE(run("mdb-tables", {"-1", path}), "TBKopfdaten\nTBPersonen\nTBSchluessel\nTBBewegungen\n");
            const QString schema = run("mdb-schema", {path});
            for (const char* column : {"[Bestätigung]\t\t\tMemo/Hyperlink (255)", "[PersID]\t\t\tLong Integer",
                                       "[Vorname]\t\t\tText (51)", "[Storniert]\t\t\tBoolean NOT NULL",
                                       "[SchluesselNr]\t\t\tText (10)", "[Status]\t\t\tInteger", "[Bis]\t\t\tDateTime"})
                QVERIFY2(schema.contains(QString::fromUtf8(column)), column);
        }
    }

    void refusals_data()
    {
        QTest::addColumn<Format>("format");
        QTest::addColumn<QList<JetWriter::Table>>("tables");
        QTest::addColumn<QString>("message");
        const auto one = [](Type type, int size, const QVariant& value) {
            return QList{table("T", {{"A", type, size}}, 1, [=](qint64) { return QVariantList{value}; })};
        };
        QTest::newRow("Null yes/no") << Format::Jet4 << one(Type::Boolean, 0, QVariant()) << "cannot hold Null";
        QTest::newRow("text too long") << Format::Jet4 << one(Type::Text, 3, "abcd") << "longer than 3";
        QTest::newRow("long too large") << Format::Jet3 << one(Type::Long, 0, qint64(1) << 31) << "whole number";
        QTest::newRow("text for a number") << Format::Jet4 << one(Type::Integer, 0, "12") << "whole number";
        QTest::newRow("date no date") << Format::Jet4 << one(Type::DateTime, 0, QDate()) << "not a date";
        QTest::newRow("outside Windows-1252") << Format::Jet3 << one(Type::Text, 10, "Yılmaz") << "Windows-1252";
        QTest::newRow("too few values") << Format::Jet4
                                        << QList{table("T", {{"A", Type::Long}, {"B", Type::Long}}, 1,
                                                       [](qint64) { return QVariantList{1}; })}
                                        << "1 values for 2 columns";
        QTest::newRow("column twice") << Format::Jet4
                                      << QList{table("T", {{"A", Type::Long}, {"a", Type::Long}}, 0, nullptr)}
                                      << "given twice";
        QTest::newRow("catalog's name") << Format::Jet3 << QList{table("msysobjects", {{"A", Type::Long}}, 0, nullptr)}
                                        << "taken";
        QTest::newRow("table twice") << Format::Jet4
                                     << QList{table("T", {{"A", Type::Long}}, 0, nullptr),
                                              table("t", {{"A", Type::Long}}, 0, nullptr)}
                                     << "taken";
    }
    void refusals()
    {
        QFETCH(Format, format);
        QFETCH(QList<JetWriter::Table>, tables);
        QFETCH(QString, message);
        const QString path = m_dir.filePath(QStringLiteral("refused.mdb"));
        const QString error = JetWriter::write(path, format, tables);
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(!QFile::exists(path));
    }

    void existingFileKept()
    {
        const QString path = newPath();
        QCOMPARE(JetWriter::write(path, Format::Jet4, {}), QString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        QVERIFY(JetWriter::write(path, Format::Jet3, JetWriter::registerTables()).contains("exists"));
        QVERIFY(file.seek(0));
        QCOMPARE(file.readAll(), before);
    }
};

QTEST_GUILESS_MAIN(TestJetWriter)
#include "test_jetwriter.moc"
