#pragma once

#include "TextStore.h"
#include "widgets/LinesModel.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

// The lines of the handout grid: one per copy out, the newest first as the refill reads them. Rows and
// columns are counted from 1, as the rest of the program counts them; row 0 stands for no line.
//
// Each line keeps its typed values (the handout's date, the movement's number, texts) and the grid shows
// them as text; sorting and reading back use the values, so no shown text is ever parsed again.
class VergabenModel : public LinesModel
{
    Q_OBJECT
public:
    static constexpr int kColumns = 6;
    enum Column { Datum = 1, SchluesselNr, ZusatzNr, Funktion, Person, ID };

    // The order of the last sort. One state for the whole grid, kept across refills.
    enum class SortOrder { None = 0, Ascending = 1, Descending = 2 };

    // A line as stored: its texts are pieces of the list's text store.
    struct Line
    {
        QDate von; // invalid shows as an empty cell
        TextStore::Piece schluesselNr;
        TextStore::Piece zusatzNr;
        TextStore::Piece funktion;
        TextStore::Piece person;
        std::optional<qint32> bewId; // the hidden column
    };

    // What a refill reads: the lines and the store that holds their texts.
    struct Lines
    {
        QVector<Line> lines;
        TextStore texts;
    };

    // A line's values as the grid shows them.
    struct Values
    {
        QDate von;
        QString schluesselNr;
        QString zusatzNr;
        QString funktion;
        QString person;
        std::optional<qint32> bewId;
    };

    explicit VergabenModel(QObject* parent = nullptr);

    // Replaces every line at once (the refill): nothing stays selected and no column stays marked; the
    // sort order state stays.
    void setLines(Lines lines);
    int maxRows() const { return static_cast<int>(m_lines.size()); }

    // The values of line row (1 to maxRows()); empty values outside.
    Values line(int row) const;
    // The movement a line stands for: its hidden identifier; none outside or when the line has none.
    std::optional<qint32> movement(int row) const;
    // A cell as shown: the date in the user's short form with four-digit year, the number in decimal
    // digits, the text as stored.
    QString text(int row, int col) const;

    // The captions of columns 1 to 5; the hidden column has none of its own.
    void setHeaderTexts(const QStringList& captions);
    QString headerText(int col) const;

    // A click into a column: marks the column grey (the mark of an earlier one goes), turns the one
    // order state (ascending after descending or none, else descending) and sorts every line by the
    // column in that order. Lines move whole, so the hidden identifier stays with its line; equal cells
    // keep their order. Dates and numbers compare by value, empty ones first; text compares as the
    // register's text columns do (case and accents second, trailing blanks not at all).
    void sortBy(int col);
    int sortColumn() const { return m_sortColumn; }
    SortOrder sortOrder() const { return m_sortOrder; }
    int markedColumn() const { return m_marked; } // 0 when none

    // Where a person cell's tooltip finds the holder's personnel number, which the list does not show:
    // namesakes differ there. Asked only when a tooltip is wanted.
    std::function<QString(qint32 bewId)> personalNumberOf;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QVariant personToolTip(int row) const;
    bool isLine(int row) const { return row >= 1 && row <= maxRows(); }
    QString textOf(const TextStore::Piece& piece) const { return m_texts.view(piece).toString(); }
    // The piece behind a text column; nullptr for the date and the number column.
    static const TextStore::Piece* pieceOf(const Line& line, int col);

    QVector<Line> m_lines;
    TextStore m_texts;
    QString m_dateFormat;
    QStringList m_header;
    int m_sortColumn = 1;
    SortOrder m_sortOrder = SortOrder::None;
    int m_marked = 0;
};

// Lines move in memory as plain bytes when the list grows.
Q_DECLARE_TYPEINFO(VergabenModel::Line, Q_RELOCATABLE_TYPE);
