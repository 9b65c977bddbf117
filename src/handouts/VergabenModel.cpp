#include "VergabenModel.h"

#include "core/DateText.h"
#include "core/TextCollation.h"
#include "ui/Twips.h"

#include <QColor>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QTableView>
#include <algorithm>
#include <limits>

VergabenModel::VergabenModel(QObject* parent) : QAbstractTableModel(parent), m_dateFormat(DateText::shortFormat())
{
    m_header = {QStringLiteral("Datum"),    QStringLiteral("SchlüsselNr"), QStringLiteral("ZusatzNr"),
                QStringLiteral("Funktion"), QStringLiteral("Person"),      QStringLiteral("ID")};
    // The identifier column is for the program, not the user.
    m_widths = {1200, 1200, 1200, 1200, 1200, 0};
}

void VergabenModel::attachView(QTableView* view)
{
    m_view = view;
    view->setModel(this);
    for (int c = 1; c <= kColumns; ++c)
        setColWidth(c, m_widths[c - 1]);
}

void VergabenModel::setLines(QVector<Line> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    m_dateFormat = DateText::shortFormat();
    endResetModel();
}

void VergabenModel::setMaxRows(int rows)
{
    rows = std::max(rows, 0);
    const int old = maxRows();
    if (rows == old)
        return;
    if (rows < old) {
        beginRemoveRows({}, rows, old - 1);
        m_lines.resize(rows);
        endRemoveRows();
        return;
    }
    beginInsertRows({}, old, rows - 1);
    m_lines.resize(rows);
    endInsertRows();
}

const QString* VergabenModel::textOf(const Line& line, int col)
{
    switch (col) {
    case SchluesselNr:
        return &line.schluesselNr;
    case ZusatzNr:
        return &line.zusatzNr;
    case Funktion:
        return &line.funktion;
    case Person:
        return &line.person;
    default:
        return nullptr;
    }
}

void VergabenModel::setText(const QString& text)
{
    if (m_row == 0 && m_col >= 1 && m_col <= kColumns) {
        m_header[m_col - 1] = text;
        if (m_quiet == 0)
            Q_EMIT headerDataChanged(Qt::Horizontal, m_col - 1, m_col - 1);
        return;
    }
    if (!isCell(m_row, m_col))
        return;
    Line& line = m_lines[m_row - 1];
    if (m_col == Datum) {
        line.von = QLocale().toDate(text, m_dateFormat);
    } else if (m_col == ID) {
        bool ok = false;
        const qint32 id = text.toInt(&ok);
        line.bewId = ok ? std::optional<qint32>(id) : std::nullopt;
    } else {
        *textOf(line, m_col) = text;
    }
    cellChanged(m_row, m_col);
}

QString VergabenModel::cellText(int row, int col) const
{
    if (row == 0 && col >= 1 && col <= kColumns)
        return m_header[col - 1];
    if (!isCell(row, col))
        return {};
    const Line& line = m_lines[row - 1];
    if (col == Datum)
        return line.von.isValid() ? QLocale().toString(line.von, m_dateFormat) : QString();
    if (col == ID)
        return line.bewId ? QString::number(*line.bewId) : QString();
    return *textOf(line, col);
}

QVariant VergabenModel::cellValue(int row, int col) const
{
    if (!isCell(row, col))
        return {};
    const Line& line = m_lines[row - 1];
    if (col == Datum)
        return line.von.isValid() ? QVariant(line.von) : QVariant();
    if (col == ID)
        return line.bewId ? QVariant(*line.bewId) : QVariant();
    return *textOf(line, col);
}

int VergabenModel::backColor() const
{
    if (!isCell(m_row, m_col))
        return kDefaultBackground;
    return m_lines[m_row - 1].back[m_col - 1];
}

void VergabenModel::setBackColor(int rgb)
{
    if (!isCell(m_row, m_col))
        return;
    int& back = m_lines[m_row - 1].back[m_col - 1];
    if (back == rgb)
        return;
    back = rgb;
    cellChanged(m_row, m_col);
}

void VergabenModel::cellChanged(int row, int col)
{
    if (m_quiet > 0)
        return;
    const QModelIndex cell = index(row - 1, col - 1);
    Q_EMIT dataChanged(cell, cell);
}

int VergabenModel::activeRow() const
{
    if (!m_view || !m_view->selectionModel())
        return 0;
    const QModelIndexList selected = m_view->selectionModel()->selectedRows();
    if (!selected.isEmpty())
        return selected.first().row() + 1;
    const QModelIndexList cells = m_view->selectionModel()->selectedIndexes();
    return cells.isEmpty() ? 0 : cells.first().row() + 1;
}

int VergabenModel::colWidth(int col) const
{
    return col >= 1 && col <= kColumns ? m_widths[col - 1] : 0;
}

void VergabenModel::setColWidth(int col, int twips)
{
    if (col < 1 || col > kColumns)
        return;
    twips = std::max(twips, 0);
    m_widths[col - 1] = twips;
    if (!m_view)
        return;
    m_view->setColumnHidden(col - 1, twips == 0);
    if (twips > 0)
        m_view->setColumnWidth(col - 1, tw(twips));
}

void VergabenModel::sort()
{
    const int first = std::max(m_row, 1);
    const int last = std::min(m_blockEndRow, maxRows());
    if (m_sortOrder == SortOrder::None || m_sortKey < 1 || m_sortKey > kColumns || last - first < 1)
        return;

    // Each line's sort value is computed once; then the lines' places are sorted, not the lines.
    const int count = last - first + 1;
    QVector<int> order(count);
    for (int i = 0; i < count; ++i)
        order[i] = first - 1 + i;
    const bool descending = m_sortOrder == SortOrder::Descending;
    const auto sortBy = [&](auto less) {
        if (descending)
            std::stable_sort(order.begin(), order.end(), [&less](int a, int b) { return less(b, a); });
        else
            std::stable_sort(order.begin(), order.end(), less);
    };
    if (m_sortKey == Datum || m_sortKey == ID) {
        // Empty cells first.
        QVector<qint64> value(maxRows(), std::numeric_limits<qint64>::min());
        for (const int line : std::as_const(order)) {
            const Line& l = m_lines[line];
            if (m_sortKey == Datum && l.von.isValid())
                value[line] = l.von.toJulianDay();
            else if (m_sortKey == ID && l.bewId)
                value[line] = *l.bewId;
        }
        sortBy([&value](int a, int b) { return value[a] < value[b]; });
    } else {
        QVector<TextCollation::SortKey> key(maxRows());
        for (const int line : std::as_const(order))
            key[line] = TextCollation::sortKey(*textOf(m_lines[line], m_sortKey));
        sortBy([&key](int a, int b) { return TextCollation::compare(key[a], key[b]) < 0; });
    }

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QVector<int> newPlace(maxRows());
    for (int r = 0; r < newPlace.size(); ++r)
        newPlace[r] = r;
    QVector<Line> sorted;
    sorted.reserve(count);
    for (int i = 0; i < count; ++i) {
        newPlace[order[i]] = first - 1 + i;
        sorted.append(std::move(m_lines[order[i]]));
    }
    std::move(sorted.begin(), sorted.end(), m_lines.begin() + (first - 1));

    // Selection and current index follow their lines.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(index.isValid() ? this->index(newPlace[index.row()], index.column()) : index);
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

VergabenModel::QuietUpdate::QuietUpdate(VergabenModel& model) : m_model(model)
{
    ++m_model.m_quiet;
}

VergabenModel::QuietUpdate::~QuietUpdate()
{
    if (--m_model.m_quiet == 0 && m_model.maxRows() > 0)
        Q_EMIT m_model.dataChanged(m_model.index(0, 0), m_model.index(m_model.maxRows() - 1, kColumns - 1));
}

int VergabenModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : maxRows();
}

int VergabenModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant VergabenModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !isCell(index.row() + 1, index.column() + 1))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row() + 1, index.column() + 1);
    case Qt::BackgroundRole: {
        const int back = m_lines[index.row()].back[index.column()];
        if (back != kDefaultBackground)
            return QColor::fromRgb(static_cast<QRgb>(back));
        return {};
    }
    default:
        return {};
    }
}

QVariant VergabenModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < kColumns ? QVariant(m_header[section]) : QVariant();
}

Qt::ItemFlags VergabenModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
