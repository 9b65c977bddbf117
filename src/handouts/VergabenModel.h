#pragma once

#include <QAbstractTableModel>
#include <QDate>
#include <QPointer>
#include <QString>
#include <QVector>
#include <array>
#include <optional>

class QTableView;

// The handout grid: one line per copy out. Rows and columns are counted from 1, row 0 is the header
// row. The program addresses cells through the current row and column, as it would a spreadsheet
// control; reads and writes outside the grid are ignored.
//
// Each cell keeps its typed value (the handout's date, the movement's number, text) and shows it as
// text; sorting and reading back use the value, so no shown text is ever parsed again.
class VergabenModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kColumns = 6;
    static constexpr int kDefaultBackground = -1;
    enum Column { Datum = 1, SchluesselNr, ZusatzNr, Funktion, Person, ID };

    // The sort order of sort key 1. One state for the whole grid that survives refills.
    enum class SortOrder { None = 0, Ascending = 1, Descending = 2 };

    // The values of one line.
    struct Line
    {
        QDate von;                   // Datum; invalid shows as an empty cell
        QString schluesselNr;        //
        QString zusatzNr;            //
        QString funktion;            //
        QString person;              //
        std::optional<qint32> bewId; // ID, the hidden column
        std::array<int, kColumns> back{kDefaultBackground, kDefaultBackground, kDefaultBackground,
                                       kDefaultBackground, kDefaultBackground, kDefaultBackground};
    };

    explicit VergabenModel(QObject* parent = nullptr);

    // Shows the model in the view: its selection gives the active row, its header the column widths.
    void attachView(QTableView* view);

    // Replaces every line at once (the refill); nothing stays selected. The sort order state stays.
    void setLines(QVector<Line> lines);

    // Number of data rows. Lowering it drops rows at the end (0 empties the grid), raising it
    // appends empty rows.
    int maxRows() const { return static_cast<int>(m_lines.size()); }
    void setMaxRows(int rows);
    int maxCols() const { return kColumns; }

    // The current cell.
    int row() const { return m_row; }
    void setRow(int row) { m_row = row; }
    int col() const { return m_col; }
    void setCol(int col) { m_col = col; }

    // Text of the current cell; in row 0 the column's header text.
    QString text() const { return cellText(m_row, m_col); }
    // Writes the current cell: in row 0 the header text; in the date column a date in the short form,
    // in the hidden column a number, elsewhere the text itself.
    void setText(const QString& text);
    // The text a cell shows: the date in the user's short form with four-digit year, the number in
    // decimal digits, the text as stored.
    QString cellText(int row, int col) const;
    // The value behind a cell: a QDate, an int, or a QString; null for an empty date or number.
    QVariant cellValue(int row, int col) const;

    // Background of the current cell as 0xRRGGBB, or kDefaultBackground.
    int backColor() const;
    void setBackColor(int rgb);

    // The row the user selected in the view, 0 when none is selected.
    int activeRow() const;

    // Column width in twips; 0 hides the column.
    int colWidth(int col) const;
    void setColWidth(int col, int twips);

    // The block a sort works on runs from the current row to the block end row. The sort always
    // moves whole lines, so the hidden identifier stays with its line.
    int blockEndRow() const { return m_blockEndRow; }
    void setBlockEndRow(int row) { m_blockEndRow = row; }
    int blockEndCol() const { return m_blockEndCol; }
    void setBlockEndCol(int col) { m_blockEndCol = col; }
    int sortKey() const { return m_sortKey; }
    void setSortKey(int col) { m_sortKey = col; }
    SortOrder sortKeyOrder() const { return m_sortOrder; }
    void setSortKeyOrder(SortOrder order) { m_sortOrder = order; }
    // Sorts the block by the sort key column in the sort key order; with order None nothing moves.
    // Dates and numbers compare by value, empty ones first; text compares as the register's text
    // columns do (case and accents second, trailing blanks not at all). Equal cells keep their order.
    void sort();

    // Keeps the views quiet while many cells change; at the end they repaint once. Selection, current
    // line and scroll position stay.
    class QuietUpdate
    {
    public:
        explicit QuietUpdate(VergabenModel& model);
        ~QuietUpdate();
        QuietUpdate(const QuietUpdate&) = delete;
        QuietUpdate& operator=(const QuietUpdate&) = delete;

    private:
        VergabenModel& m_model;
    };

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    bool isCell(int row, int col) const { return row >= 1 && row <= maxRows() && col >= 1 && col <= kColumns; }
    void cellChanged(int row, int col);
    // The text member behind a text column; nullptr for the date and the number column.
    static const QString* textOf(const Line& line, int col);
    static QString* textOf(Line& line, int col) { return const_cast<QString*>(textOf(std::as_const(line), col)); }

    QVector<Line> m_lines;
    QString m_dateFormat;
    std::array<QString, kColumns> m_header;
    std::array<int, kColumns> m_widths;
    int m_row = 0;
    int m_col = 1;
    int m_blockEndRow = 0;
    int m_blockEndCol = kColumns;
    int m_sortKey = 1;
    SortOrder m_sortOrder = SortOrder::None;
    int m_quiet = 0;
    QPointer<QTableView> m_view;
};
