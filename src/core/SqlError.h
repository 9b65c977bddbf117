#pragma once

#include <QString>
#include <stdexcept>

// A statement or an open refused by the engine: its number and text, as the user is shown them.
class SqlError : public std::runtime_error
{
public:
    SqlError(int number, const QString& description, const QString& statement = {})
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description),
          m_statement(statement)
    {
    }

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const QString& statement() const { return m_statement; }
    // "number (description)": how every refusal is shown, in a message or on stderr.
    QString text() const { return QString::number(m_number) + QStringLiteral(" (") + m_description + QLatin1Char(')'); }

private:
    int m_number;
    QString m_description;
    QString m_statement;
};
