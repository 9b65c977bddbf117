#include "CsvSave.h"

#include "Export.h"
#include "core/Csv.h"
#include "core/Texts.h"
#include "widgets/SaveFileAs.h"

bool saveCsvAs(QWidget* parent, const QString& suggestedName, const CsvTable& table)
{
    return saveFileAs(
        parent, GetText(QStringLiteral("Liste exportieren"), 826), suggestedName,
        GetText(QStringLiteral("CSV-Dateien"), 829) + QStringLiteral(" (*.csv)"), QStringLiteral("csv"),
        [&table](const QString& path, QString* error) { return Csv::write(path, table.header, table.rows, error); });
}
