#include "VergabenModel.h"

#include "ui/Twips.h"

#include <QCollator>
#include <QColor>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QTableView>
#include <algorithm>
#include <optional>

namespace {

// How a cell compares in a sort: empty cells first, then whole numbers, then dates, then text.
enum class Kind { Empty, Number, Date, Text };

struct SortItem
{
    int line = 0;
    Kind kind = Kind::Empty;
    qint64 value = 0;
    std::optional<QCollatorSortKey> text;
};

// Places of day, month and year in the locale's short date form ("dd.MM.yy" gives 0, 1, 2).
struct DateOrder
{
    int day = 0;
    int month = 1;
    int year = 2;
};

DateOrder dateOrder(const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    std::array<std::pair<qsizetype, int*>, 3> places{};
    DateOrder order;
    places[0] = {format.indexOf(QLatin1Char('d')), &order.day};
    places[1] = {format.indexOf(QLatin1Char('M')), &order.month};
    places[2] = {format.indexOf(QLatin1Char('y')), &order.year};
    if (places[0].first < 0 || places[1].first < 0 || places[2].first < 0)
        return {};
    std::sort(places.begin(), places.end());
    for (int i = 0; i < 3; ++i)
        *places[i].second = i;
    return order;
}

// Reads three digit groups joined by single separators, as the date column is written. A hand-made
// reader, because the locale's date parser costs too much for 100,000 cells.
std::optional<qint64> parseDate(const QString& text, const DateOrder& order)
{
    std::array<int, 3> parts{};
    int part = 0;
    int digits = 0;
    for (const QChar ch : text) {
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) {
            if (++digits > 4)
                return std::nullopt;
            parts[part] = parts[part] * 10 + (ch.unicode() - '0');
        } else if ((ch == QLatin1Char('.') || ch == QLatin1Char('/') || ch == QLatin1Char('-')) && digits > 0 &&
                   part < 2) {
            ++part;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || digits == 0)
        return std::nullopt;
    int year = parts[order.year];
    if (year < 100)
        year += 2000;
    const int month = parts[order.month];
    const int day = parts[order.day];
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    return qint64(year) * 10000 + month * 100 + day;
}

std::optional<qint64> parseNumber(const QString& text)
{
    const qsizetype sign = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    if (text.size() == sign || text.size() - sign > 18)
        return std::nullopt;
    qint64 value = 0;
    for (qsizetype i = sign; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (ch.unicode() - '0');
    }
    return sign ? -value : value;
}

bool lessThan(const SortItem& a, const SortItem& b)
{
    if (a.kind != b.kind)
        return a.kind < b.kind;
    if (a.kind == Kind::Text)
        return a.text->compare(*b.text) < 0;
    return a.value < b.value;
}

} // namespace

VergabenModel::VergabenModel(QObject* parent) : QAbstractTableModel(parent)
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

void VergabenModel::setMaxRows(int rows)
{
    rows = std::max(rows, 0);
    const int old = maxRows();
    if (rows == old)
        return;
    const bool quiet = m_bulk > 0;
    if (rows < old) {
        if (!quiet)
            beginRemoveRows({}, rows, old - 1);
        m_lines.resize(rows);
        if (!quiet)
            endRemoveRows();
        return;
    }
    if (!quiet)
        beginInsertRows({}, old, rows - 1);
    Line empty;
    empty.back.fill(kDefaultBackground);
    m_lines.resize(rows, empty);
    if (!quiet)
        endInsertRows();
}

void VergabenModel::setText(const QString& text)
{
    if (m_row == 0 && m_col >= 1 && m_col <= kColumns) {
        m_header[m_col - 1] = text;
        if (m_bulk == 0)
            Q_EMIT headerDataChanged(Qt::Horizontal, m_col - 1, m_col - 1);
        return;
    }
    if (!isCell(m_row, m_col))
        return;
    m_lines[m_row - 1].text[m_col - 1] = text;
    cellChanged(m_row, m_col);
}

QString VergabenModel::cellText(int row, int col) const
{
    if (row == 0 && col >= 1 && col <= kColumns)
        return m_header[col - 1];
    if (!isCell(row, col))
        return {};
    return m_lines[row - 1].text[col - 1];
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
    if (m_bulk > 0)
        return;
    const QModelIndex cell = index(row - 1, col - 1);
    Q_EMIT dataChanged(cell, cell);
}

int VergabenModel::activeRow() const
{
    if (!m_view || !m_view->selectionModel())
        return 0;
    const QModelIndexList selected = m_view->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? 0 : selected.first().row() + 1;
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

    const QLocale locale;
    const DateOrder order = dateOrder(locale);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);

    QVector<SortItem> items(last - first + 1);
    for (int i = 0; i < items.size(); ++i) {
        SortItem& item = items[i];
        item.line = first - 1 + i;
        const QString& text = m_lines[item.line].text[m_sortKey - 1];
        if (text.isEmpty()) {
            item.kind = Kind::Empty;
        } else if (const auto number = parseNumber(text)) {
            item.kind = Kind::Number;
            item.value = *number;
        } else if (const auto date = parseDate(text, order)) {
            item.kind = Kind::Date;
            item.value = *date;
        } else {
            item.kind = Kind::Text;
            item.text = collator.sortKey(text);
        }
    }
    if (m_sortOrder == SortOrder::Ascending)
        std::stable_sort(items.begin(), items.end(), lessThan);
    else
        std::stable_sort(items.begin(), items.end(),
                         [](const SortItem& a, const SortItem& b) { return lessThan(b, a); });

    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    QVector<int> newPlace(maxRows());
    for (int r = 0; r < newPlace.size(); ++r)
        newPlace[r] = r;
    QVector<Line> sorted;
    sorted.reserve(items.size());
    for (int i = 0; i < items.size(); ++i) {
        newPlace[items[i].line] = first - 1 + i;
        sorted.append(std::move(m_lines[items[i].line]));
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

VergabenModel::BulkUpdate::BulkUpdate(VergabenModel& model) : m_model(model)
{
    if (m_model.m_bulk++ == 0)
        m_model.beginResetModel();
}

VergabenModel::BulkUpdate::~BulkUpdate()
{
    if (--m_model.m_bulk == 0)
        m_model.endResetModel();
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
    const Line& line = m_lines[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return line.text[index.column()];
    case Qt::BackgroundRole:
        if (line.back[index.column()] != kDefaultBackground)
            return QColor::fromRgb(static_cast<QRgb>(line.back[index.column()]));
        return {};
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
