#include "SelectAllOnFocus.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

SelectAllOnFocus::SelectAllOnFocus(QLineEdit* field) : QObject(field) {}

void SelectAllOnFocus::install(QLineEdit* field)
{
    field->installEventFilter(new SelectAllOnFocus(field));
}

bool SelectAllOnFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        auto* field = static_cast<QLineEdit*>(watched);
        field->selectAll();
        // A click places the cursor after the focus arrives; select again once the click is through.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
            QTimer::singleShot(0, field, [field] { field->selectAll(); });
    }
    return false;
}
