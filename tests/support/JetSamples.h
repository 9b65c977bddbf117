#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>

// The Jackcess project's sample Jet files (tests/data/jet, the larger ones gzipped), copied into dir for a
// test to read; the copy's path, or empty when it could not be made.
inline QString jetSample(const QString& name, const QDir& dir)
{
    const QString source = QStringLiteral(CLAVARO_SOURCE_DIR "/tests/data/jet/") + name;
    const QString copy = dir.filePath(name);
    if (QFile::exists(source))
        return QFile::copy(source, copy) && QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner)
                   ? copy
                   : QString();
    QProcess gzip;
    gzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), source + QStringLiteral(".gz")});
    QFile file(copy);
    if (!gzip.waitForFinished(30000) || gzip.exitCode() != 0 || !file.open(QIODevice::WriteOnly) ||
        file.write(gzip.readAllStandardOutput()) < 0)
        return {};
    return copy;
}
