#include "JetWriter.h"

namespace JetWriter {

QString write(const QString& path, Format format, const QList<Table>& tables)
{
    Q_UNUSED(path);
    Q_UNUSED(format);
    Q_UNUSED(tables);
    return QStringLiteral("The Jet writer is not built yet.");
}

QList<Table> registerTables()
{
    using T = Type;
    const auto table = [](const char* name, QList<Column> columns) {
        Table t;
        t.name = QString::fromUtf8(name);
        t.columns = std::move(columns);
        return t;
    };
    return {
        table("TBKopfdaten",
         {{QStringLiteral("Erstellt"), T::DateTime},
          {QStringLiteral("Quelle"), T::Text, 255},
          {QStringLiteral("AnlagenNr"), T::Text, 255},
          {QStringLiteral("Version"), T::Long},
          {QStringLiteral("Stempel"), T::Text, 255},
          {QStringLiteral("Bestätigung"), T::Memo}}),
        table("TBPersonen",
         {{QStringLiteral("PersID"), T::Long, 0, true},
          {QStringLiteral("Nachname"), T::Text, 50},
          {QStringLiteral("Vorname"), T::Text, 51},
          {QStringLiteral("PersNr"), T::Text, 21},
          {QStringLiteral("Storniert"), T::Boolean}}),
        table("TBSchluessel",
         {{QStringLiteral("SchluesselNr"), T::Text, 10},
          {QStringLiteral("Funktion"), T::Text, 51},
          {QStringLiteral("Gesamt"), T::Long},
          {QStringLiteral("ZusatzNr"), T::Boolean}}),
        table("TBBewegungen",
         {{QStringLiteral("BewID"), T::Long, 0, true},
          {QStringLiteral("PersonID"), T::Long},
          {QStringLiteral("SchluesselNr"), T::Text, 10},
          {QStringLiteral("ZusatzNr"), T::Text, 11},
          {QStringLiteral("Von"), T::DateTime},
          {QStringLiteral("Status"), T::Integer},
          {QStringLiteral("Bis"), T::DateTime}}),
    };
}

} // namespace JetWriter
