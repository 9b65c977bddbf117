#include "FrmSplash.h"

// Placeholder until the start window lands.
FrmSplash::FrmSplash(QWidget* parent) : QDialog(parent) {}
void FrmSplash::showModal(QWidget*) {}
void FrmSplash::Form_Load() {}
void FrmSplash::setTexts() {}
void FrmSplash::rbSprache_Click() {}
void FrmSplash::pbOK_Click() {}
void FrmSplash::selectOption(int) {}
void FrmSplash::keyPressEvent(QKeyEvent* event) { QDialog::keyPressEvent(event); }
bool FrmSplash::eventFilter(QObject* watched, QEvent* event) { return QDialog::eventFilter(watched, event); }
