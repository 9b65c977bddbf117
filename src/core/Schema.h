#pragma once

#include <QStringList>

// The register's four tables as the engine keeps them.
class Schema
{
public:
    // The statements that build an empty register, in order.
    static QStringList createStatements();

    // The tables an opened file must hold.
    static QStringList tables();
};
