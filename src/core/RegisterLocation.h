#pragma once

#include <QString>

// Where the register lives when no file is named on the command line, and its first start there.
namespace RegisterLocation {

// TBDB.MDB in the program's directory when one is there (a portable install, or the build tree);
// otherwise TBDB.MDB in the user's data folder, since an installed program's directory is not writable.
QString defaultPath(const QString& programDir);

// The user's data folder (QStandardPaths::AppDataLocation), where an installed program keeps its register.
QString dataFolder();

// For a default place that holds no register yet: asks whether to create an empty one there (naming the
// path) and creates it on Yes. False when the user declines or the file cannot be created (then the
// reason has been shown); the program then ends.
bool offerToCreate(const QString& path);

} // namespace RegisterLocation
