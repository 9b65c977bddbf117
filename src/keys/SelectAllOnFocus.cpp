#include "SelectAllOnFocus.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

void SelectAllOnFocus::install(QLineEdit* field)
{
    field->installEventFilter(new SelectAllOnFocus(field));
}

bool SelectAllOnFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        auto* field = static_cast<QLineEdit*>(watched);
        field->setSelection(0, int(field->text().size()));
        // A mouse click places the caret after the focus arrives; select again once it has.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason) {
            QTimer::singleShot(0, field, [field] { field->selectAll(); });
        }
    }
    return false;
}
