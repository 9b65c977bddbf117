#pragma once

#include "core/Guard.h"

#include <QAbstractButton>

// Wires a button to its window's click handler, inside the boundary that reports refused statements.
template <typename Window> void connectClick(QAbstractButton* button, Window* window, void (Window::*handler)())
{
    QObject::connect(button, &QAbstractButton::clicked, window,
                     [window, handler] { guarded([window, handler] { (window->*handler)(); }); });
}
