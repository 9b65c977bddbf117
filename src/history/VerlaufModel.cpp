#include "VerlaufModel.h"

#include "core/DateText.h"
#include "core/Texts.h"

#include <QCollator>
#include <algorithm>
#include <limits>
#include <numeric>

namespace {

// The return as a sortable day: unknown returns first, then by date, copies still out last.
qint64 backKey(const HistoryLine& line)
{
    switch (line.back) {
    case HistoryLine::Back::Unknown:
        return std::numeric_limits<qint64>::min();
    case HistoryLine::Back::Returned:
        return line.returned.toJulianDay();
    case HistoryLine::Back::Out:
        break;
    }
    return std::numeric_limits<qint64>::max();
}

const QString& textOf(const HistoryLine& line, int column)
{
    switch (column) {
    case 2:
        return line.keyNumber;
    case 3:
        return line.zusatzNr;
    case 4:
        return line.function;
    case 5:
        return line.person;
    default:
        return line.personalNumber;
    }
}

} // namespace

VerlaufModel::VerlaufModel(QObject* parent) : LinesModel(parent) {}

void VerlaufModel::setLines(QVector<HistoryLine> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

QStringList VerlaufModel::columnTitles()
{
    return {GetText(QStringLiteral("Ausgegeben am"), 803), GetText(QStringLiteral("Zurück am"), 804),
            GetText(QStringLiteral("SchlüsselNr"), 117),   GetText(QStringLiteral("ZusatzNr"), 118),
            GetText(QStringLiteral("Funktion"), 119),      GetText(QStringLiteral("Person"), 120),
            GetText(QStringLiteral("Personalnummer"), 822)};
}

QString VerlaufModel::cellText(int row, int column) const
{
    if (row < 0 || row >= m_lines.size())
        return {};
    const HistoryLine& line = m_lines.at(row);
    switch (column) {
    case 0:
        return DateText::shortDate(line.out);
    case 1:
        if (line.back == HistoryLine::Back::Unknown)
            return GetText(QStringLiteral("unbekannt"), 805);
        return line.back == HistoryLine::Back::Returned ? DateText::shortDate(line.returned) : QString();
    default:
        return column < kColumns ? textOf(line, column) : QString();
    }
}

QList<QStringList> VerlaufModel::rowTexts() const
{
    QList<QStringList> rows;
    rows.reserve(m_lines.size());
    for (int r = 0; r < m_lines.size(); ++r) {
        QStringList cells;
        for (int c = 0; c < kColumns; ++c)
            cells << cellText(r, c);
        rows.append(cells);
    }
    return rows;
}

int VerlaufModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

int VerlaufModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant VerlaufModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return cellText(index.row(), index.column());
}

QVariant VerlaufModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < kColumns ? columnTitles().at(section) : QVariant();
}

void VerlaufModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= kColumns)
        return;
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const auto less = [&](const HistoryLine& a, const HistoryLine& b) {
        switch (column) {
        case 0:
            return a.out < b.out;
        case 1:
            return backKey(a) < backKey(b);
        default:
            return collator.compare(textOf(a, column), textOf(b, column)) < 0;
        }
    };
    QVector<int> places(m_lines.size());
    std::iota(places.begin(), places.end(), 0);
    if (order == Qt::AscendingOrder)
        std::stable_sort(places.begin(), places.end(), [&](int a, int b) { return less(m_lines[a], m_lines[b]); });
    else
        std::stable_sort(places.begin(), places.end(), [&](int a, int b) { return less(m_lines[b], m_lines[a]); });
    reorder(m_lines, places);
}
