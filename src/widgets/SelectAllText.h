#pragma once

class QLineEdit;

// Selects the whole text of a field: selection start 0, length the length of its text.
void SelectAllText(QLineEdit* field);

// Makes the field select its whole text whenever it receives the focus (by keyboard, mouse or
// program). A window or menu that comes back leaves the selection as it was.
void selectAllOnFocus(QLineEdit* field);
