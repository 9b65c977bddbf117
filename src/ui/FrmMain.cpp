#include "FrmMain.h"

#include "DesignedFont.h"
#include "core/AppState.h"
#include "core/Guard.h"
#include "core/Texts.h"
#include "handouts/VergabenModel.h"
#include "ui/ConnectClick.h"
#include "ui/FrmSplash.h"
#include "ui/SelectAllText.h"
#include "ui/Twips.h"
#include "ui/WrapButton.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTableView>

namespace {
template <typename W> W* make(QWidget* parent, const char* name)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromUtf8(name));
    return w;
}

// The window's outer size as the layout rule sees it: the inner area plus the border and title bar
// of the design. The rule then works the same whatever frame the window manager draws (or none).
int outerWidth(int clientPixels)
{
    return clientPixels * kTwipsPerPixel + MainLayout::kFrameWidth;
}
int outerHeight(int clientPixels)
{
    return clientPixels * kTwipsPerPixel + MainLayout::kFrameHeight;
}
int clientWidth(int outerTwips)
{
    return tw(outerTwips - MainLayout::kFrameWidth);
}
int clientHeight(int outerTwips)
{
    return tw(outerTwips - MainLayout::kFrameHeight);
}
} // namespace

FrmMain::FrmMain(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setFont(designedFont());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(kProgramDescription);

    frPerson = make<QGroupBox>(this, "frPerson");
    Label1 = make<QLabel>(frPerson, "Label1");
    dfPersSuch = make<QLineEdit>(frPerson, "dfPersSuch");
    lstPerson = make<QListWidget>(frPerson, "lstPerson");
    lstPerson->setUniformItemSizes(true); // one line of one font each: no need to measure 40,000 of them
    pbPersSuch = make<WrapButton>(frPerson, "pbPersSuch");
    pbPersNeu = make<WrapButton>(frPerson, "pbPersNeu");
    pbPersEdit = make<WrapButton>(frPerson, "pbPersEdit");
    pbPersDel = make<WrapButton>(frPerson, "pbPersDel");
    frSchluessel = make<QGroupBox>(this, "frSchlüssel");
    Label2 = make<QLabel>(frSchluessel, "Label2");
    dfSchlSuch = make<QLineEdit>(frSchluessel, "dfSchlSuch");
    lstSchluessel = make<TabListWidget>(frSchluessel, "lstSchlüssel");
    lstSchluessel->setUniformItemSizes(true);
    pbSchlSuch = make<WrapButton>(frSchluessel, "pbSchlSuch");
    pbSchlNeu = make<WrapButton>(frSchluessel, "pbSchlNeu");
    pbSchlEdit = make<WrapButton>(frSchluessel, "pbSchlEdit");
    pbSchlDel = make<WrapButton>(frSchluessel, "pbSchlDel");
    imgLogo = make<QLabel>(this, "imgLogo");
    Label4 = make<QLabel>(this, "Label4");
    dfZusatzNr = make<QLineEdit>(this, "dfZusatzNr");
    pbVergabe = make<WrapButton>(this, "pbVergabe");
    Line1 = make<QFrame>(this, "Line1");
    Label3 = make<QLabel>(this, "Label3");
    sprVergaben = make<QTableView>(this, "sprVergaben");
    vergaben = new VergabenModel(this);
    pbBestaetigung = make<WrapButton>(this, "pbBestätigung");
    pbRueckgabe = make<WrapButton>(this, "pbRückgabe");
    pbFilter = make<WrapButton>(this, "pbFilter");
    pbListeDrucken = make<WrapButton>(this, "pbListeDrucken");
    pbFormular = make<WrapButton>(this, "pbFormular");
    pbExit = make<WrapButton>(this, "pbExit");

    // Bold frame captions only: the controls inside keep the normal weight.
    for (QGroupBox* frame : {frPerson, frSchluessel}) {
        QFont bold = frame->font();
        bold.setBold(true);
        frame->setFont(bold);
        QFont normal = bold;
        normal.setBold(false);
        for (QWidget* child : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->setFont(normal);
        frame->setMouseTracking(true);
        frame->installEventFilter(this);
    }

    // Lines wider than the list are cut, not scrolled: person lines are padded to 50 characters.
    for (QListWidget* list : {lstPerson, static_cast<QListWidget*>(lstSchluessel)}) {
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setTextElideMode(Qt::ElideNone);
    }
    lstSchluessel->setSortingEnabled(true);
    selectAllOnFocus(dfPersSuch);
    selectAllOnFocus(dfSchlSuch);
    dfZusatzNr->setMaxLength(10);

    imgLogo->setPixmap(QPixmap(QStringLiteral(":/images/logo.png")));
    imgLogo->installEventFilter(this);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    sprVergaben->setSelectionBehavior(QAbstractItemView::SelectRows);
    sprVergaben->setSelectionMode(QAbstractItemView::SingleSelection);
    sprVergaben->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sprVergaben->setWordWrap(false);
    sprVergaben->horizontalHeader()->setHighlightSections(false);
    sprVergaben->verticalHeader()->setDefaultSectionSize(sprVergaben->fontMetrics().height() + 6);
    sprVergaben->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    vergaben->attachView(sprVergaben);
    // The five columns' shares add up to a little more than the grid's width; the person column takes
    // what is left beside the row numbers and the scroll bar, so the list never scrolls sideways.
    sprVergaben->horizontalHeader()->setSectionResizeMode(VergabenModel::Person - 1, QHeaderView::Stretch);
    sprVergaben->horizontalHeader()->setSectionsClickable(true);
    connect(sprVergaben->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { guarded([this, section] { sprVergaben_Click(0, section + 1); }); });

    const QList<QWidget*> tabOrder = {pbVergabe,  dfPersSuch,  lstPerson,     pbPersSuch,     pbPersNeu, pbPersEdit,
                                      pbPersDel,  dfSchlSuch,  lstSchluessel, pbSchlSuch,     pbSchlNeu, pbSchlEdit,
                                      pbSchlDel,  sprVergaben, pbRueckgabe,   pbBestaetigung, pbFilter,  pbExit,
                                      dfZusatzNr, pbFormular,  pbListeDrucken};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connectClick(pbPersSuch, this, &FrmMain::pbPersSuch_Click);
    connectClick(pbPersNeu, this, &FrmMain::pbPersNeu_Click);
    connectClick(pbPersEdit, this, &FrmMain::pbPersEdit_Click);
    connectClick(pbPersDel, this, &FrmMain::pbPersDel_Click);
    connectClick(pbSchlSuch, this, &FrmMain::pbSchlSuch_Click);
    connectClick(pbSchlNeu, this, &FrmMain::pbSchlNeu_Click);
    connectClick(pbSchlEdit, this, &FrmMain::pbSchlEdit_Click);
    connectClick(pbSchlDel, this, &FrmMain::pbSchlDel_Click);
    connectClick(pbVergabe, this, &FrmMain::pbVergabe_Click);
    connectClick(pbBestaetigung, this, &FrmMain::pbBestaetigung_Click);
    connectClick(pbRueckgabe, this, &FrmMain::pbRueckgabe_Click);
    connectClick(pbFilter, this, &FrmMain::pbFilter_Click);
    connectClick(pbListeDrucken, this, &FrmMain::pbListeDrucken_Click);
    connectClick(pbFormular, this, &FrmMain::pbFormular_Click);
    connectClick(pbExit, this, &FrmMain::pbExit_Click);
    addHistoryActions();

    // Designed positions, then the designed inner size, centred on the screen by its outer size.
    applyLayout(relayout(m_layout, m_layout.acceptedWidth, m_layout.acceptedHeight));
    resize(clientWidth(MainLayout::kDesignedWidth), clientHeight(MainLayout::kDesignedHeight));
    if (const QScreen* screen = this->screen()) {
        const QSize outer(tw(MainLayout::kDesignedWidth), tw(MainLayout::kDesignedHeight));
        move(screen->availableGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2));
    }
    pbVergabe->setFocus();
}

FrmMain::~FrmMain() = default;

void FrmMain::Form_Load()
{
    m_loaded = true;
    m_layout.acceptedHeight = MainLayout::kDesignedHeight;
    m_layout.acceptedWidth = MainLayout::kDesignedWidth;
    setTexts();
    if (m_startLists) {
        showPersons(std::move(m_startLists->persons));
        lstSchluessel->setRows(std::move(m_startLists->keys));
        showVergaben(std::move(m_startLists->handouts));
        m_startLists.reset();
        return;
    }
    pbPersSuch_Click();
    pbSchlSuch_Click();
    RefreshVergaben(false);
}

void FrmMain::setTexts()
{
    setWindowTitle(kProgramDescription);
    frPerson->setTitle(GetText(QStringLiteral("PERSON"), 101));
    frSchluessel->setTitle(GetText(QStringLiteral("SCHLÜSSEL"), 102));
    Label1->setText(GetText(QStringLiteral("Name oder Personalnummer:"), 108));
    pbPersSuch->setText(GetText(QStringLiteral("Suchen"), 103));
    pbPersNeu->setText(GetText(QStringLiteral("Neu"), 104));
    pbPersEdit->setText(GetText(QStringLiteral("Ändern"), 105));
    pbPersDel->setText(GetText(QStringLiteral("Löschen"), 106));
    Label2->setText(GetText(QStringLiteral("Nummer oder Funktion:"), 122));
    pbSchlSuch->setText(GetText(QStringLiteral("Suchen"), 103));
    pbSchlNeu->setText(GetText(QStringLiteral("Neu"), 104));
    pbSchlEdit->setText(GetText(QStringLiteral("Ändern"), 105));
    pbSchlDel->setText(GetText(QStringLiteral("Löschen"), 106));
    Label4->setText(GetText(QStringLiteral("Zusatz-Nummer:"), 107));
    Label3->setText(GetText(QStringLiteral("Liste der aktuellen Schlüsseltransaktionen"), 109));
    pbVergabe->setText(GetText(QStringLiteral("Schlüsselvergabe"), 121));
    pbBestaetigung->setText(GetText(QStringLiteral("Bestätigung"), 110));
    pbRueckgabe->setText(GetText(QStringLiteral("Rückgabe"), 111));
    pbFilter->setText(GetText(QStringLiteral("Filter"), 112));
    pbFormular->setText(GetText(QStringLiteral("Bestätigung editieren"), 113));
    pbListeDrucken->setText(GetText(QStringLiteral("Liste drucken"), 114));
    pbExit->setText(GetText(QStringLiteral("Beenden"), 115));
    vergaben->setRow(0);
    vergaben->setCol(1);
    vergaben->setText(GetText(QStringLiteral("Datum"), 116));
    vergaben->setCol(2);
    vergaben->setText(GetText(QStringLiteral("SchlüsselNr"), 117));
    vergaben->setCol(3);
    vergaben->setText(GetText(QStringLiteral("ZusatzNr"), 118));
    vergaben->setCol(4);
    vergaben->setText(GetText(QStringLiteral("Funktion"), 119));
    vergaben->setCol(5);
    vergaben->setText(GetText(QStringLiteral("Person"), 120));
    setHistoryTexts();
}

void FrmMain::Form_Resize()
{
    if (m_inLayout || isMinimized())
        return;
    const int width = outerWidth(this->width());
    const int height = outerHeight(this->height());
    const MainLayoutResult result = relayout(m_layout, width, height);
    if (result.springBack) {
        // Width first, then height; each change comes back here as a resize of its own.
        resize(clientWidth(m_layout.acceptedWidth), clientHeight(height));
        resize(clientWidth(m_layout.acceptedWidth), clientHeight(m_layout.acceptedHeight));
        return;
    }
    m_inLayout = true;
    m_layout = result.layout;
    applyLayout(result);
    m_inLayout = false;
}

void FrmMain::applyLayout(const MainLayoutResult& result)
{
    using C = MainControl;
    const std::array<std::pair<C, QWidget*>, kMainControlCount> widgets = {{
        {C::frPerson, frPerson},       {C::Label1, Label1},           {C::dfPersSuch, dfPersSuch},
        {C::lstPerson, lstPerson},     {C::pbPersSuch, pbPersSuch},   {C::pbPersNeu, pbPersNeu},
        {C::pbPersEdit, pbPersEdit},   {C::pbPersDel, pbPersDel},     {C::frSchluessel, frSchluessel},
        {C::Label2, Label2},           {C::dfSchlSuch, dfSchlSuch},   {C::lstSchluessel, lstSchluessel},
        {C::pbSchlSuch, pbSchlSuch},   {C::pbSchlNeu, pbSchlNeu},     {C::pbSchlEdit, pbSchlEdit},
        {C::pbSchlDel, pbSchlDel},     {C::imgLogo, imgLogo},         {C::Label4, Label4},
        {C::dfZusatzNr, dfZusatzNr},   {C::pbVergabe, pbVergabe},     {C::Line1, Line1},
        {C::Label3, Label3},           {C::sprVergaben, sprVergaben}, {C::pbBestaetigung, pbBestaetigung},
        {C::pbRueckgabe, pbRueckgabe}, {C::pbFilter, pbFilter},       {C::pbListeDrucken, pbListeDrucken},
        {C::pbFormular, pbFormular},   {C::pbExit, pbExit},
    }};
    for (const auto& [control, widget] : widgets) {
        const TwipRect& r = result.layout[control];
        // Edges from the twip edges, so controls that line up in twips line up in pixels.
        const int left = tw(r.left);
        const int top = tw(r.top);
        const int width = tw(r.left + r.width) - left;
        if (control == C::Line1)
            widget->setGeometry(left, top - 1, width + 1, 3); // the line's pixel row in the middle
        else
            widget->setGeometry(left, top, width, tw(r.top + r.height) - top);
    }
    for (int c = 1; c <= static_cast<int>(result.columnUnits.size()); ++c)
        vergaben->setColWidth(c, qRound(result.columnUnits[c - 1] * MainLayout::kGridUnitTwips));
}

void FrmMain::frPerson_MouseMove()
{
    switchDefault(dfPersSuch, pbPersSuch);
}

void FrmMain::frSchluessel_MouseMove()
{
    switchDefault(dfSchlSuch, pbSchlSuch);
}

void FrmMain::switchDefault(QLineEdit* field, QPushButton* button)
{
    if (!field->hasFocus())
        field->setFocus(Qt::OtherFocusReason);
    setDefaultButton(button);
}

void FrmMain::setDefaultButton(QPushButton* button)
{
    if (m_defaultButton == button)
        return;
    if (m_defaultButton)
        m_defaultButton->setDefault(false);
    m_defaultButton = button;
    if (m_defaultButton)
        m_defaultButton->setDefault(true);
}

void FrmMain::pbExit_Click()
{
    close();
}

void FrmMain::imgLogo_Click()
{
    FrmSplash::showModal(this);
    setTexts();
}

void FrmMain::closeDialogs()
{
    // The person and key dialogs first, then whatever else is open. Hiding ends a dialog's own
    // event loop; its owner discards it. Nothing is saved.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QString& name : {QStringLiteral("dlgPerson"), QStringLiteral("dlgSchlüssel"), QString()}) {
        for (QWidget* window : windows) {
            if (window != this && window->isVisible() && qobject_cast<QDialog*>(window) &&
                (name.isEmpty() || window->objectName() == name))
                window->hide();
        }
    }
}

void FrmMain::showEvent(QShowEvent* event)
{
    // Showing the window loads it, once; the first resize (designed size) has already set the grid.
    if (!m_loaded)
        guarded([this] { Form_Load(); });
    QWidget::showEvent(event);
}

void FrmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    guarded([this] { Form_Resize(); });
}

void FrmMain::keyPressEvent(QKeyEvent* event)
{
    // Qt gives default buttons to dialogs only. Enter that no control took clicks the button
    // that has the focus, as on the designed platform, or else the window's default button.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        QPushButton* target = qobject_cast<QPushButton*>(focusWidget());
        if (!target || !isAncestorOf(target))
            target = m_defaultButton;
        if (target && target->isEnabled() && target->isVisible()) {
            target->click();
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void FrmMain::closeEvent(QCloseEvent* event)
{
    // The application ends with its last window (quit on last window closed).
    closeDialogs();
    event->accept();
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && (watched == frPerson || watched == frSchluessel)) {
        auto* frame = static_cast<QWidget*>(watched);
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        // Only the frame's own surface counts, not the controls inside it.
        if (!frame->childAt(pos)) {
            if (frame == frPerson)
                guarded([this] { frPerson_MouseMove(); });
            else
                guarded([this] { frSchluessel_MouseMove(); });
        }
    } else if (watched == imgLogo && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && imgLogo->rect().contains(mouse->position().toPoint())) {
            guarded([this] { imgLogo_Click(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
