#include "DlgVerlauf.h"

#include "CsvSave.h"
#include "Export.h"
#include "History.h"
#include "ProtokollModel.h"
#include "VerlaufModel.h"
#include "core/AppState.h"
#include "core/Blanks.h"
#include "core/Sql.h"
#include "core/Texts.h"
#include "handouts/ListPrintout.h"
#include "widgets/ConnectClick.h"
#include "widgets/DialogButtons.h"
#include "widgets/DialogRunner.h"
#include "widgets/Printout.h"
#include "widgets/Twips.h"
#include "widgets/WaitCursor.h"

#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QResizeEvent>
#include <QTableView>

DlgVerlauf::DlgVerlauf(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgVerlauf"));
    setModal(true);
    // At least as designed; larger, the table takes the room.
    setMinimumSize(tw(10800), tw(6600));
    resize(minimumSize());
    setSizeGripEnabled(true);

    lblBetreff = placeControl<QLabel>(this, "lblBetreff", 120, 120, 10560, 285);
    sprVerlauf = placeControl<QTableView>(this, "sprVerlauf", 120, 480, 10560, 5280);
    lblAnzahl = placeControl<QLabel>(this, "lblAnzahl", 120, 5985, 2550, 285);
    pbAenderungen = placeControl<QPushButton>(this, "pbÄnderungen", 2790, 5940, 1815, 375);
    pbDrucken = placeControl<QPushButton>(this, "pbDrucken", 4815, 5940, 1815, 375);
    pbExportieren = placeControl<QPushButton>(this, "pbExportieren", 6840, 5940, 1815, 375);
    pbSchliessen = placeControl<QPushButton>(this, "pbSchließen", 8865, 5940, 1815, 375);

    QFont bold = lblBetreff->font();
    bold.setBold(true);
    lblBetreff->setFont(bold);

    verlauf = new VerlaufModel(this);
    protokoll = new ProtokollModel(this);
    sprVerlauf->setSelectionBehavior(QAbstractItemView::SelectRows);
    sprVerlauf->setSelectionMode(QAbstractItemView::SingleSelection);
    sprVerlauf->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sprVerlauf->setWordWrap(false);
    sprVerlauf->verticalHeader()->setDefaultSectionSize(sprVerlauf->fontMetrics().height() + 6);
    sprVerlauf->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = sprVerlauf->horizontalHeader();
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    showModel(verlauf);
    sprVerlauf->setSortingEnabled(true);

    setDialogDefault(this, pbSchliessen);
    connectClick(pbAenderungen, this, &DlgVerlauf::pbAenderungen_Click);
    connectClick(pbDrucken, this, &DlgVerlauf::pbDrucken_Click);
    connectClick(pbExportieren, this, &DlgVerlauf::pbExportieren_Click);
    connectClick(pbSchliessen, this, &DlgVerlauf::pbSchliessen_Click);
    connect(verlauf, &QAbstractItemModel::modelReset, this, &DlgVerlauf::setTexts);
    connect(protokoll, &QAbstractItemModel::modelReset, this, &DlgVerlauf::setTexts);

    setTexts();
}

void DlgVerlauf::setTexts()
{
    setWindowTitle(GetText(QStringLiteral("Verlauf"), 802));
    switch (m_subject) {
    case Subject::Person:
        lblBetreff->setText(GetText(QStringLiteral("Person:"), 809) + QLatin1Char(' ') + m_subjectText);
        break;
    case Subject::Key:
        lblBetreff->setText(GetText(QStringLiteral("Schlüssel:"), 808) + QLatin1Char(' ') + m_subjectText);
        break;
    case Subject::None:
        lblBetreff->clear();
        break;
    }
    lblAnzahl->setText(GetText(QStringLiteral("Zeilen:"), 806) + QLatin1Char(' ') + QString::number(shownRows()));
    pbAenderungen->setText(m_journalShown ? GetText(QStringLiteral("Ausgaben"), 1721)
                                          : GetText(QStringLiteral("Änderungen"), 1720));
    pbDrucken->setText(GetText(QStringLiteral("Drucken"), 811));
    pbExportieren->setText(GetText(QStringLiteral("Exportieren…"), 801));
    pbSchliessen->setText(GetText(QStringLiteral("Schließen"), 807));
}

void DlgVerlauf::openForPerson(QWidget* parent, qint32 persId)
{
    DlgVerlauf dialog(parent);
    dialog.loadPerson(persId);
    DialogRunner::run(dialog);
}

void DlgVerlauf::openForKey(QWidget* parent, const QString& keyNumber)
{
    DlgVerlauf dialog(parent);
    dialog.loadKey(keyNumber);
    DialogRunner::run(dialog);
}

void DlgVerlauf::loadPerson(qint32 persId)
{
    WaitCursor wait;
    Recordset person = db().openRecordset(QStringLiteral("SELECT Nachname, Vorname FROM TBPersonen WHERE PersID = ") +
                                          QString::number(persId));
    m_subjectText =
        person.eof() ? QString()
                     : trimTrailingBlanks(person.field(0).toString() + QLatin1Char(' ') + person.field(1).toString());
    person.close();
    m_subject = Subject::Person;
    m_persId = persId;
    m_subjectTag = m_subjectText;
    verlauf->setLines(History::ofPerson(persId));
}

void DlgVerlauf::loadKey(const QString& keyNumber)
{
    WaitCursor wait;
    Recordset key = db().openRecordset(QStringLiteral("SELECT Funktion FROM TBSchluessel WHERE SchluesselNr = '") +
                                       Sql::sqlText(keyNumber) + QStringLiteral("'"));
    const QString function = key.eof() ? QString() : trimTrailingBlanks(key.field(0).toString());
    key.close();
    m_subjectText = function.isEmpty() ? keyNumber : keyNumber + QStringLiteral("  ") + function;
    m_subject = Subject::Key;
    m_keyNumber = keyNumber;
    m_subjectTag = keyNumber;
    verlauf->setLines(History::ofKey(keyNumber));
}

int DlgVerlauf::shownRows() const
{
    return m_journalShown ? protokoll->rowCount() : verlauf->rowCount();
}

void DlgVerlauf::showModel(QAbstractItemModel* model)
{
    // The view makes a selection model for each model it is given and leaves the old one to its owner;
    // given the model it has, it keeps the one it has.
    if (sprVerlauf->model() == model)
        return;
    QItemSelectionModel* old = sprVerlauf->selectionModel();
    sprVerlauf->setModel(model);
    delete old;
    QHeaderView* header = sprVerlauf->horizontalHeader();
    const QList<int> widths = model == verlauf ? QList<int>{1400, 1300, 1100, 900, 2100, 2100} : QList<int>{1800, 2000};
    for (int c = 0; c < widths.size(); ++c)
        header->resizeSection(c, tw(widths[c]));
    // Newest first, as loaded; the indicator shows it.
    header->setSortIndicator(0, Qt::DescendingOrder);
}

void DlgVerlauf::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!event->oldSize().isValid())
        return; // the first showing, at the size the controls were placed for
    // The caption and the table grow with the window; the line below the table keeps to its bottom, its
    // buttons to its right.
    const QSize change = event->size() - event->oldSize();
    lblBetreff->resize(lblBetreff->width() + change.width(), lblBetreff->height());
    sprVerlauf->resize(sprVerlauf->size() + change);
    lblAnzahl->move(lblAnzahl->pos() + QPoint(0, change.height()));
    for (QPushButton* button : {pbAenderungen, pbDrucken, pbExportieren, pbSchliessen})
        button->move(button->pos() + QPoint(change.width(), change.height()));
}

void DlgVerlauf::pbAenderungen_Click()
{
    if (!m_journalShown && protokoll->rowCount() == 0 && m_subject != Subject::None) {
        WaitCursor wait;
        protokoll->setLines(m_subject == Subject::Person ? History::entriesOfPerson(m_persId)
                                                         : History::entriesOfKey(m_keyNumber));
    }
    m_journalShown = !m_journalShown;
    showModel(m_journalShown ? static_cast<QAbstractItemModel*>(protokoll) : verlauf);
    setTexts();
}

void DlgVerlauf::pbDrucken_Click()
{
    // The lines as shown, under a page header that says whose history it is.
    const QString what =
        m_journalShown ? GetText(QStringLiteral("Änderungen"), 1720) : GetText(QStringLiteral("Verlauf"), 802);
    const QString title = what + QStringLiteral(" – ") + lblBetreff->text();
    ListPrintout printout(m_journalShown ? ListPrintout::Table{ProtokollModel::columnTitles(), protokoll->rowTexts()}
                                         : ListPrintout::Table{VerlaufModel::columnTitles(), verlauf->rowTexts()},
                          title, kProgramDescription);
    Printout::run(QStringLiteral("Verlauf"), m_subjectTag, title, QMarginsF(500, 720, 500, 720),
                  [&printout](QPrinter& printer) {
                      const WaitCursor wait;
                      return printout.print(printer);
                  });
}

void DlgVerlauf::pbExportieren_Click()
{
    if (m_journalShown)
        saveCsvAs(this, Export::kJournalFile, Export::journal(*protokoll));
    else
        saveCsvAs(this, Export::kHistoryFile, Export::history(*verlauf));
}

void DlgVerlauf::pbSchliessen_Click()
{
    accept();
}
