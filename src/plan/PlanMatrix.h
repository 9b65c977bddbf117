#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A locking plan as the lock maker draws it: the keys as columns, the cylinders as rows in the plan's
// order, and for each cylinder the keys that open it.
struct PlanMatrix
{
    struct Cylinder
    {
        QString number;
        QString door; // door or room
        QString area; // building or area
        QString remark;
        QList<int> keys; // positions in PlanMatrix::keys, ascending
    };

    QStringList keys;
    QList<Cylinder> cylinders;

    // Number of crossings (a key opens a cylinder).
    qsizetype crossings() const
    {
        qsizetype n = 0;
        for (const Cylinder& cylinder : cylinders)
            n += cylinder.keys.size();
        return n;
    }
};
