#include "AppState.h"

#include "SqlError.h"

AppState& app()
{
    static AppState state;
    return state;
}

Database& db()
{
    if (!app().DB)
        throw SqlError(21, QStringLiteral("no database is open"));
    return *app().DB;
}

QString programVersion()
{
    return QStringLiteral("%1.%2.%3").arg(CLAVARO_VERSION_MAJOR).arg(CLAVARO_VERSION_MINOR).arg(CLAVARO_VERSION_PATCH);
}
