#pragma once

#include <QString>
#include <functional>

class QWidget;
struct CsvTable;

// "Exportieren…" from a window: asks where to save (the folder of the last export is offered again),
// asks before replacing a file, writes the table and says so when it cannot. True when it was written.
bool saveCsvAs(QWidget* parent, const QString& suggestedName, const CsvTable& table);
// The same for a file that write makes itself (false with the reason in *error).
bool saveCsvAs(QWidget* parent, const QString& suggestedName,
               const std::function<bool(const QString& path, QString* error)>& write);
