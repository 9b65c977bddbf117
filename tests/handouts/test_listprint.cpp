// The printed handout list: every line once, in order, across page breaks, under a repeated header.
#include "handouts/ListPrintout.h"
#include "handouts/VergabenModel.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TextRecorder.h"
#include "ui/FrmMain.h"

#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

class TestListPrint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The grid's lines as shown after a sort, without the hidden column.
    void tableAsTheGridShowsIt()
    {
        TestDatabase t;
        addKey(t, "A1", "Tor");
        // Listed by additional number: Zorn, Maier, Abel.
        for (const auto& [name, number] : {std::pair{"Zorn", "1"}, {"Abel", "3"}, {"Maier", "2"}})
            t.exec(QStringLiteral("INSERT INTO TBBewegungen (PersonID, SchluesselNr, ZusatzNr, Von, Status) "
                                  "VALUES(%1, 'A1', '%2', #3/5/26#, 0)")
                       .arg(addPerson(t, name))
                       .arg(number));
        FrmMain main;
        main.setTexts();
        main.RefreshVergaben(false);
        main.sprVergaben_Click(0, VergabenModel::Person);
        const ListPrintout::Table table = ListPrintout::fromGrid(*main.vergaben);
        QCOMPARE(table.headers, (QStringList{"Datum", "SchlüsselNr", "ZusatzNr", "Funktion", "Person"}));
        QCOMPARE(table.lines, (QList<QStringList>{{"05.03.2026", "A1", "3", "Tor", "Abel  "},
                                                  {"05.03.2026", "A1", "2", "Tor", "Maier  "},
                                                  {"05.03.2026", "A1", "1", "Tor", "Zorn  "}}));
    }

    // One line's person is long enough to wrap in its column; the lines stay whole and in order.
    void linesInOrderAcrossPages()
    {
        ListPrintout::Table table;
        table.headers = QStringList{"Datum", "SchlüsselNr", "Person"};
        for (int i = 1; i <= 150; ++i)
            table.lines << QStringList{"05.03.2026", QStringLiteral("K%1").arg(i), QStringLiteral("Person %1").arg(i)};
        table.lines[3][2] =
            QStringLiteral("Sehr-langer-Doppelname-der-nicht-in-die-Spalte-passt Hans ").repeated(4) + "Person 4";
        QTemporaryDir dir;
        QPdfWriter writer(dir.filePath("list.pdf"));
        writer.setPageMargins(QMarginsF(25, 36, 25, 36), QPageLayout::Point);
        ListPrintout printout(table, "Liste der Schlüsselvergaben", "Brannwerk MERIDIAN Clavaro");
        printout.layout(writer);
        const int pages = printout.pageCount();
        QVERIFY(pages > 1);

        QStringList keys;
        for (int page = 1; page <= pages; ++page) {
            TextRecorder recorder(writer);
            QPainter painter(&recorder);
            printout.drawPage(painter, page);
            painter.end();
            const QStringList texts = recorder.texts();
            QCOMPARE(texts.mid(0, 4), (QStringList{"Liste der Schlüsselvergaben", "Datum", "SchlüsselNr", "Person"}));
            QCOMPARE(texts.mid(texts.size() - 2),
                     (QStringList{"Brannwerk MERIDIAN Clavaro", QStringLiteral("%1 / %2").arg(page).arg(pages)}));
            QCOMPARE(printout.firstLine(page), keys.size() + 1);
            for (const QString& text : texts) {
                if (text.startsWith('K'))
                    keys << text;
            }
        }
        QStringList expected;
        for (int i = 1; i <= 150; ++i)
            expected << QStringLiteral("K%1").arg(i);
        QCOMPARE(keys, expected);
        QVERIFY(printout.print(writer));
    }
};

CLAVARO_TEST_MAIN(TestListPrint)
#include "test_listprint.moc"
