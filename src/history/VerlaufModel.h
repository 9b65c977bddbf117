#pragma once

#include "History.h"
#include "widgets/LinesModel.h"

#include <QStringList>

// The lines of the history window: date out, date back, key number, additional number, function,
// person. A header click sorts by the column's value (dates as dates), equal lines keeping their order, the
// selection staying with its line.
class VerlaufModel : public LinesModel
{
    Q_OBJECT
public:
    static constexpr int kColumns = 7;

    explicit VerlaufModel(QObject* parent = nullptr);

    void setLines(QVector<HistoryLine> lines);

    // The column titles in the current language: the header the model shows.
    static QStringList columnTitles();

    // The text a cell shows: dates in the short form with a four-digit year, "unbekannt" for a return
    // before the journal, nothing for a copy still out.
    QString cellText(int row, int column) const;
    QList<QStringList> rowTexts() const; // every line as shown, in the shown order

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QVector<HistoryLine> m_lines;
};
