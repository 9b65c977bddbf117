// Reading Jet files: the Jackcess project's samples of both formats, every value compared with mdbtools' own
// reading (mdb-export) and with the contents the samples are known to hold.
#include "JetWriter.h"
#include "jet/JetFile.h"
#include "support/JetSamples.h"
#include "support/Query.h"
#include "support/TestMain.h"

#include <QDateTime>
#include <QTemporaryDir>

namespace {

// A value in the form mdb-export prints it.
QString asExported(const JetFile::Table& table, int column)
{
    if (table.isNull(column))
        return {};
    const QVariant value = table.value(column);
    switch (table.columns().at(column).type) {
    case JetFile::Type::Boolean:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case JetFile::Type::Single:
        return QString::number(value.toDouble(), 'g', 8);
    case JetFile::Type::Double:
        return QString::number(value.toDouble(), 'g', 16);
    case JetFile::Type::DateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case JetFile::Type::Binary:
    case JetFile::Type::Ole:
        return {};
    default:
        return value.toString();
    }
}

QString typeName(JetFile::Type type)
{
    static const char* const names[] = {"Boolean",  "Byte",   "Integer", "Long", "Currency", "Single", "Double",
                                        "DateTime", "Binary", "Text",    "Ole",  "Memo",     "Other"};
    return QString::fromLatin1(names[int(type)]);
}

} // namespace

class TestJetFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private Q_SLOTS:
    void samples_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("table");
        QTest::addColumn<JetFile::Format>("format");
        QTest::addColumn<QString>("types");     // of the columns; empty: not checked
        QTest::addColumn<QStringList>("known"); // "first column's value|column|value" of some rows
        using F = JetFile::Format;
        const QString types = QStringLiteral("Text Text Byte Integer Long Double DateTime Currency Boolean");
        const QStringList known{"abcdefg|C|2",
                                "abcdefg|D|222",
                                "abcdefg|E|333333333",
                                "abcdefg|F|444.555",
                                "abcdefg|G|1974-09-21 00:00:00",
                                "abcdefg|H|3.5000",
                                "abcdefg|I|1",
                                "a|I|0"};
        QTest::newRow("Jet 3, the column types") << "testV1997.mdb"
                                                 << "Table1" << F::Jet3 << types << known;
        QTest::newRow("Jet 4, the column types") << "testV2000.mdb"
                                                 << "Table1" << F::Jet4 << types << known;
        QTest::newRow("Jet 3, text in the code page")
            << "testIndexCodesV1997.mdb"
            << "Table1" << F::Jet3 << QString()
            << QStringList{"row228|data|AAäAA", "row223|data|AAßAA", "row196|data|AAÄAA", "row10|data|AA\nAA"};
        QTest::newRow("Jet 4, compressed Unicode text")
            << "testUnicodeCompV2003.mdb"
            << "Table" << F::Jet4 << QString()
            << QStringList{"2|Unicode|ääkkösiä", "3|Unicode|Мир", "5|Unicode|漢字仮名交じり文"};
        QTest::newRow("Jet 3, memo on pages of its own")
            << "test2V1997.mdb"
            << "MSP_PROJECTS" << F::Jet3 << QString()
            << QStringList{"1|PROJ_PROP_COMPANY|T", "1|PROJ_INFO_CAL_NAME|Standard"};
        QTest::newRow("Jet 4, date and time")
            << "fixedTextTestV2000.mdb"
            << "users" << F::Jet4 << QString()
            << QStringList{"1|d_stamp_|2009-11-05 23:41:28", "2|c_user_login|admin", "1|c_user_pwd| "};
    }
    void samples()
    {
        QFETCH(QString, file);
        QFETCH(QString, table);
        QFETCH(JetFile::Format, format);
        QFETCH(QString, types);
        QFETCH(QStringList, known);
        const QString path = jetSample(file, m_dir.path());
        QVERIFY(JetFile::hasJetHeader(path));
        const QByteArray before = fileContent(path);
        const JetWriter::Export exported = JetWriter::exportTable(path, table);
        QVERIFY2(exported.error.isEmpty(), qPrintable(exported.error));
        const QList<QStringList> expected = QList<QStringList>{exported.columns} + exported.rows;

        QList<QStringList> read;
        QList<JetFile::Type> columnTypes;
        {
            JetFile jet(path);
            QCOMPARE(jet.format(), format);
            QVERIFY(jet.tables().contains(table));
            const auto rows = jet.table(table.toLower()); // names match without case, as the engine's do
            QVERIFY(rows);
            QStringList names;
            QStringList typeNames;
            for (const JetFile::Column& column : rows->columns()) {
                names << column.name;
                typeNames << typeName(column.type);
                columnTypes << column.type;
            }
            if (!types.isEmpty())
                QCOMPARE(typeNames.join(u' '), types);
            read << names;
            while (rows->next()) {
                QStringList fields;
                for (int c = 0; c < rows->columns().size(); ++c)
                    fields << asExported(*rows, c);
                read << fields;
            }
        }
        QCOMPARE(read.size(), expected.size());
        for (int r = 0; r < read.size(); ++r) {
            for (int c = 0; c < read[r].size(); ++c) {
                if (columnTypes[c] != JetFile::Type::Binary && columnTypes[c] != JetFile::Type::Ole)
                    QCOMPARE(read[r][c], expected[r].value(c));
            }
        }
        for (const QString& fact : known) {
            const QStringList parts = fact.split(u'|');
            const int column = read[0].indexOf(parts[1]);
            const auto row =
                std::find_if(read.begin() + 1, read.end(), [&](const QStringList& r) { return r[0] == parts[0]; });
            QVERIFY2(row != read.end() && column >= 0, qPrintable(fact));
            QCOMPARE((*row)[column], parts[2]);
        }
        QVERIFY(fileContent(path) == before);
    }

    // Days before the engine's day 0 keep their time after midnight; outside the years 1 to 9999 there is no day.
    void dateTime_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("day 0") << 0.0 << "1899-12-30 00:00:00";
        QTest::newRow("before day 0") << -1.25 << "1899-12-29 06:00:00";
        QTest::newRow("last second") << 2958465.99999 << "9999-12-31 23:59:59";
        QTest::newRow("after 9999") << 2958466.0 << "";
        QTest::newRow("before the year 1") << -693594.0 << "";
        QTest::newRow("not a number") << std::nan("") << "";
    }
    void dateTime()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(JetFile::dateTime(value).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), expected);
    }
};

CLAVARO_TEST_MAIN(TestJetFile)
#include "test_jetfile.moc"
