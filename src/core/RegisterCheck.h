#pragma once

#include <QString>
#include <QStringList>

// clavaro --check FILE: what an administrator wants to know of a register before trusting it. The
// engine's integrity check, the text order its indexes were written in, and the register's own
// consistency: movements whose person or key is gone, keys with more copies out than exist, more than
// the one header row. The file is opened for reading only; nothing is written.
class RegisterCheck
{
public:
    struct Result
    {
        QStringList report; // lines for the terminal, the last one the verdict
        int problems = 0;   // 0: all is well
    };

    static Result run(const QString& path);
};
