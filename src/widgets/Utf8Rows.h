#pragma once

#include "core/Utf8.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

// Rows of text gathered as UTF-8 in one buffer: a list of tens of thousands of rows is filled without a
// string for each row, and only the rows on screen are ever turned into strings.
class Utf8Rows
{
public:
    void reserve(qsizetype rows, qsizetype bytes)
    {
        m_starts.reserve(static_cast<std::size_t>(rows));
        m_bytes.reserve(bytes);
    }

    // Starts a new row; what is appended after it is its text.
    void startRow() { m_starts.push_back(m_bytes.size()); }
    void append(QByteArrayView utf8) { m_bytes.append(utf8); }
    void append(char c) { m_bytes.append(c); }
    void appendRow(const QString& text)
    {
        startRow();
        append(text.toUtf8());
    }

    qsizetype size() const { return static_cast<qsizetype>(m_starts.size()); }
    QByteArrayView row(qsizetype index) const
    {
        const qsizetype start = m_starts[static_cast<std::size_t>(index)];
        const qsizetype end = index + 1 < size() ? m_starts[static_cast<std::size_t>(index + 1)] : m_bytes.size();
        return QByteArrayView(m_bytes.constData() + start, end - start);
    }
    // Every character kept: a key number may start with a byte-order mark.
    QString text(qsizetype index) const { return Utf8::decode(row(index)); }

private:
    QByteArray m_bytes;
    std::vector<qsizetype> m_starts;
};
