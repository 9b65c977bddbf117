#include "DlgUebernahme.h"

#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Texts.h"
#include "handouts/ListPrintout.h"
#include "widgets/ConnectClick.h"
#include "widgets/DialogButtons.h"
#include "widgets/DialogRunner.h"
#include "widgets/Printout.h"
#include "widgets/SaveFileAs.h"
#include "widgets/Twips.h"
#include "widgets/WaitCursor.h"

#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>

DlgUebernahme::DlgUebernahme(const QStringList& report, QWidget* parent) : QDialog(parent), m_report(report)
{
    setObjectName(QStringLiteral("dlgUebernahme"));
    setModal(true);
    setFixedSize(tw(10800), tw(6600));

    dfBericht = placeControl<QPlainTextEdit>(this, "dfBericht", 120, 120, 10560, 5640);
    pbDrucken = placeControl<QPushButton>(this, "pbDrucken", 4815, 5940, 1815, 375);
    pbSpeichern = placeControl<QPushButton>(this, "pbSpeichern", 6840, 5940, 1815, 375);
    pbWeiter = placeControl<QPushButton>(this, "pbWeiter", 8865, 5940, 1815, 375);

    dfBericht->setReadOnly(true);
    dfBericht->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    dfBericht->setPlainText(report.join(QLatin1Char('\n')));

    setDialogDefault(this, pbWeiter);
    connectClick(pbDrucken, this, &DlgUebernahme::pbDrucken_Click);
    connectClick(pbSpeichern, this, &DlgUebernahme::pbSpeichern_Click);
    connectClick(pbWeiter, this, &DlgUebernahme::pbWeiter_Click);
    setTexts();
}

void DlgUebernahme::open(const QStringList& report)
{
    DlgUebernahme dialog(report);
    DialogRunner::run(dialog);
}

void DlgUebernahme::setTexts()
{
    setWindowTitle(GetText(QStringLiteral("Übernahme aus der Jet-Datei"), 784));
    pbDrucken->setText(GetText(QStringLiteral("Drucken"), 811));
    pbSpeichern->setText(GetText(QStringLiteral("Speichern…"), 785));
    pbWeiter->setText(GetText(QStringLiteral("Weiter"), 786));
}

void DlgUebernahme::pbDrucken_Click()
{
    // The report's first line heads a table of the others, one to a row: long lines wrap, and a row never
    // splits across pages.
    ListPrintout::Table table{{m_report.value(0)}, {}};
    for (const QString& line : m_report.mid(1)) {
        if (!line.isEmpty())
            table.lines.append({line});
    }
    ListPrintout printout(table, windowTitle(), kProgramDescription);
    Printout::run(QStringLiteral("Uebernahme"), QString(), windowTitle(), QMarginsF(1134, 720, 850, 720),
                  [&printout](QPrinter& printer) {
                      const WaitCursor wait;
                      return printout.print(printer);
                  });
}

void DlgUebernahme::pbSpeichern_Click()
{
    const QByteArray text = (m_report.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    saveFileAs(this, GetText(QStringLiteral("Bericht speichern"), 787),
               QStringLiteral("Uebernahme-%1.txt").arg(Clock::today().toString(Qt::ISODate)),
               GetText(QStringLiteral("Textdateien"), 788) + QStringLiteral(" (*.txt)"), QStringLiteral("txt"),
               [&text](const QString& path, QString* error) {
                   QSaveFile file(path);
                   if (file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
                       return true;
                   *error = file.errorString();
                   return false;
               });
}

void DlgUebernahme::pbWeiter_Click()
{
    accept();
}
