#include "ProtokollModel.h"

#include "core/DateText.h"
#include "core/Texts.h"

#include <QCollator>
#include <QDateTime>
#include <algorithm>

ProtokollModel::ProtokollModel(QObject* parent) : QAbstractTableModel(parent) {}

void ProtokollModel::setLines(QVector<JournalLine> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

QStringList ProtokollModel::columnTitles()
{
    return {GetText(QStringLiteral("Zeitpunkt"), 1722), GetText(QStringLiteral("Ereignis"), 1723),
            GetText(QStringLiteral("Beschreibung"), 1724)};
}

QString ProtokollModel::cellText(int row, int column) const
{
    if (row < 0 || row >= m_lines.size())
        return {};
    const JournalLine& line = m_lines.at(row);
    switch (column) {
    case 0: {
        const QDateTime time = QDateTime::fromString(line.time, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return time.isValid() ? DateText::shortDate(time.date()) + time.time().toString(QStringLiteral(" HH:mm"))
                              : line.time;
    }
    case 1:
        return line.kind;
    case 2:
        return line.description;
    default:
        return {};
    }
}

QList<QStringList> ProtokollModel::rowTexts() const
{
    QList<QStringList> rows;
    rows.reserve(m_lines.size());
    for (int r = 0; r < m_lines.size(); ++r)
        rows.append({cellText(r, 0), cellText(r, 1), cellText(r, 2)});
    return rows;
}

int ProtokollModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

int ProtokollModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant ProtokollModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return cellText(index.row(), index.column());
}

QVariant ProtokollModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < kColumns ? columnTitles().at(section) : QVariant();
}

void ProtokollModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= kColumns)
        return;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const auto key = [column](const JournalLine& line) -> const QString& {
        return column == 0 ? line.time : column == 1 ? line.kind : line.description;
    };
    const auto less = [&](const JournalLine& a, const JournalLine& b) {
        return column == 0 ? key(a) < key(b) : collator.compare(key(a), key(b)) < 0;
    };
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    if (order == Qt::AscendingOrder)
        std::stable_sort(m_lines.begin(), m_lines.end(), less);
    else
        std::stable_sort(m_lines.begin(), m_lines.end(),
                         [&](const JournalLine& a, const JournalLine& b) { return less(b, a); });
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
