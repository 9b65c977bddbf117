#include "DlgFormular.h"

#include "ConfirmationLayout.h"
#include "core/AppState.h"
#include "core/Guard.h"
#include "core/RegisterChange.h"
#include "core/Sql.h"
#include "core/Texts.h"
#include "widgets/ConnectClick.h"
#include "widgets/DialogButtons.h"
#include "widgets/DialogRunner.h"
#include "widgets/FocusVisit.h"
#include "widgets/Twips.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>

qint32 DlgFormular::CaretPos = 0;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Only carriage return plus line feed breaks a line of the template (printing reads it so). A lone carriage
// return or line feed is a character of the text: the field shows it as its symbol and stores it back.
constexpr QChar kLoneCr = u'\u240D';
constexpr QChar kLoneLf = u'\u240A';

// The field keeps one character per line break, the stored text two.
qint32 storedPosition(const QString& fieldText, int fieldPos)
{
    return qint32(fieldPos + fieldText.left(fieldPos).count(QLatin1Char('\n')));
}

int fieldPosition(const QString& fieldText, qint64 storedPos)
{
    qint64 units = 0;
    int pos = 0;
    for (; pos < fieldText.size() && units < storedPos; ++pos)
        units += fieldText[pos] == QLatin1Char('\n') ? 2 : 1;
    return pos;
}

} // namespace

DlgFormular::DlgFormular(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgFormular"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(tw(6135), tw(3495));

    Label1 = placeControl<QLabel>(this, "Label1", 120, 120, 1935, 615);
    dfName = placeControl<QLabel>(this, "dfName", 480, 840, 1575, 255);
    dfSchluessel = placeControl<QLabel>(this, "dfSchlüssel", 480, 1200, 1575, 255);
    dfDatum = placeControl<QLabel>(this, "dfDatum", 480, 1560, 1575, 255);
    Label2 = placeControl<QLabel>(this, "Label2", 120, 1920, 1935, 1455);
    dfText = placeControl<QPlainTextEdit>(this, "dfText", 2160, 120, 3855, 2775);
    pbAbbrechen = placeControl<QPushButton>(this, "pbAbbrechen", 3480, 3000, 1215, 375);
    pbOK = placeControl<QPushButton>(this, "pbOK", 4800, 3000, 1215, 375);

    for (QLabel* label : {Label1, Label2}) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    // The placeholder labels look and act like links, but take no focus: the caret stays put.
    for (QLabel* label : {dfName, dfSchluessel, dfDatum}) {
        QFont font = label->font();
        font.setUnderline(true);
        label->setFont(font);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, palette.color(QPalette::Link));
        label->setPalette(palette);
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
    }
    dfText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    dfText->setTabChangesFocus(true);
    dfText->installEventFilter(this);
    setDialogDefault(this, pbOK);

    QWidget::setTabOrder(pbOK, pbAbbrechen);
    QWidget::setTabOrder(pbAbbrechen, dfText);

    connectClick(pbOK, this, &DlgFormular::pbOK_Click);
    connectClick(pbAbbrechen, this, &DlgFormular::pbAbbrechen_Click);

    setTexts();
}

void DlgFormular::setTexts()
{
    setWindowTitle(GetText(QStringLiteral("Bestätigung editieren"), 500));
    Label1->setText(GetText(QStringLiteral("Verfügbare Platzhalter:"), 501));
    dfDatum->setText(GetText(QStringLiteral("Datum"), 502));
    dfName->setText(GetText(QStringLiteral("Person"), 503));
    dfSchluessel->setText(GetText(QStringLiteral("Schlüssel"), 504));
    Label2->setText(GetText(
        QStringLiteral(
            "Durch Anklicken werden diese Platzhalter an der aktuellen Position im Text der Bestätigung eingefügt"),
        505));
    pbAbbrechen->setText(GetText(QStringLiteral("Abbrechen"), 506));
    pbOK->setText(GetText(QStringLiteral("OK"), 507));
}

void DlgFormular::open(QWidget* parent)
{
    DlgFormular dialog(parent);
    dialog.load();
    DialogRunner::run(dialog);
}

void DlgFormular::load()
{
    QStringList lines = ConfirmationLayout::lines(ConfirmationLayout::storedTemplate(db()));
    for (QString& line : lines)
        line.replace(QLatin1Char('\r'), kLoneCr).replace(QLatin1Char('\n'), kLoneLf);
    dfText->setPlainText(lines.join(QLatin1Char('\n')));
    pbOK->setFocus();
}

QString DlgFormular::storedText() const
{
    // The document's own text: toPlainText() would turn a no-break space into a blank.
    QString text;
    for (const QChar c : dfText->document()->toRawText()) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            text += kCrLf;
        else if (c == kLoneCr)
            text += QLatin1Char('\r');
        else if (c == kLoneLf)
            text += QLatin1Char('\n');
        else
            text += c;
    }
    return text;
}

void DlgFormular::dfText_GotFocus()
{
    QTextCursor cursor = dfText->textCursor();
    cursor.setPosition(fieldPosition(dfText->toPlainText(), CaretPos));
    dfText->setTextCursor(cursor);
    // Enter in the text starts a new line instead of pressing OK.
    pbOK->setDefault(false);
}

void DlgFormular::dfText_LostFocus()
{
    pbOK->setDefault(true);
}

void DlgFormular::insertPlaceholder(const QString& piece, int caretOffset)
{
    QTextCursor cursor = dfText->textCursor();
    const int start = cursor.selectionStart();
    CaretPos = storedPosition(dfText->toPlainText(), start);
    cursor.setPosition(start);
    cursor.insertText(piece);
    cursor.setPosition(start + caretOffset);
    dfText->setTextCursor(cursor);
}

void DlgFormular::dfDatum_Click()
{
    insertPlaceholder(QStringLiteral("[&D]"), 4);
}

void DlgFormular::dfName_Click()
{
    insertPlaceholder(QStringLiteral("\n[&P]\n"), 5);
}

void DlgFormular::dfSchluessel_Click()
{
    insertPlaceholder(QStringLiteral("\n[&K]\n"), 5);
}

void DlgFormular::pbOK_Click()
{
    const QString sql =
        QStringLiteral("UPDATE TBKopfdaten SET Bestätigung = '") + Sql::sqlText(storedText()) + QStringLiteral("'");
    RegisterChange::make(RegisterChange::Kind::Bestaetigung, {{QStringLiteral("TBKopfdaten"), QStringLiteral("1")}},
                         [&sql] { db().execute(sql); });
    accept();
}

void DlgFormular::pbAbbrechen_Click()
{
    reject();
}

bool DlgFormular::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == dfText && isFocusVisit(event)) {
        if (event->type() == QEvent::FocusIn)
            dfText_GotFocus();
        else
            dfText_LostFocus();
    } else if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* label = static_cast<QLabel*>(watched);
        if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
            if (label == dfDatum)
                guarded([this] { dfDatum_Click(); });
            else if (label == dfName)
                guarded([this] { dfName_Click(); });
            else if (label == dfSchluessel)
                guarded([this] { dfSchluessel_Click(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
