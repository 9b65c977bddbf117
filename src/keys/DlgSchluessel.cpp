#include "DlgSchluessel.h"

#include "SchlDel.h"
#include "core/AppState.h"
#include "core/Blanks.h"
#include "core/Guard.h"
#include "core/KeyNumberFilter.h"
#include "core/Messages.h"
#include "core/RegisterChange.h"
#include "core/Sql.h"
#include "core/Texts.h"
#include "plan/Schliessplan.h"
#include "widgets/ConnectClick.h"
#include "widgets/DialogButtons.h"
#include "widgets/DialogRunner.h"
#include "widgets/FocusVisit.h"
#include "widgets/SelectAllText.h"
#include "widgets/Twips.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>
#include <limits>

namespace {

constexpr int kFunctionLength = 50;

// A stored total as the field shows it: whole numbers without a decimal part.
QString numberText(const QVariant& value)
{
    if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        if (d == double(qint64(d)))
            return QString::number(qint64(d));
        return QString::number(d);
    }
    return value.toString();
}

} // namespace

DlgSchluessel::DlgSchluessel(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgSchlüssel"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(tw(6030), tw(2400));

    Label1 = placeControl<QLabel>(this, "Label1", 120, 120, 1815, 255);
    dfSchluesselNr = placeControl<QLineEdit>(this, "dfSchlüsselNr", 2160, 120, 3615, 285);
    Label2 = placeControl<QLabel>(this, "Label2", 120, 600, 1815, 255);
    dfFunktion = placeControl<QLineEdit>(this, "dfFunktion", 2160, 600, 3615, 285);
    Label3 = placeControl<QLabel>(this, "Label3", 120, 1080, 1815, 255);
    dfGesamt = placeControl<QLineEdit>(this, "dfGesamt", 2160, 1080, 855, 285);
    Label4 = placeControl<QLabel>(this, "Label4", 3120, 1080, 1815, 255);
    dfVerfuegbar = placeControl<QLineEdit>(this, "dfVerfügbar", 5040, 1080, 735, 285);
    cbZusatzNr = placeControl<QCheckBox>(this, "cbZusatzNr", 2160, 1440, 3615, 255);
    pbLoeschen = placeControl<QPushButton>(this, "pbLöschen", 120, 1920, 1695, 375);
    pbCancel = placeControl<QPushButton>(this, "pbCancel", 2160, 1920, 1695, 375);
    pbOK = placeControl<QPushButton>(this, "pbOK", 4080, 1920, 1695, 375);
    lblZylinder = placeControl<QLabel>(this, "lblZylinder", 120, 2460, 5655, 255);
    lstZylinder = placeControl<QTableWidget>(this, "lstZylinder", 120, 2760, 5655, 1560);
    lstZylinder->setColumnCount(3);
    lstZylinder->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstZylinder->setSelectionMode(QAbstractItemView::NoSelection);
    lstZylinder->setFocusPolicy(Qt::NoFocus);
    lstZylinder->verticalHeader()->hide();
    lstZylinder->verticalHeader()->setDefaultSectionSize(lstZylinder->fontMetrics().height() + 4);
    lstZylinder->horizontalHeader()->setStretchLastSection(true);

    dfSchluesselNr->setMaxLength(10);
    dfFunktion->setMaxLength(kFunctionLength);
    dfVerfuegbar->setReadOnly(true);
    QPalette grey = dfVerfuegbar->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Window));
    dfVerfuegbar->setPalette(grey);
    setDialogDefault(this, pbOK);

    // Designed tab places: OK, Cancel, number, function, total, delete, free copies, check box.
    QWidget::setTabOrder(pbOK, pbCancel);
    QWidget::setTabOrder(pbCancel, dfSchluesselNr);
    QWidget::setTabOrder(dfSchluesselNr, dfFunktion);
    QWidget::setTabOrder(dfFunktion, dfGesamt);
    QWidget::setTabOrder(dfGesamt, pbLoeschen);
    QWidget::setTabOrder(pbLoeschen, dfVerfuegbar);
    QWidget::setTabOrder(dfVerfuegbar, cbZusatzNr);

    for (QLineEdit* field : {dfSchluesselNr, dfFunktion, dfGesamt})
        selectAllOnFocus(field);
    dfGesamt->installEventFilter(this);

    connect(dfSchluesselNr, &QLineEdit::textChanged, this, [this] { guarded([this] { dfSchluesselNr_Change(); }); });
    connectClick(pbOK, this, &DlgSchluessel::pbOK_Click);
    connectClick(pbCancel, this, &DlgSchluessel::pbCancel_Click);
    connectClick(pbLoeschen, this, &DlgSchluessel::pbLoeschen_Click);

    setTexts();
}

void DlgSchluessel::setTexts()
{
    setWindowTitle(GetText(QStringLiteral("Schlüsselbearbeitung"), 300));
    Label1->setText(GetText(QStringLiteral("Schlüsselnummer:"), 301));
    Label2->setText(GetText(QStringLiteral("Funktion:"), 302));
    Label3->setText(GetText(QStringLiteral("Gesamtstand:"), 303));
    Label4->setText(GetText(QStringLiteral("Davon sind noch frei:"), 304));
    cbZusatzNr->setText(GetText(QStringLiteral("Zusatznummer erforderlich"), 305));
    pbLoeschen->setText(GetText(QStringLiteral("Löschen"), 306));
    pbCancel->setText(GetText(QStringLiteral("Abbrechen"), 307));
    pbOK->setText(GetText(QStringLiteral("OK"), 308));
    lstZylinder->setHorizontalHeaderLabels({GetText(QStringLiteral("Zylinder"), 1924),
                                            GetText(QStringLiteral("Tür"), 1925),
                                            GetText(QStringLiteral("Bereich"), 1926)});
}

void DlgSchluessel::open(QWidget* parent, const QString& schlNr)
{
    DlgSchluessel dialog(parent);
    dialog.Init(schlNr);
}

void DlgSchluessel::Init(const QString& schlNr)
{
    load(schlNr);
    DialogRunner::run(*this);
}

void DlgSchluessel::load(const QString& schlNr)
{
    bool existing = false;
    if (!isBlank(schlNr)) {
        Recordset key = db().openRecordset(QStringLiteral("SELECT * FROM TBSchluessel WHERE SchluesselNr = '") +
                                           Sql::sqlText(schlNr) + QStringLiteral("'"));
        // A key deleted meanwhile is offered as a new one rather than updating nothing on OK.
        existing = !key.eof();
        m_loaded.clear();
        if (existing) {
            const QString function = key.field(QStringLiteral("Funktion")).toString();
            // The loaded function keeps the blank its insert appended, even at full length.
            dfFunktion->setMaxLength(qMax(kFunctionLength, int(function.size())));
            m_loaded.fill(dfSchluesselNr, key.field(QStringLiteral("SchluesselNr")).toString(), Label1);
            m_loaded.fill(dfFunktion, function, Label2);
            m_loaded.fill(dfGesamt, numberText(key.field(QStringLiteral("Gesamt"))), Label3);
            m_loaded.fill(cbZusatzNr, key.field(QStringLiteral("zusatzNr")).toBool());
        }
        key.close();
    }

    if (existing) {
        Recordset out = db().openRecordset(
            QStringLiteral("SELECT Count(BewID) FROM TBBEwegungen WHERE Status = 0 AND SchluesselNr = '") +
            Sql::sqlText(dfSchluesselNr->text()) + QStringLiteral("'"));
        AnzVergeben = qint16(std::clamp<qint64>(out.field(0).toLongLong(), 0, std::numeric_limits<qint16>::max()));
        out.close();
        dfVerfuegbar->setText(QString::number(leadingNumber(dfGesamt->text()) - AnzVergeben));
    } else {
        dfSchluesselNr->clear();
        dfFunktion->setMaxLength(kFunctionLength);
        dfFunktion->clear();
        dfGesamt->setText(QStringLiteral("0"));
        dfVerfuegbar->clear();
        cbZusatzNr->setChecked(false);
        AnzVergeben = 0;
    }

    pbLoeschen->setEnabled(!isBlank(dfSchluesselNr->text()));
    SchlNr = existing ? schlNr : QString();
    showDoors(SchlNr);
    pbOK->setFocus();
}

void DlgSchluessel::showDoors(const QString& keyNumber)
{
    // A register without a locking plan sees the dialog as designed.
    const bool planned = Schliessplan::hasPlan(db());
    setFixedSize(tw(6030), tw(planned ? 4440 : 2400));
    lblZylinder->setVisible(planned);
    lstZylinder->setVisible(planned);
    const QList<Schliessplan::Cylinder> doors =
        planned && !keyNumber.isEmpty() ? Schliessplan::doorsOf(db(), keyNumber) : QList<Schliessplan::Cylinder>();
    lblZylinder->setText(GetText(QStringLiteral("Der Schlüssel öffnet %1 Zylinder:"), 1976).arg(doors.size()));
    lstZylinder->setRowCount(int(doors.size()));
    for (int r = 0; r < doors.size(); ++r) {
        const QStringList cells = {doors.at(r).number, doors.at(r).door, doors.at(r).area};
        for (int c = 0; c < cells.size(); ++c)
            lstZylinder->setItem(r, c, new QTableWidgetItem(cells.at(c)));
    }
    lstZylinder->resizeColumnToContents(0);
}

void DlgSchluessel::dfSchluesselNr_Change()
{
    if (FilterAktiv)
        return;
    FilterAktiv = true;
    const KeyNumberFilter filtered = KeyNumberFilter::apply(dfSchluesselNr->text());
    for (int i = 0; i < filtered.dropped; ++i)
        Messages::instance().beep();
    if (filtered.text != dfSchluesselNr->text())
        dfSchluesselNr->setText(filtered.text);
    dfSchluesselNr->setCursorPosition(int(filtered.text.size()));
    FilterAktiv = false;
}

void DlgSchluessel::dfGesamt_LostFocus()
{
    // Only a warning: the clerk may know better (copies lost, stock being corrected).
    if (leadingNumber(dfGesamt->text()) < AnzVergeben)
        msgBox(QStringLiteral("Die Gesamtmenge darf die Anzahl der vergebenen Schlüssel nicht unterschreiten"),
               Messages::Icon::Exclamation);
}

bool DlgSchluessel::numberTakenByAnotherKey(const QString& keyNumber) const
{
    QString sql = QStringLiteral("SELECT SchluesselNr FROM TBSchluessel WHERE SchluesselNr = '") +
                  Sql::sqlText(trimBlanks(keyNumber)) + QStringLiteral("'");
    if (!SchlNr.isEmpty())
        sql += QStringLiteral(" AND SchluesselNr <> '") + Sql::sqlText(SchlNr) + QStringLiteral("'");
    Recordset rs = db().openRecordset(sql);
    const bool taken = !rs.eof();
    rs.close();
    return taken;
}

void DlgSchluessel::pbOK_Click()
{
    const QString nr = dfSchluesselNr->text();
    if (isBlank(nr)) {
        msgBox(GetText(QStringLiteral("Eine Schlüsselnummer muß angegeben werden!"), 350), Messages::Icon::Information);
        dfSchluesselNr->setFocus();
        return;
    }
    // Also for a changed number: two keys with one number could not be told apart by their movements.
    if (numberTakenByAnotherKey(nr)) {
        msgBox(GetText(QStringLiteral("Ein Schlüssel mit dieser Nummer ist bereits vorhanden."), 351),
               Messages::Icon::Exclamation);
        dfSchluesselNr->setFocus();
        return;
    }

    // OK on a key left as it was changes nothing, also where a field could not show a stored value whole.
    if (!SchlNr.isEmpty() && m_loaded.unchanged()) {
        accept();
        return;
    }
    if (!SchlNr.isEmpty() && !m_loaded.confirmCut())
        return;

    const QString g = QString::number(leadingNumber(dfGesamt->text()));
    const QString b = cbZusatzNr->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
    const QString function = Sql::sqlText(dfFunktion->text());
    using RegisterChange::Kind;
    if (!SchlNr.isEmpty()) {
        // A new number is carried over to the key's movements and crossings, so they belong to the change too.
        const QString same = QStringLiteral("SchluesselNr = '") + Sql::sqlText(SchlNr) + QLatin1Char('\'');
        RegisterChange::make(Kind::SchluesselGeaendert,
                             {{QStringLiteral("TBSchluessel"), same},
                              {QStringLiteral("TBBewegungen"), same},
                              {QStringLiteral("TBSchliessung"), same},
                              {QStringLiteral("TBPlanSchluessel"), same}},
                             [&] {
                                 db().execute(QStringLiteral("UPDATE TBSchluessel SET SchluesselNr = '") +
                                              Sql::sqlText(nr) + QStringLiteral("', Funktion = '") + function +
                                              QStringLiteral("', Gesamt = ") + g + QStringLiteral(", ZusatzNr = ") + b +
                                              QStringLiteral(" WHERE SchluesselNr = '") + Sql::sqlText(SchlNr) +
                                              QStringLiteral("'"));
                             });
    } else {
        // The function is optional and carries the appended blank.
        RegisterChange::make(Kind::SchluesselAngelegt, {{QStringLiteral("TBSchluessel"), {}, true}}, [&] {
            db().execute(QStringLiteral("INSERT INTO TBSchluessel (SchluesselNr, Funktion, Gesamt, ZusatzNr) ") +
                         QStringLiteral("VALUES('") + Sql::sqlText(nr) + QStringLiteral("', '") + function +
                         QStringLiteral(" ', ") + g + QStringLiteral(", ") + b + QStringLiteral(")"));
        });
    }
    accept();
}

void DlgSchluessel::pbCancel_Click()
{
    reject();
}

void DlgSchluessel::pbLoeschen_Click()
{
    // The key as opened, not the number perhaps edited since.
    if (SchlDel(SchlNr))
        accept();
}

qint64 DlgSchluessel::leadingNumber(const QString& text)
{
    constexpr qint64 limit = std::numeric_limits<qint32>::max();
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        negative = text.at(i++) == QLatin1Char('-');
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i)
        value = qMin(limit, value * 10 + (text.at(i).unicode() - '0'));
    return negative ? -value : value;
}

bool DlgSchluessel::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving the field for another control of the dialog, not switching windows.
    if (watched == dfGesamt && event->type() == QEvent::FocusOut && isFocusVisit(event))
        guarded([this] { dfGesamt_LostFocus(); });
    return QDialog::eventFilter(watched, event);
}

void DlgSchluessel::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    pbOK->setFocus();
}
