#pragma once

#include <QtGlobal>

// Retires a person: sets Storniert, keeping the row and its movements. Refused with message 705
// while the person still holds a key copy (a movement with Status 0). True when retired.
bool PersDel(qint32 persId);
