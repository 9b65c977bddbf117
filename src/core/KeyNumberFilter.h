#pragma once

#include <QString>

// Key numbers hold only A to Z and 0 to 9; O and Q would be misread as zero on an engraved key,
// so they become 0.
struct KeyNumberFilter
{
    QString text;    // the text as it may stand in the key-number field
    int dropped = 0; // characters that had to go; each one earns a beep

    static KeyNumberFilter apply(const QString& typed);
};
