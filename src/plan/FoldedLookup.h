#pragma once

#include "core/TextCollation.h"

#include <QByteArray>
#include <QHash>
#include <QString>

// Numbers read from the engine as bytes, found in a table keyed by their equality keys: each distinct
// spelling is folded once, however many rows repeat it.
class FoldedLookup
{
public:
    explicit FoldedLookup(const QHash<QString, int>& byKey) : m_byKey(byKey) {}

    // The table's value for the text, or -1. bytes may be a view into a row (Statement::textView).
    int value(const QByteArray& bytes)
    {
        auto known = m_byBytes.constFind(bytes);
        if (known == m_byBytes.cend())
            known = m_byBytes.insert(QByteArray(bytes.constData(), bytes.size()),
                                     m_byKey.value(TextCollation::equalityKey(QString::fromUtf8(bytes)), -1));
        return *known;
    }

private:
    const QHash<QString, int>& m_byKey;
    QHash<QByteArray, int> m_byBytes;
};
