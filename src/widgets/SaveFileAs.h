#pragma once

#include <QString>
#include <functional>

class QWidget;

// Saving from a window: asks where (the folder of the last save is offered again, else the documents
// folder), asks before replacing a file, writes it and says so when it cannot. True when it was written.
// write returns false with the reason in *error.
bool saveFileAs(QWidget* parent, const QString& title, const QString& suggestedName, const QString& filter,
                const QString& suffix, const std::function<bool(const QString& path, QString* error)>& write);
