#include "DlgSchliessplan.h"

#include "SchliessplanModel.h"
#include "SchliessplanPrintout.h"
#include "UprightHeader.h"
#include "core/AppState.h"
#include "core/DateText.h"
#include "core/Guard.h"
#include "core/Messages.h"
#include "core/Texts.h"
#include "plan/PlanFile.h"
#include "plan/Schliessplan.h"
#include "undo/Undo.h"
#include "widgets/ConnectClick.h"
#include "widgets/DialogButtons.h"
#include "widgets/DialogRunner.h"
#include "widgets/Printout.h"
#include "widgets/SaveFileAs.h"
#include "widgets/WaitCursor.h"

#include <QAction>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <tuple>

namespace {

template <typename W> W* make(QWidget* parent, const char* name)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromUtf8(name));
    return w;
}

QTableWidget* smallTable(QWidget* parent, const char* name)
{
    auto* table = make<QTableWidget>(parent, name);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    return table;
}

void fill(QTableWidget* table, const QList<QStringList>& rows)
{
    table->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows.at(r).size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(rows.at(r).at(c)));
    }
    table->resizeColumnsToContents();
}

} // namespace

DlgSchliessplan::DlgSchliessplan(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgSchließplan"));
    setModal(true);
    setSizeGripEnabled(true);
    resize(960, 680);

    lblSuche = make<QLabel>(this, "lblSuche");
    dfSuche = make<QLineEdit>(this, "dfSuche");
    pbSuchen = make<QPushButton>(this, "pbSuchen");
    lblAnzahl = make<QLabel>(this, "lblAnzahl");
    pbEinlesen = make<QPushButton>(this, "pbEinlesen");
    pbExportieren = make<QPushButton>(this, "pbExportieren");
    pbDrucken = make<QPushButton>(this, "pbDrucken");
    pbSchliessen = make<QPushButton>(this, "pbSchließen");

    auto* splitter = new QSplitter(Qt::Vertical, this);
    auto* matrix = new QWidget(splitter);
    sprZylinder = make<QTableView>(matrix, "sprZylinder");
    sprPlan = make<QTableView>(matrix, "sprPlan");
    auto* who = new QWidget(splitter);
    lblBerechtigte = make<QLabel>(who, "lblBerechtigte");
    sprInhaber = smallTable(who, "sprInhaber");
    sprSchluessel = smallTable(who, "sprSchlüssel");
    sprInhaber->setColumnCount(6);
    sprSchluessel->setColumnCount(5);
    // The numbers keep their width and the function gives way, so the copies in the safe stay in view.
    sprSchluessel->horizontalHeader()->setStretchLastSection(false);
    sprSchluessel->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    sprSchluessel->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);

    // One model in two views: the cylinder and door columns on the left stay while the crossings scroll,
    // the key numbers on top stay while the rows scroll. Both views share rows, row heights and selection.
    plan = new SchliessplanModel(this);
    sprPlan->setHorizontalHeader(new UprightHeader(SchliessplanModel::kFirstKey, sprPlan));
    for (QTableView* view : {sprZylinder, sprPlan}) {
        view->setModel(plan);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setWordWrap(false);
        view->verticalHeader()->hide();
        view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
        view->horizontalHeader()->setHighlightSections(true);
    }
    sprPlan->setSelectionModel(sprZylinder->selectionModel());
    sprPlan->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sprPlan->horizontalHeader()->setDefaultSectionSize(sprPlan->fontMetrics().height() + 8);
    // A whole row is marked in both views, so the eye follows a cylinder across the matrix.
    sprZylinder->setSelectionBehavior(QAbstractItemView::SelectRows);
    sprPlan->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Both with a scroll bar below, so that their rows stand at the same height down to the last one.
    sprZylinder->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sprZylinder->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    sprPlan->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    sprZylinder->horizontalHeader()->setStretchLastSection(true);
    connect(sprPlan->verticalScrollBar(), &QScrollBar::valueChanged, sprZylinder->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(sprZylinder->verticalScrollBar(), &QScrollBar::valueChanged, sprPlan->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(sprPlan, &QTableView::clicked, this, [this](const QModelIndex& index) {
        guarded([this, index] { sprPlan_Click(index.row(), index.column()); });
    });
    connect(sprZylinder->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { guarded([this, current] { setCurrentCylinder(current.row()); }); });
    connect(plan, &QAbstractItemModel::modelReset, this, [this] {
        // Columns of a new plan: the frozen view shows the cylinder and door, the other the keys.
        for (int c = 0; c < plan->columnCount(); ++c) {
            sprZylinder->setColumnHidden(c, c >= SchliessplanModel::kFirstKey);
            sprPlan->setColumnHidden(c, c < SchliessplanModel::kFirstKey);
        }
        const int height = sprPlan->horizontalHeader()->sizeHint().height();
        sprPlan->horizontalHeader()->setFixedHeight(height);
        sprZylinder->horizontalHeader()->setFixedHeight(height);
        sprZylinder->resizeColumnToContents(SchliessplanModel::kZylinder);
        sprZylinder->setFixedWidth(std::min(360, sprZylinder->columnWidth(SchliessplanModel::kZylinder) + 200 +
                                                     2 * sprZylinder->frameWidth()));
    });

    auto* matrixLayout = new QHBoxLayout(matrix);
    matrixLayout->setContentsMargins(0, 0, 0, 0);
    matrixLayout->setSpacing(0);
    matrixLayout->addWidget(sprZylinder);
    matrixLayout->addWidget(sprPlan, 1);
    auto* whoLayout = new QVBoxLayout(who);
    whoLayout->setContentsMargins(0, 0, 0, 0);
    whoLayout->addWidget(lblBerechtigte);
    auto* lists = new QHBoxLayout;
    lists->addWidget(sprInhaber, 3);
    lists->addWidget(sprSchluessel, 2);
    whoLayout->addLayout(lists);
    splitter->addWidget(matrix);
    splitter->addWidget(who);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);

    auto* search = new QHBoxLayout;
    search->addWidget(lblSuche);
    search->addWidget(dfSuche, 1);
    search->addWidget(pbSuchen);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblAnzahl, 1);
    for (QPushButton* button : {pbEinlesen, pbExportieren, pbDrucken, pbSchliessen})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    setDialogDefault(this, pbSchliessen);
    // Enter in the search field searches on, from the cylinder found last.
    connect(dfSuche, &QLineEdit::returnPressed, this, [this] { guarded([this] { pbSuchen_Click(); }); });
    connectClick(pbSuchen, this, &DlgSchliessplan::pbSuchen_Click);
    connectClick(pbEinlesen, this, &DlgSchliessplan::pbEinlesen_Click);
    connectClick(pbExportieren, this, &DlgSchliessplan::pbExportieren_Click);
    connectClick(pbDrucken, this, &DlgSchliessplan::pbDrucken_Click);
    connectClick(pbSchliessen, this, &DlgSchliessplan::pbSchliessen_Click);

    // Undo here as in the main window, which this window keeps from its keys while it is open.
    std::tie(mnuRueckgaengig, mnuWiederholen) =
        Undo::addActions(*this, [this](const QStringList& tables) { afterUndo(tables); });
    sprPlan->setContextMenuPolicy(Qt::ActionsContextMenu);
    sprPlan->addActions({mnuRueckgaengig, mnuWiederholen});
    setTexts();
}

QStringList DlgSchliessplan::open(QWidget* parent, const QString& keyNumber)
{
    DlgSchliessplan dialog(parent);
    dialog.load();
    // The key's column in sight, on the first cylinder it opens.
    if (const int column = dialog.plan->columnOf(keyNumber); column >= 0) {
        const QList<Schliessplan::Cylinder> doors = Schliessplan::doorsOf(db(), keyNumber);
        const int row = doors.isEmpty() ? -1 : dialog.plan->rowOf(doors.first().number);
        if (row >= 0)
            dialog.sprPlan->setCurrentIndex(dialog.plan->index(row, column));
        dialog.sprPlan->scrollTo(dialog.plan->index(std::max(row, 0), column));
    }
    DialogRunner::run(dialog);
    return dialog.changedTables();
}

void DlgSchliessplan::load()
{
    WaitCursor wait;
    plan->load(db());
    m_current = -1;
    if (plan->rowCount() > 0)
        sprZylinder->setCurrentIndex(plan->index(0, SchliessplanModel::kZylinder));
    else
        setCurrentCylinder(-1);
    showCount();
}

void DlgSchliessplan::setTexts()
{
    setWindowTitle(GetText(QStringLiteral("Schließplan"), 1933));
    lblSuche->setText(GetText(QStringLiteral("Zylinder oder Tür:"), 1934));
    pbSuchen->setText(GetText(QStringLiteral("Suchen"), 103));
    pbEinlesen->setText(GetText(QStringLiteral("Plan einlesen…"), 1935));
    pbExportieren->setText(GetText(QStringLiteral("Exportieren…"), 801));
    pbDrucken->setText(GetText(QStringLiteral("Drucken"), 811));
    pbSchliessen->setText(GetText(QStringLiteral("Schließen"), 807));
    sprInhaber->setHorizontalHeaderLabels(
        {GetText(QStringLiteral("Nachname"), 820), GetText(QStringLiteral("Vorname"), 821),
         GetText(QStringLiteral("Personalnummer"), 822), GetText(QStringLiteral("SchlüsselNr"), 117),
         GetText(QStringLiteral("ZusatzNr"), 118), GetText(QStringLiteral("Ausgegeben am"), 803)});
    sprSchluessel->setHorizontalHeaderLabels(
        {GetText(QStringLiteral("SchlüsselNr"), 117), GetText(QStringLiteral("Funktion"), 119),
         GetText(QStringLiteral("Gesamt"), 823), GetText(QStringLiteral("Ausgegeben"), 824),
         GetText(QStringLiteral("Im Tresor"), 1936)});
    showCount();
    setCurrentCylinder(m_current);
    Undo::retitle(*mnuRueckgaengig, *mnuWiederholen);
}

void DlgSchliessplan::afterUndo(const QStringList& tables)
{
    if (tables.isEmpty())
        return;
    m_changed += tables;
    m_changed.removeDuplicates();
    const QString cylinder = plan->cylinderNumber(m_current);
    const QString key = plan->keyNumber(sprPlan->currentIndex().column());
    const int across = sprPlan->horizontalScrollBar()->value();
    const int down = sprPlan->verticalScrollBar()->value();
    load();
    const int row = plan->rowOf(cylinder);
    if (row >= 0) {
        const int column = plan->columnOf(key);
        sprPlan->setCurrentIndex(plan->index(row, column >= 0 ? column : SchliessplanModel::kZylinder));
        setCurrentCylinder(row);
    }
    sprPlan->horizontalScrollBar()->setValue(across);
    sprPlan->verticalScrollBar()->setValue(down);
}

void DlgSchliessplan::showCount()
{
    lblAnzahl->setText(GetText(QStringLiteral("%1 Zylinder, %2 Schlüssel, %3 Schließungen"), 1937)
                           .arg(plan->rowCount())
                           .arg(plan->outline().keys.size())
                           .arg(plan->crossings()));
}

void DlgSchliessplan::sprPlan_Click(int row, int column)
{
    const QString cylinder = plan->cylinderNumber(row);
    const QString key = plan->keyNumber(column);
    if (cylinder.isEmpty() || key.isEmpty())
        return;
    const bool opens = !plan->opens(row, column);
    Schliessplan::setCrossing(db(), cylinder, key, opens);
    showCrossing(cylinder, key, opens);
}

void DlgSchliessplan::showCrossing(const QString& cylinder, const QString& keyNumber, bool opens)
{
    const int row = plan->rowOf(cylinder);
    plan->setOpens(row, plan->columnOf(keyNumber), opens);
    showCount();
    if (row == m_current)
        setCurrentCylinder(row);
}

void DlgSchliessplan::setCurrentCylinder(int row)
{
    m_current = row;
    const QString number = plan->cylinderNumber(row);
    QList<QStringList> holders;
    QList<QStringList> keys;
    if (number.isEmpty()) {
        lblBerechtigte->clear();
    } else {
        const QString door = plan->outline().cylinders.at(row).door;
        lblBerechtigte->setText(GetText(QStringLiteral("Wer kann %1 öffnen:"), 1938)
                                    .arg(door.isEmpty() ? number : number + QStringLiteral(" (") + door + ')'));
        for (const Schliessplan::Holder& h : Schliessplan::whoCanOpen(db(), number))
            holders << QStringList{h.nachname,  h.vorname,  h.persNr,
                                   h.keyNumber, h.zusatzNr, DateText::shortDate(h.out)};
        for (const Schliessplan::KeyStock& k : Schliessplan::keysOpening(db(), number))
            keys << QStringList{k.keyNumber, k.function, QString::number(k.total), QString::number(k.out),
                                QString::number(k.inSafe())};
    }
    fill(sprInhaber, holders);
    fill(sprSchluessel, keys);
}

void DlgSchliessplan::pbSuchen_Click()
{
    const QString text = dfSuche->text().trimmed();
    if (text.isEmpty() || plan->rowCount() == 0)
        return;
    const int row = plan->find(text, m_current);
    if (row < 0) {
        msgBox(GetText(QStringLiteral("Kein Zylinder und keine Tür enthält „%1“."), 1939).arg(text),
               Messages::Icon::Information);
        return;
    }
    sprZylinder->setCurrentIndex(plan->index(row, SchliessplanModel::kZylinder));
    sprZylinder->scrollTo(plan->index(row, SchliessplanModel::kZylinder));
    setCurrentCylinder(row);
}

void DlgSchliessplan::importFile(const QString& path)
{
    QString error;
    const std::optional<PlanMatrix> file = PlanFile::read(path, &error);
    if (!file) {
        msgBox(GetText(QStringLiteral("Der Schließplan kann nicht eingelesen werden:"), 1940) + QStringLiteral("\r\n") +
                   error + QStringLiteral("\r\n") +
                   GetText(QStringLiteral("Der Schließplan wurde nicht geändert."), 1929),
               Messages::Icon::Exclamation);
        return;
    }
    const Schliessplan::ImportReport report = [&] {
        WaitCursor wait;
        return Schliessplan::import(db(), *file);
    }();
    if (!report.keysCreated.isEmpty() && !m_changed.contains(QStringLiteral("TBSchluessel")))
        m_changed << QStringLiteral("TBSchluessel");
    load();
    // A long report is shortened: its counts come first, the names after them.
    constexpr int kShown = 30;
    QStringList lines = report.lines();
    if (lines.size() > kShown) {
        const qsizetype more = lines.size() - kShown;
        lines = lines.mid(0, kShown);
        lines << GetText(QStringLiteral("… und %1 weitere Zeilen"), 1941).arg(more);
    }
    msgBox(lines.join(QStringLiteral("\r\n")), Messages::Icon::Information);
}

void DlgSchliessplan::pbEinlesen_Click()
{
    QFileDialog dialog(this, GetText(QStringLiteral("Plan einlesen…"), 1935), QString(),
                       GetText(QStringLiteral("CSV-Dateien"), 829) + QStringLiteral(" (*.csv *.txt)"));
    dialog.setObjectName(QStringLiteral("dlgEinlesen"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (DialogRunner::run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    importFile(dialog.selectedFiles().first());
}

void DlgSchliessplan::pbExportieren_Click()
{
    saveFileAs(this, GetText(QStringLiteral("Liste exportieren"), 826), QStringLiteral("Schliessplan.csv"),
               GetText(QStringLiteral("CSV-Dateien"), 829) + QStringLiteral(" (*.csv)"), QStringLiteral("csv"),
               [this](const QString& path, QString* error) {
                   const WaitCursor wait;
                   return PlanFile::write(path, Schliessplan::stored(db()), error);
               });
}

void DlgSchliessplan::pbDrucken_Click()
{
    const QString title = GetText(QStringLiteral("Schließplan"), 1933);
    const PlanMatrix whole = [this] {
        const WaitCursor wait;
        return Schliessplan::stored(db());
    }();
    SchliessplanPrintout printout(whole, title, kProgramDescription);
    Printout::run(QStringLiteral("Schliessplan"), QString(), title, QMarginsF(500, 720, 500, 720),
                  [&printout](QPrinter& printer) {
                      const WaitCursor wait;
                      // Across: a plan has more keys than a page has room for down.
                      printer.setPageOrientation(QPageLayout::Landscape);
                      return printout.print(printer);
                  });
}

void DlgSchliessplan::pbSchliessen_Click()
{
    accept();
}
