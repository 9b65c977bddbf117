#include "HandoutPane.h"

#include "DlgFilter.h"
#include "Handout.h"
#include "HandoutList.h"
#include "ListPrintout.h"
#include "confirmation/DlgFormular.h"
#include "core/AppState.h"
#include "core/Blanks.h"
#include "core/Clock.h"
#include "core/DateText.h"
#include "core/Guard.h"
#include "core/Messages.h"
#include "core/RegisterChange.h"
#include "core/SqlError.h"
#include "core/Texts.h"
#include "widgets/ConnectClick.h"
#include "widgets/DialogRunner.h"
#include "widgets/Printout.h"
#include "widgets/QtLinePrinter.h"
#include "widgets/Twips.h"
#include "widgets/WaitCursor.h"
#include "widgets/WrapButton.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QStyle>
#include <QTableView>
#include <QTime>

namespace {
// A control at its place in the window's twips, inside the pane.
template <typename W> W* placeInPane(QWidget* pane, const char* name, int left, int top, int width, int height)
{
    return placeControl<W>(pane, name, left - HandoutPane::kLeft, top - HandoutPane::kTop, width, height);
}
} // namespace

HandoutPane::HandoutPane(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("paneVergaben"));
    resize(tw(11775 - kLeft), tw(8415 - kTop));
    Label4 = placeInPane<QLabel>(this, "Label4", 4920, 2040, 1935, 255);
    dfZusatzNr = placeInPane<QLineEdit>(this, "dfZusatzNr", 4920, 2280, 2055, 285);
    pbVergabe = placeInPane<WrapButton>(this, "pbVergabe", 4920, 2760, 2055, 735);
    Label3 = placeInPane<QLabel>(this, "Label3", 120, 3720, 10095, 255);
    sprVergaben = placeInPane<QTableView>(this, "sprVergaben", 120, 3960, 10095, 4455);
    pbBestaetigung = placeInPane<WrapButton>(this, "pbBestätigung", 10320, 3960, 1455, 375);
    pbRueckgabe = placeInPane<WrapButton>(this, "pbRückgabe", 10320, 4440, 1455, 375);
    pbFilter = placeInPane<WrapButton>(this, "pbFilter", 10320, 5160, 1455, 375);
    pbListeDrucken = placeInPane<WrapButton>(this, "pbListeDrucken", 10320, 5640, 1455, 375);
    pbFormular = placeInPane<WrapButton>(this, "pbFormular", 10320, 6600, 1455, 495);
    dfZusatzNr->setMaxLength(10);
    // Inside the caption's row, at its right end, so the caption keeps its text and place.
    lblFilterStand = new QLabel(Label3);
    lblFilterStand->setObjectName(QStringLiteral("lblFilterStand"));
    lblFilterStand->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label3->installEventFilter(this);

    vergaben = new VergabenModel(this);
    vergaben->personalNumberOf = [](qint32 bewId) {
        try {
            return HandoutList::personalNumber(db(), bewId);
        } catch (const SqlError&) {
            return QString(); // a tooltip is no place for a refusal
        }
    };
    sprVergaben->setModel(vergaben);
    sprVergaben->setSelectionBehavior(QAbstractItemView::SelectRows);
    sprVergaben->setSelectionMode(QAbstractItemView::SingleSelection);
    sprVergaben->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sprVergaben->setWordWrap(false);
    QHeaderView* header = sprVergaben->horizontalHeader();
    header->setHighlightSections(false);
    sprVergaben->verticalHeader()->setDefaultSectionSize(sprVergaben->fontMetrics().height() + 6);
    sprVergaben->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The identifier column is for the program, not the user. The five columns' shares add up to a little
    // more than the grid's width; the person column takes what is left beside the row numbers and the
    // scroll bar, so the list never scrolls sideways.
    sprVergaben->setColumnHidden(VergabenModel::ID - 1, true);
    header->setSectionResizeMode(VergabenModel::Person - 1, QHeaderView::Stretch);
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int section) { guarded([this, section] { sprVergaben_Click(0, section + 1); }); });

    connectClick(pbVergabe, this, &HandoutPane::pbVergabe_Click);
    connectClick(pbBestaetigung, this, &HandoutPane::pbBestaetigung_Click);
    connectClick(pbRueckgabe, this, &HandoutPane::pbRueckgabe_Click);
    connectClick(pbFilter, this, &HandoutPane::pbFilter_Click);
    connectClick(pbListeDrucken, this, &HandoutPane::pbListeDrucken_Click);
    connectClick(pbFormular, this, &HandoutPane::pbFormular_Click);

    mnuFilterAufheben = new QAction(sprVergaben);
    mnuFilterAufheben->setObjectName(QStringLiteral("mnuFilterAufheben"));
    connect(mnuFilterAufheben, &QAction::triggered, this, [this] { guarded([this] { mnuFilterAufheben_Click(); }); });
    sprVergaben->addAction(mnuFilterAufheben);
    sprVergaben->setContextMenuPolicy(Qt::ActionsContextMenu);
    showFilterState();
}

bool HandoutPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label3 && event->type() == QEvent::Resize)
        lblFilterStand->setGeometry(Label3->rect());
    return QWidget::eventFilter(watched, event);
}

void HandoutPane::setTexts()
{
    Label4->setText(GetText(QStringLiteral("Zusatz-Nummer:"), 107));
    Label3->setText(GetText(QStringLiteral("Liste der aktuellen Schlüsseltransaktionen"), 109));
    pbVergabe->setText(GetText(QStringLiteral("Schlüsselvergabe"), 121));
    pbBestaetigung->setText(GetText(QStringLiteral("Bestätigung"), 110));
    pbRueckgabe->setText(GetText(QStringLiteral("Rückgabe"), 111));
    pbFilter->setText(GetText(QStringLiteral("Filter"), 112));
    pbFormular->setText(GetText(QStringLiteral("Bestätigung editieren"), 113));
    pbListeDrucken->setText(GetText(QStringLiteral("Liste drucken"), 114));
    mnuFilterAufheben->setText(GetText(QStringLiteral("Filter aufheben"), 2045));
    showFilterState();
    vergaben->setHeaderTexts({GetText(QStringLiteral("Datum"), 116), GetText(QStringLiteral("SchlüsselNr"), 117),
                              GetText(QStringLiteral("ZusatzNr"), 118), GetText(QStringLiteral("Funktion"), 119),
                              GetText(QStringLiteral("Person"), 120)});
}

void HandoutPane::setColumnWidths(const std::array<int, 5>& twips)
{
    // The shares are measured for Arial's widths. Whatever font the system gives, a column is never narrower
    // than its caption, nor the date column than a date; the person column, which stretches, gives the room.
    const QHeaderView* header = sprVergaben->horizontalHeader();
    const int margins = 2 * (sprVergaben->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, sprVergaben) + 2);
    const int date = sprVergaben->fontMetrics().horizontalAdvance(DateText::shortDate(QDate(2026, 12, 28))) + margins;
    for (int c = 0; c < int(twips.size()); ++c) {
        int least = header->sectionSizeHint(c);
        if (c == VergabenModel::Datum - 1)
            least = std::max(least, date);
        sprVergaben->setColumnWidth(c, std::max(tw(twips[c]), least));
    }
}

void HandoutPane::RefreshVergaben(bool askFilter)
{
    std::optional<HandoutFilter> filter;
    if (askFilter) {
        DlgFilter dialog(this);
        DialogRunner::run(dialog);
        if (dialog.fltResponse && !dialog.filter.condition().isEmpty())
            filter = dialog.filter;
    }
    WaitCursor wait;
    // Read first: a refused statement leaves the list as it was.
    const QString w = filter ? filter->condition() : QString();
    showVergaben(HandoutList::read(db(), HandoutList::query(w), vergaben->maxRows()), std::move(filter));
}

void HandoutPane::showVergaben(VergabenModel::Lines lines, std::optional<HandoutFilter> filter)
{
    vergaben->setLines(std::move(lines));
    m_filter = std::move(filter);
    showFilterState();
}

void HandoutPane::mnuFilterAufheben_Click()
{
    RefreshVergaben(false);
}

void HandoutPane::showFilterState()
{
    const int lines = vergaben->maxRows();
    mnuFilterAufheben->setEnabled(m_filter.has_value());
    if (!m_filter) {
        lblFilterStand->setText(GetText(QStringLiteral("Zeilen: %1"), 2046).arg(lines));
        lblFilterStand->setToolTip(QString());
        lblFilterStand->setStyleSheet(QString());
        return;
    }
    lblFilterStand->setText(GetText(QStringLiteral("Zeilen: %1 – gefiltert"), 2047).arg(lines));
    lblFilterStand->setToolTip(m_filter->description());
    lblFilterStand->setStyleSheet(QStringLiteral("color: #B00000; font-weight: bold"));
}

QString HandoutPane::listNote() const
{
    const int lines = vergaben->maxRows();
    if (!m_filter)
        return GetText(QStringLiteral("Vollständige Liste aller ausgegebenen Schlüssel – Zeilen: %1"), 2048).arg(lines);
    return GetText(QStringLiteral("Gefilterte Liste (%1) – Zeilen: %2"), 2049).arg(m_filter->description()).arg(lines);
}

void HandoutPane::sprVergaben_Click(int kind, int col)
{
    if (kind == 1)
        return;
    WaitCursor wait;
    vergaben->sortBy(col);
}

int HandoutPane::activeRow() const
{
    const QItemSelectionModel* selection = sprVergaben->selectionModel();
    const QModelIndexList rows = selection->selectedRows();
    if (!rows.isEmpty())
        return rows.first().row() + 1;
    const QModelIndexList cells = selection->selectedIndexes();
    return cells.isEmpty() ? 0 : cells.first().row() + 1;
}

void HandoutPane::pbVergabe_Click()
{
    const HandoutDecision decision =
        decideHandout(db(), selectedPerson(), selectedKeyNumber(), dfZusatzNr->text(), Clock::today());
    if (decision.refused()) {
        msgBox(decision.refusal, Messages::Icon::Information);
        if (decision.keyGone)
            Q_EMIT keyGone();
        if (decision.focus == HandoutDecision::Focus::ZusatzNr)
            dfZusatzNr->setFocus();
        else if (decision.focus == HandoutDecision::Focus::SchlSuch)
            Q_EMIT keySearchWanted();
        return;
    }
    if (msgBox(decision.question, Messages::Icon::Question, Messages::Buttons::YesNo) != Messages::Answer::Yes)
        return;
    RegisterChange::make(RegisterChange::Kind::Vergabe, {{QStringLiteral("TBBewegungen"), {}, true}},
                         [&decision] { db().execute(decision.insert, true); });
    RefreshVergaben(false);
    dfZusatzNr->clear();
}

void HandoutPane::pbRueckgabe_Click()
{
    const std::optional<qint32> bewId = vergaben->movement(activeRow());
    if (!bewId)
        return;
    const QString id = QString::number(*bewId);
    RegisterChange::make(RegisterChange::Kind::Rueckgabe, {{QStringLiteral("TBBewegungen"), "BewID = " + id}}, [&id] {
        db().execute(QStringLiteral("UPDATE TBBewegungen SET Status = 1 WHERE BewID = ") + id);
    });
    RefreshVergaben(false);
}

void HandoutPane::pbFilter_Click()
{
    RefreshVergaben(true);
}

void HandoutPane::pbListeDrucken_Click()
{
    const QString title = GetText(QStringLiteral("Liste der Schlüsselvergaben"), 153);
    const QString printed =
        GetText(QStringLiteral("gedruckt am %1"), 2050)
            .arg(DateText::shortDate(Clock::today()) + QLatin1Char(' ') + QTime::currentTime().toString(u"hh:mm"));
    ListPrintout printout(ListPrintout::fromGrid(*vergaben), title,
                          kProgramDescription + QStringLiteral(" · ") + printed, listNote());
    // Left margin 500 twips; the others leave room for the page header and footer.
    Printout::run(QStringLiteral("Liste"), QString(), title, QMarginsF(500, 720, 500, 720),
                  [&printout](QPrinter& printer) {
                      const WaitCursor wait;
                      return printout.print(printer);
                  });
}

std::optional<ConfirmationLayout::Values> HandoutPane::confirmationValues() const
{
    const int row = activeRow();
    if (row == 0)
        return std::nullopt;
    const VergabenModel::Values line = vergaben->line(row);
    // The date from the line's value, not its text: shown text read back depends on the locale.
    return ConfirmationLayout::Values{
        line.person, DateText::shortDate(line.von),
        ConfirmationLayout::keyText(app().AnlagenNr, line.schluesselNr, line.zusatzNr, line.funktion)};
}

void HandoutPane::pbBestaetigung_Click()
{
    const std::optional<ConfirmationLayout::Values> values = confirmationValues();
    if (!values)
        return;

    const QString templ = ConfirmationLayout::storedTemplate(db());
    if (!ConfirmationLayout::isDefined(templ)) {
        msgBox(GetText(QStringLiteral("Bestätigungsformular wurde noch nicht definiert!"), 162),
               Messages::Icon::Exclamation);
        return;
    }

    const VergabenModel::Values line = vergaben->line(activeRow());
    QString tag = line.schluesselNr;
    if (!isBlank(line.zusatzNr))
        tag += QLatin1Char('-') + line.zusatzNr;
    // A letter's margins: wide on the left for the file punch, narrower on the right, where the
    // layout keeps its own reserve.
    const QMarginsF margins(1417, 1134, 850, 1134);
    Printout::run(QStringLiteral("Bestaetigung"), tag,
                  GetText(QStringLiteral("Bestätigung"), 110) + QLatin1Char(' ') + values->key, margins,
                  [&](QPrinter& printer) {
                      QtLinePrinter printout(printer);
                      ConfirmationLayout::print(printout, templ, *values);
                      return !printout.failed();
                  });
}

void HandoutPane::pbFormular_Click()
{
    DlgFormular::open(this);
}
