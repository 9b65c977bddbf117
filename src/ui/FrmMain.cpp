#include "FrmMain.h"

#include "core/AppState.h"
#include "core/Guard.h"
#include "core/Texts.h"
#include "handouts/HandoutPane.h"
#include "history/HistoryMenus.h"
#include "keys/KeyPane.h"
#include "persons/PersonPane.h"
#include "ui/FrmSplash.h"
#include "ui/QtTexts.h"
#include "undo/Undo.h"
#include "widgets/ConnectClick.h"
#include "widgets/DesignedFont.h"
#include "widgets/TabListWidget.h"
#include "widgets/Twips.h"
#include "widgets/WrapButton.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTableView>
#include <QUndoStack>

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

// Pixel edges from twip edges, so controls that line up in twips line up in pixels.
QRect pixels(const TwipRect& r)
{
    const int left = tw(r.left);
    const int top = tw(r.top);
    return {left, top, tw(r.left + r.width) - left, tw(r.top + r.height) - top};
}
} // namespace

FrmMain::FrmMain(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setFont(designedFont());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(kProgramDescription);

    // The handout area lies behind the frames, whose lower corners reach into its rectangle.
    handouts = new HandoutPane(this);
    persons = new PersonPane(this);
    keys = new KeyPane(this);
    imgLogo = make<QLabel>(this, "imgLogo");
    Line1 = make<QFrame>(this, "Line1");
    pbExit = make<WrapButton>(this, "pbExit");

    handouts->selectedPerson = [this] { return persons->selectedPerson(); };
    handouts->selectedKeyNumber = [this] { return keys->selectedKeyNumber(); };
    connect(handouts, &HandoutPane::keyGone, keys, &KeyPane::pbSchlSuch_Click);
    connect(handouts, &HandoutPane::keySearchWanted, keys, [this] { keys->dfSchlSuch->setFocus(); });
    connect(persons, &PersonPane::surfaceCrossed, this, &FrmMain::frPerson_MouseMove);
    connect(keys, &KeyPane::surfaceCrossed, this, &FrmMain::frSchluessel_MouseMove);

    imgLogo->setPixmap(QPixmap(QStringLiteral(":/images/logo.png")));
    imgLogo->installEventFilter(this);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    const QList<QWidget*> tabOrder = {handouts->pbVergabe,      persons->dfPersSuch,   persons->lstPerson,
                                      persons->pbPersSuch,      persons->pbPersNeu,    persons->pbPersEdit,
                                      persons->pbPersDel,       keys->dfSchlSuch,      keys->lstSchluessel,
                                      keys->pbSchlSuch,         keys->pbSchlNeu,       keys->pbSchlEdit,
                                      keys->pbSchlDel,          handouts->sprVergaben, handouts->pbRueckgabe,
                                      handouts->pbBestaetigung, handouts->pbFilter,    pbExit,
                                      handouts->dfZusatzNr,     handouts->pbFormular,  handouts->pbListeDrucken};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connectClick(pbExit, this, &FrmMain::pbExit_Click);
    HistoryMenus::add(*persons, *keys, *handouts);
    addUndoActions();

    // Designed positions, then the designed inner size, centred on the screen by its outer size.
    applyLayout(relayout(m_layout, m_layout.acceptedWidth, m_layout.acceptedHeight));
    resize(clientWidth(MainLayout::kDesignedWidth), clientHeight(MainLayout::kDesignedHeight));
    if (const QScreen* screen = this->screen()) {
        const QSize outer(tw(MainLayout::kDesignedWidth), tw(MainLayout::kDesignedHeight));
        move(screen->availableGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2));
    }
    handouts->pbVergabe->setFocus();
}

FrmMain::~FrmMain() = default;

void FrmMain::Form_Load()
{
    m_loaded = true;
    m_layout.acceptedHeight = MainLayout::kDesignedHeight;
    m_layout.acceptedWidth = MainLayout::kDesignedWidth;
    setTexts();
    if (m_startLists) {
        persons->showPersons(std::move(m_startLists->persons));
        keys->showKeys(std::move(m_startLists->keys));
        handouts->showVergaben(std::move(m_startLists->handouts));
        m_startLists.reset();
        return;
    }
    persons->pbPersSuch_Click();
    keys->pbSchlSuch_Click();
    handouts->RefreshVergaben(false);
}

void FrmMain::setTexts()
{
    setWindowTitle(kProgramDescription);
    persons->setTexts();
    keys->setTexts();
    handouts->setTexts();
    pbExit->setText(GetText(QStringLiteral("Beenden"), 115));
    HistoryMenus::setTexts(*persons, *keys, *handouts);
    updateUndoActions();
}

void FrmMain::addUndoActions()
{
    mnuRueckgaengig = new QAction(this);
    mnuRueckgaengig->setObjectName(QStringLiteral("mnuRückgängig"));
    mnuRueckgaengig->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuWiederholen = new QAction(this);
    mnuWiederholen->setObjectName(QStringLiteral("mnuWiederholen"));
    mnuWiederholen->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    for (QAction* action : {mnuRueckgaengig, mnuWiederholen})
        action->setShortcutContext(Qt::WindowShortcut);
    addActions({mnuRueckgaengig, mnuWiederholen});
    // Below each list's own entries in its context menu.
    for (QWidget* list : {static_cast<QWidget*>(persons->lstPerson), static_cast<QWidget*>(keys->lstSchluessel),
                          static_cast<QWidget*>(handouts->sprVergaben)})
        list->addActions({separator, mnuRueckgaengig, mnuWiederholen});
    connect(mnuRueckgaengig, &QAction::triggered, this, [this] { guarded([this] { mnuRueckgaengig_Click(); }); });
    connect(mnuWiederholen, &QAction::triggered, this, [this] { guarded([this] { mnuWiederholen_Click(); }); });
    connect(&Undo::stack(), &QUndoStack::indexChanged, this, &FrmMain::updateUndoActions);
}

void FrmMain::updateUndoActions()
{
    mnuRueckgaengig->setText(Undo::undoText());
    mnuRueckgaengig->setEnabled(Undo::stack().canUndo());
    mnuWiederholen->setText(Undo::redoText());
    mnuWiederholen->setEnabled(Undo::stack().canRedo());
}

void FrmMain::mnuRueckgaengig_Click()
{
    refillAfter(Undo::undo());
}

void FrmMain::mnuWiederholen_Click()
{
    refillAfter(Undo::redo());
}

void FrmMain::refillAfter(const QStringList& tables)
{
    if (tables.contains(QStringLiteral("TBPersonen")))
        persons->pbPersSuch_Click();
    if (tables.contains(QStringLiteral("TBSchluessel")))
        keys->pbSchlSuch_Click();
    // The grid shows movements with their key's function and their person's name.
    for (const char* table : {"TBPersonen", "TBSchluessel", "TBBewegungen"}) {
        if (tables.contains(QLatin1String(table))) {
            handouts->RefreshVergaben(false);
            break;
        }
    }
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
    const PersonPane& p = *persons;
    const KeyPane& k = *keys;
    const HandoutPane& h = *handouts;
    const std::array<std::pair<C, QWidget*>, kMainControlCount> widgets = {{
        {C::frPerson, persons},
        {C::Label1, p.Label1},
        {C::dfPersSuch, p.dfPersSuch},
        {C::lstPerson, p.lstPerson},
        {C::pbPersSuch, p.pbPersSuch},
        {C::pbPersNeu, p.pbPersNeu},
        {C::pbPersEdit, p.pbPersEdit},
        {C::pbPersDel, p.pbPersDel},
        {C::frSchluessel, keys},
        {C::Label2, k.Label2},
        {C::dfSchlSuch, k.dfSchlSuch},
        {C::lstSchluessel, k.lstSchluessel},
        {C::pbSchlSuch, k.pbSchlSuch},
        {C::pbSchlNeu, k.pbSchlNeu},
        {C::pbSchlEdit, k.pbSchlEdit},
        {C::pbSchlDel, k.pbSchlDel},
        {C::imgLogo, imgLogo},
        {C::Label4, h.Label4},
        {C::dfZusatzNr, h.dfZusatzNr},
        {C::pbVergabe, h.pbVergabe},
        {C::Line1, Line1},
        {C::Label3, h.Label3},
        {C::sprVergaben, h.sprVergaben},
        {C::pbBestaetigung, h.pbBestaetigung},
        {C::pbRueckgabe, h.pbRueckgabe},
        {C::pbFilter, h.pbFilter},
        {C::pbListeDrucken, h.pbListeDrucken},
        {C::pbFormular, h.pbFormular},
        {C::pbExit, pbExit},
    }};
    // The handout area spans its controls; they keep their window places less its corner.
    QRect area;
    for (const auto& [control, widget] : widgets) {
        if (widget->parentWidget() == handouts)
            area |= pixels(result.layout[control]);
    }
    handouts->setGeometry(area);
    for (const auto& [control, widget] : widgets) {
        QRect r = pixels(result.layout[control]);
        if (widget->parentWidget() == handouts)
            r.translate(-area.topLeft());
        if (control == C::Line1)
            r = QRect(r.left(), r.top() - 1, r.width() + 1, 3); // the line's pixel row in the middle
        widget->setGeometry(r);
    }
    std::array<int, 5> columns{};
    for (std::size_t c = 0; c < columns.size(); ++c)
        columns[c] = qRound(result.columnUnits[c] * MainLayout::kGridUnitTwips);
    handouts->setColumnWidths(columns);
}

void FrmMain::frPerson_MouseMove()
{
    switchDefault(persons->dfPersSuch, persons->pbPersSuch);
}

void FrmMain::frSchluessel_MouseMove()
{
    switchDefault(keys->dfSchlSuch, keys->pbSchlSuch);
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
    loadQtTexts();
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
    if (watched == imgLogo && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && imgLogo->rect().contains(mouse->position().toPoint())) {
            guarded([this] { imgLogo_Click(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
