#pragma once

#include "History.h"

#include <QAbstractTableModel>
#include <QStringList>

// The journal's entries in the history window: time, kind, description. A header click sorts by the
// column (times as times), equal lines keeping their order.
class ProtokollModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kColumns = 3;

    explicit ProtokollModel(QObject* parent = nullptr);

    void setLines(QVector<JournalLine> lines);

    static QStringList columnTitles();

    // The time in the short date form with a four-digit year and hours and minutes.
    QString cellText(int row, int column) const;
    QList<QStringList> rowTexts() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    QVector<JournalLine> m_lines;
};
