#pragma once

#include <QStringList>

class QListWidget;

// Gives a list box exactly these rows, in this order, with no row selected or current. The items it
// has already take their new text in place and the rest are added or removed in one step, so a
// refill of tens of thousands of rows neither deletes nor creates them all again.
void setListRows(QListWidget* list, const QStringList& rows);

// One line can be chosen; lines wider than the list are cut, not scrolled (person lines are padded to 50
// characters).
void listLinesCut(QListWidget* list);
