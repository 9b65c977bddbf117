#include "FrmMain.h"

#include "handouts/VergabenModel.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>

namespace {
template <typename W, typename... Args> W* make(QWidget* parent, const char* name, Args&&... args)
{
    auto* w = new W(std::forward<Args>(args)..., parent);
    w->setObjectName(QString::fromUtf8(name));
    return w;
}
} // namespace

FrmMain::FrmMain(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Brannwerk MERIDIAN Clavaro"));
    frPerson = make<QGroupBox>(this, "frPerson");
    Label1 = make<QLabel>(frPerson, "Label1");
    dfPersSuch = make<QLineEdit>(frPerson, "dfPersSuch");
    lstPerson = make<QListWidget>(frPerson, "lstPerson");
    pbPersSuch = make<QPushButton>(frPerson, "pbPersSuch");
    pbPersNeu = make<QPushButton>(frPerson, "pbPersNeu");
    pbPersEdit = make<QPushButton>(frPerson, "pbPersEdit");
    pbPersDel = make<QPushButton>(frPerson, "pbPersDel");
    frSchluessel = make<QGroupBox>(this, "frSchlüssel");
    Label2 = make<QLabel>(frSchluessel, "Label2");
    dfSchlSuch = make<QLineEdit>(frSchluessel, "dfSchlSuch");
    lstSchluessel = make<QListWidget>(frSchluessel, "lstSchlüssel");
    pbSchlSuch = make<QPushButton>(frSchluessel, "pbSchlSuch");
    pbSchlNeu = make<QPushButton>(frSchluessel, "pbSchlNeu");
    pbSchlEdit = make<QPushButton>(frSchluessel, "pbSchlEdit");
    pbSchlDel = make<QPushButton>(frSchluessel, "pbSchlDel");
    imgLogo = make<QLabel>(this, "imgLogo");
    Label4 = make<QLabel>(this, "Label4");
    dfZusatzNr = make<QLineEdit>(this, "dfZusatzNr");
    pbVergabe = make<QPushButton>(this, "pbVergabe");
    Line1 = make<QFrame>(this, "Line1");
    Label3 = make<QLabel>(this, "Label3");
    sprVergaben = make<QTableView>(this, "sprVergaben");
    vergaben = new VergabenModel(this);
    sprVergaben->setModel(vergaben);
    pbBestaetigung = make<QPushButton>(this, "pbBestätigung");
    pbRueckgabe = make<QPushButton>(this, "pbRückgabe");
    pbFilter = make<QPushButton>(this, "pbFilter");
    pbListeDrucken = make<QPushButton>(this, "pbListeDrucken");
    pbFormular = make<QPushButton>(this, "pbFormular");
    pbExit = make<QPushButton>(this, "pbExit");
    resize(12045 / 15, 9000 / 15);
}

FrmMain::~FrmMain() = default;

void FrmMain::Form_Load()
{
    pbPersSuch_Click();
    pbSchlSuch_Click();
    RefreshVergaben(false);
}

void FrmMain::pbExit_Click()
{
    close();
}

void FrmMain::imgLogo_Click() {}
