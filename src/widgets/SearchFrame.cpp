#include "SearchFrame.h"

#include "core/Guard.h"

#include <QMouseEvent>

SearchFrame::SearchFrame(QWidget* parent) : QGroupBox(parent)
{
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    setMouseTracking(true);
}

void SearchFrame::keepControlsPlain()
{
    QFont normal = font();
    normal.setBold(false);
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setFont(normal);
}

void SearchFrame::mouseMoveEvent(QMouseEvent* event)
{
    // A move over a control that the control passed on does not count.
    if (!childAt(event->position().toPoint()))
        guarded([this] { Q_EMIT surfaceCrossed(); });
    QGroupBox::mouseMoveEvent(event);
}
