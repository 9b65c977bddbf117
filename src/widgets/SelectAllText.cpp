#include "SelectAllText.h"

#include "FocusVisit.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace {

class SelectOnFocusIn final : public QObject
{
public:
    explicit SelectOnFocusIn(QLineEdit* field) : QObject(field) { field->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn && isFocusVisit(event)) {
            // Queued: a mouse press that brought the focus places the cursor after this event
            // and would undo an immediate selection.
            QPointer<QLineEdit> field = static_cast<QLineEdit*>(watched);
            QTimer::singleShot(0, field, [field] {
                if (field)
                    SelectAllText(field);
            });
        }
        return false;
    }
};

} // namespace

void SelectAllText(QLineEdit* field)
{
    field->setSelection(0, static_cast<int>(field->text().size()));
}

void selectAllOnFocus(QLineEdit* field)
{
    new SelectOnFocusIn(field);
}
