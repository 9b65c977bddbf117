#include "FrmSplash.h"

#include "core/AppState.h"
#include "core/Texts.h"
#include "widgets/Twips.h"

#include <QButtonGroup>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

namespace {

const char* const kLanguages[3] = {"DE", "EN", "FR"};
const QString kWebAddress = QStringLiteral("www.clavaro.example");

QFont arial(qreal points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

FrmSplash::FrmSplash(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QString());
    setModal(true);
    setFixedSize(tw(8625), tw(3240));

    Frame1 = placeControl<QFrame>(this, "Frame1", 120, 0, 8385, 3090);
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setFrameShadow(QFrame::Sunken);

    imgLogo = placeControl<QLabel>(Frame1, "imgLogo", 240, 240, 1350, 1050);
    imgLogo->setPixmap(QPixmap(QStringLiteral(":/images/logo.png")));
    lblCompanyProduct = placeControl<QLabel>(Frame1, "lblCompanyProduct", 1680, 240, 6540, 435);
    lblCompanyProduct->setFont(arial(18, true));
    lblProductName = placeControl<QLabel>(Frame1, "lblProductName", 1680, 840, 6525, 765);
    lblProductName->setFont(arial(32.25, true));
    lblVersion = placeControl<QLabel>(Frame1, "lblVersion", 3960, 1680, 4245, 285);
    lblVersion->setFont(arial(12, true));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label2 = placeControl<QLabel>(Frame1, "Label2", 120, 2040, 2535, 255);
    Label3 = placeControl<QLabel>(Frame1, "Label3", 2880, 2040, 4335, 255);
    Label4 = placeControl<QLabel>(Frame1, "Label4", 2880, 2280, 4335, 255);
    QFont small = Label4->font();
    small.setPointSizeF(8.25);
    small.setBold(true);
    Label4->setFont(small);

    m_group = new QButtonGroup(this);
    const int tops[3] = {2280, 2520, 2760};
    for (int i = 0; i < 3; ++i) {
        rbSprache[i] = placeControl<QRadioButton>(Frame1, "rbSprache", 240, tops[i], 2655, 255);
        m_group->addButton(rbSprache[i], i);
    }
    rbSprache[0]->setChecked(true);
    // An option becomes selected by mouse or by the arrow keys: either way the language follows.
    connect(m_group, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            rbSprache_Click();
    });

    pbOK = placeControl<QPushButton>(Frame1, "pbOK", 7560, 2520, 735, 375);
    connect(pbOK, &QPushButton::clicked, this, &FrmSplash::pbOK_Click);

    // Key presses reach the window before the control that has the focus; a click on the free
    // surface of the frame acts like OK.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);

    Form_Load();
    rbSprache[0]->setFocus();
}

void FrmSplash::showModal(QWidget* parent)
{
    FrmSplash splash(parent);
    splash.exec();
}

void FrmSplash::Form_Load()
{
    setTexts();
    lblVersion->setText(GetText(QStringLiteral("Version"), 603) + QLatin1Char(' ') + programVersion());
    lblProductName->setText(kProgramTitle);
}

void FrmSplash::setTexts()
{
    lblCompanyProduct->setText(GetText(QStringLiteral("Brannwerk MERIDIAN"), 601));
    lblProductName->setText(GetText(QStringLiteral("Clavaro"), 602));
    Label2->setText(GetText(QStringLiteral("Sprachauswahl:"), 605));
    Label3->setText(GetText(QStringLiteral("Weitere Infos unter:"), 606));
    Label4->setText(kWebAddress);
    rbSprache[0]->setText(GetText(QStringLiteral("Deutsch"), 608));
    rbSprache[1]->setText(GetText(QStringLiteral("English"), 609));
    rbSprache[2]->setText(GetText(QStringLiteral("Francais"), 611));
    pbOK->setText(GetText(QStringLiteral("OK"), 610));
}

void FrmSplash::rbSprache_Click()
{
    for (int i = 0; i < 3; ++i) {
        if (rbSprache[i]->isChecked()) {
            app().Sprache = QString::fromLatin1(kLanguages[i]);
            break;
        }
    }
    setTexts();
}

void FrmSplash::pbOK_Click()
{
    rbSprache_Click();
    accept();
}

void FrmSplash::selectOption(int index)
{
    rbSprache[index]->setChecked(true);
}

namespace {
// Any key that produces a character (Escape and Enter among them) closes the window; Tab keeps
// moving the focus.
bool closesWindow(const QKeyEvent* event)
{
    return !event->text().isEmpty() && event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab;
}
} // namespace

void FrmSplash::keyPressEvent(QKeyEvent* event)
{
    // The language stays as the last option click left it.
    if (closesWindow(event)) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool FrmSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && closesWindow(static_cast<QKeyEvent*>(event))) {
        reject();
        return true;
    }
    // Only the frame's free surface counts: a click on a label or the logo reaches the frame too.
    if (watched == Frame1 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        !Frame1->childAt(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        pbOK_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
