#pragma once

#include <QProcess>

// The program started as from a terminal without a display, its texts in the locale's language; true
// when it finished. The process keeps its exit code and output for the test.
inline bool runProgram(QProcess& process, const QStringList& arguments,
                       const QString& locale = QStringLiteral("C.UTF-8"))
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("LC_ALL"), locale);
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("CLAVARO_BINARY"), arguments);
    return process.waitForFinished(60000);
}
