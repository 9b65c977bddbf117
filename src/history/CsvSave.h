#pragma once

#include <QString>

class QWidget;
struct CsvTable;

// "Exportieren…" from a window: asks where to save (the folder of the last export is offered again),
// asks before replacing a file, writes the table and says so when it cannot. True when it was written.
bool saveCsvAs(QWidget* parent, const QString& suggestedName, const CsvTable& table);
