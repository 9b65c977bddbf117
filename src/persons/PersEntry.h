#pragma once

#include <QString>
#include <QVector>

// One line of the person list: the person and the 50-character line text.
struct PersEntry
{
    qint32 PersID = 0;
    QString Name;
};

using PersListe = QVector<PersEntry>;
