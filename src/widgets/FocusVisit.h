#pragma once

#include <QFocusEvent>

// True for a focus change the user made: entering or leaving a field. The focus that comes back with
// its window or after a menu closed is no new visit, and handlers of entering and leaving skip it.
inline bool isFocusVisit(const QEvent* event)
{
    if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}
