#pragma once

class QDialog;
class QPushButton;

// The Enter rule of every dialog: Enter presses the button that has the focus, and the default button
// only while the focus is on something else. Escape and the close box cancel (QDialog::reject).
// Every push button of the dialog takes part, so call this after the buttons exist.
void setDialogDefault(QDialog* dialog, QPushButton* defaultButton);
