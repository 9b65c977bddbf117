#pragma once

#include <QFont>
#include <QStringList>

// The windows were designed around an 8-point sans serif of narrow, Arial-like width; larger or wider
// type clips captions. Liberation Sans has Arial's metrics.
inline QFont designedFont()
{
    QFont font;
    font.setFamilies(
        {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica"), font.family()});
    font.setPointSize(8);
    return font;
}
