#include "DialogButtons.h"

#include <QDialog>
#include <QPushButton>

void setDialogDefault(QDialog* dialog, QPushButton* defaultButton)
{
    // An auto-default button that takes the focus becomes the dialog's default while it has it and
    // hands the role back when the focus moves on to a field.
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        button->setAutoDefault(true);
    if (defaultButton)
        defaultButton->setDefault(true);
}
