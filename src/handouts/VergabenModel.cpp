#include "VergabenModel.h"

#include "core/Blanks.h"
#include "core/DateText.h"
#include "core/TextCollation.h"
#include "core/Texts.h"

#include <QColor>
#include <QLocale>
#include <algorithm>
#include <limits>

VergabenModel::VergabenModel(QObject* parent) : LinesModel(parent), m_dateFormat(DateText::shortFormat())
{
    m_header = {QStringLiteral("Datum"),    QStringLiteral("SchlüsselNr"), QStringLiteral("ZusatzNr"),
                QStringLiteral("Funktion"), QStringLiteral("Person"),      QStringLiteral("ID")};
}

void VergabenModel::setLines(Lines lines)
{
    beginResetModel();
    m_lines = std::move(lines.lines);
    m_texts = std::move(lines.texts);
    m_dateFormat = DateText::shortFormat();
    m_marked = 0;
    endResetModel();
}

const TextStore::Piece* VergabenModel::pieceOf(const Line& line, int col)
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

VergabenModel::Values VergabenModel::line(int row) const
{
    if (!isLine(row))
        return {};
    const Line& l = m_lines[row - 1];
    return {l.von, textOf(l.schluesselNr), textOf(l.zusatzNr), textOf(l.funktion), textOf(l.person), l.bewId};
}

std::optional<qint32> VergabenModel::movement(int row) const
{
    return isLine(row) ? m_lines[row - 1].bewId : std::nullopt;
}

QString VergabenModel::text(int row, int col) const
{
    if (!isLine(row))
        return {};
    const Line& l = m_lines[row - 1];
    if (col == Datum)
        return l.von.isValid() ? QLocale().toString(l.von, m_dateFormat) : QString();
    if (col == ID)
        return l.bewId ? QString::number(*l.bewId) : QString();
    const TextStore::Piece* piece = pieceOf(l, col);
    return piece ? textOf(*piece) : QString();
}

void VergabenModel::setHeaderTexts(const QStringList& captions)
{
    for (int c = 0; c < captions.size() && c < Person; ++c)
        m_header[c] = captions.at(c);
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, Person - 1);
}

QString VergabenModel::headerText(int col) const
{
    return col >= 1 && col <= kColumns ? m_header.at(col - 1) : QString();
}

void VergabenModel::sortBy(int col)
{
    if (col < 1 || col > kColumns)
        return;
    m_marked = col;
    m_sortColumn = col;
    m_sortOrder = m_sortOrder == SortOrder::Ascending ? SortOrder::Descending : SortOrder::Ascending;
    if (maxRows() == 0)
        return;

    // Each line's sort value is computed once; then the lines' places are sorted, not the lines.
    QVector<int> order(maxRows());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    const auto sortWith = [&](auto less) {
        if (m_sortOrder == SortOrder::Descending)
            std::stable_sort(order.begin(), order.end(), [&less](int a, int b) { return less(b, a); });
        else
            std::stable_sort(order.begin(), order.end(), less);
    };
    if (col == Datum || col == ID) {
        // Empty cells first.
        QVector<qint64> value(maxRows(), std::numeric_limits<qint64>::min());
        for (int i = 0; i < maxRows(); ++i) {
            const Line& l = m_lines[i];
            if (col == Datum && l.von.isValid())
                value[i] = l.von.toJulianDay();
            else if (col == ID && l.bewId)
                value[i] = *l.bewId;
        }
        sortWith([&value](int a, int b) { return value[a] < value[b]; });
    } else {
        QVector<TextCollation::SortKey> key(maxRows());
        for (int i = 0; i < maxRows(); ++i)
            key[i] = TextCollation::sortKey(m_texts.view(*pieceOf(m_lines[i], col)));
        sortWith([&key](int a, int b) { return TextCollation::compare(key[a], key[b]) < 0; });
    }

    reorder(m_lines, order);
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
    if (!index.isValid() || !isLine(index.row() + 1))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row() + 1, index.column() + 1);
    case Qt::BackgroundRole:
        if (index.column() + 1 == m_marked)
            return QColor(0xC0, 0xC0, 0xC0); // the sorted column, light grey
        return {};
    case Qt::ToolTipRole:
        return index.column() + 1 == Person ? personToolTip(index.row() + 1) : QVariant();
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
    return headerText(section + 1);
}

QVariant VergabenModel::personToolTip(int row) const
{
    const std::optional<qint32> bewId = movement(row);
    if (!bewId || !personalNumberOf)
        return {};
    const QString number = personalNumberOf(*bewId);
    return trimTrailingBlanks(text(row, Person)) + QStringLiteral(" – ") +
           (number.isEmpty() ? GetText(QStringLiteral("ohne Personalnummer"), 2040)
                             : GetText(QStringLiteral("Personalnummer"), 822) + QLatin1Char(' ') + number);
}

Qt::ItemFlags VergabenModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
