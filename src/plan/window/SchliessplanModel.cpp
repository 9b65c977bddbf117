#include "SchliessplanModel.h"

#include "core/TextCollation.h"
#include "core/Texts.h"
#include "plan/Schliessplan.h"

#include <algorithm>

SchliessplanModel::SchliessplanModel(QObject* parent) : QAbstractTableModel(parent) {}

void SchliessplanModel::load(Database& db)
{
    beginResetModel();
    m_db = &db;
    m_plan = Schliessplan::outline(db);
    m_columnOf.clear();
    m_columnOf.reserve(m_plan.keys.size());
    for (qsizetype k = 0; k < m_plan.keys.size(); ++k)
        m_columnOf.insert(TextCollation::equalityKey(m_plan.keys.at(k)), int(k));
    m_rows = QList<std::optional<QList<int>>>(m_plan.cylinders.size());
    m_crossings = Schliessplan::crossings(db);
    endResetModel();
}

const QList<int>& SchliessplanModel::keysOfRow(int row) const
{
    std::optional<QList<int>>& keys = m_rows[row];
    if (!keys) {
        keys.emplace();
        for (const QString& key : Schliessplan::keysOf(*m_db, m_plan.cylinders.at(row).number)) {
            if (const int k = m_columnOf.value(TextCollation::equalityKey(key), -1); k >= 0)
                keys->append(k);
        }
        std::sort(keys->begin(), keys->end());
    }
    return *keys;
}

bool SchliessplanModel::opens(int row, int column) const
{
    if (row < 0 || row >= m_plan.cylinders.size() || column < kFirstKey || column >= columnCount())
        return false;
    const QList<int>& keys = keysOfRow(row);
    return std::binary_search(keys.begin(), keys.end(), column - kFirstKey);
}

void SchliessplanModel::setOpens(int row, int column, bool opens)
{
    if (row < 0 || row >= m_plan.cylinders.size() || column < kFirstKey || column >= columnCount() ||
        this->opens(row, column) == opens)
        return;
    QList<int>& keys = *m_rows[row]; // read by opens() above
    const auto at = std::lower_bound(keys.begin(), keys.end(), column - kFirstKey);
    if (opens)
        keys.insert(at, column - kFirstKey);
    else
        keys.erase(at);
    m_crossings += opens ? 1 : -1;
    const QModelIndex cell = index(row, column);
    Q_EMIT dataChanged(cell, cell, {Qt::DisplayRole});
}

QString SchliessplanModel::cylinderNumber(int row) const
{
    return row >= 0 && row < m_plan.cylinders.size() ? m_plan.cylinders.at(row).number : QString();
}

QString SchliessplanModel::keyNumber(int column) const
{
    return column >= kFirstKey && column - kFirstKey < m_plan.keys.size() ? m_plan.keys.at(column - kFirstKey)
                                                                          : QString();
}

int SchliessplanModel::rowOf(const QString& cylinderNumber) const
{
    const QString wanted = TextCollation::equalityKey(cylinderNumber);
    for (qsizetype row = 0; row < m_plan.cylinders.size(); ++row) {
        if (TextCollation::equalityKey(m_plan.cylinders.at(row).number) == wanted)
            return int(row);
    }
    return -1;
}

int SchliessplanModel::columnOf(const QString& keyNumber) const
{
    const int k = m_columnOf.value(TextCollation::equalityKey(keyNumber), -1);
    return k < 0 ? -1 : k + kFirstKey;
}

int SchliessplanModel::find(const QString& text, int after) const
{
    const int rows = rowCount();
    for (int step = 1; step <= rows; ++step) {
        const int row = ((after + step) % rows + rows) % rows;
        const PlanMatrix::Cylinder& cylinder = m_plan.cylinders.at(row);
        if (cylinder.number.contains(text, Qt::CaseInsensitive) || cylinder.door.contains(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

int SchliessplanModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_plan.cylinders.size());
}

int SchliessplanModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_plan.keys.size()) + kFirstKey;
}

QVariant SchliessplanModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const PlanMatrix::Cylinder& cylinder = m_plan.cylinders.at(index.row());
    if (role == Qt::DisplayRole) {
        if (index.column() == kZylinder)
            return cylinder.number;
        if (index.column() == kTuer)
            return cylinder.door;
        return opens(index.row(), index.column()) ? QStringLiteral("X") : QString();
    }
    if (role == Qt::ToolTipRole && index.column() >= kFirstKey)
        return keyNumber(index.column()) + QStringLiteral(" – ") + cylinder.number;
    if (role == Qt::ToolTipRole && index.column() == kTuer && !cylinder.area.isEmpty())
        return cylinder.area;
    if (role == Qt::TextAlignmentRole && index.column() >= kFirstKey)
        return int(Qt::AlignCenter);
    return {};
}

QVariant SchliessplanModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    if (section == kZylinder)
        return GetText(QStringLiteral("Zylinder"), 1924);
    if (section == kTuer)
        return GetText(QStringLiteral("Tür"), 1925);
    return keyNumber(section);
}
