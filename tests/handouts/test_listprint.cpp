// The printed handout list.
#include "handouts/HandoutPane.h"
#include "handouts/ListPrintout.h"
#include "handouts/VergabenModel.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TextRecorder.h"

#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTemporaryDir>

class TestListPrint : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The grid's lines as shown after a sort by person, without the hidden column; then, with many more
    // lines and one long enough to wrap, every line once and in order under a header and the note of what
    // the list holds on every page.
    void linesAsShownAcrossPages()
    {
        TestDatabase t;
        addKey(t, "A1", "Tor");
        for (const auto& [name, number] : {std::pair{"Zorn", "1"}, {"Abel", "3"}, {"Maier", "2"}})
            addMovement(t, "A1", 0, addPerson(t, name), "3/5/26", number);
        HandoutPane pane;
        pane.RefreshVergaben(false);
        pane.sprVergaben_Click(0, VergabenModel::Person);
        ListPrintout::Table table = ListPrintout::fromGrid(*pane.vergaben);
        QCOMPARE(table.headers, (QStringList{"Datum", "SchlüsselNr", "ZusatzNr", "Funktion", "Person"}));
        QCOMPARE(table.lines, (QList<QStringList>{{"05.03.2026", "A1", "3 ", "Tor", "Abel  "},
                                                  {"05.03.2026", "A1", "2 ", "Tor", "Maier  "},
                                                  {"05.03.2026", "A1", "1 ", "Tor", "Zorn  "}}));

        QStringList expected{"A1", "A1", "A1"};
        for (int i = 1; i <= 150; ++i) {
            expected << QStringLiteral("K%1").arg(i);
            table.lines << QStringList{"05.03.2026", expected.last(), "", "", QStringLiteral("Person %1").arg(i)};
        }
        table.lines[6][4] = QStringLiteral("Sehr-langer-Doppelname-der-nicht-in-die-Spalte-passt ").repeated(4);
        QTemporaryDir dir;
        QPdfWriter writer(dir.filePath("list.pdf"));
        writer.setPageMargins(QMarginsF(25, 36, 25, 36), QPageLayout::Point);
        const QString note = "Gefilterte Liste (Datum ab 05.03.2026) – Zeilen: 153";
        ListPrintout printout(table, "Liste der Schlüsselvergaben", "Brannwerk MERIDIAN Clavaro", note);
        printout.layout(writer);
        QVERIFY(printout.pageCount() > 1);
        QStringList keys;
        for (int page = 1; page <= printout.pageCount(); ++page) {
            TextRecorder recorder(writer);
            QPainter painter(&recorder);
            printout.drawPage(painter, page);
            painter.end();
            const QStringList texts = recorder.texts();
            QCOMPARE(texts.mid(0, 4), (QStringList{"Liste der Schlüsselvergaben", note, "Datum", "SchlüsselNr"}));
            const QString number = QStringLiteral("%1 / %2").arg(page).arg(printout.pageCount());
            QCOMPARE(texts.mid(texts.size() - 2), (QStringList{"Brannwerk MERIDIAN Clavaro", number}));
            keys << texts.filter(QRegularExpression("^(A1|K\\d+)$"));
        }
        QCOMPARE(keys, expected);
        QVERIFY(printout.print(writer));
    }
};

CLAVARO_TEST_MAIN(TestListPrint)
#include "test_listprint.moc"
