#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QString>
#include <QVector>
#include <array>

class QTableView;

// The handout grid's lines and the grid operations the program works with: rows and columns are
// counted from 1, row 0 is the header row. Every cell holds text. The program addresses cells
// through the current row and column, as it would a spreadsheet control; reads and writes outside
// the grid are ignored.
class VergabenModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kColumns = 6;
    static constexpr int kDefaultBackground = -1;

    // The sort order of sort key 1. One state for the whole grid that survives refills.
    enum class SortOrder { None = 0, Ascending = 1, Descending = 2 };

    explicit VergabenModel(QObject* parent = nullptr);

    // Shows the model in the view: its selection gives the active row, its header the column widths.
    void attachView(QTableView* view);

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
    void setText(const QString& text);
    QString cellText(int row, int col) const;

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
    // Dates (in the locale's short form) and whole numbers compare by value, other text in the
    // locale's order without regard to case; empty cells come first. Equal cells keep their order.
    void sort();

    // Keeps the views quiet while many rows are written; they reread everything at the end.
    class BulkUpdate
    {
    public:
        explicit BulkUpdate(VergabenModel& model);
        ~BulkUpdate();
        BulkUpdate(const BulkUpdate&) = delete;
        BulkUpdate& operator=(const BulkUpdate&) = delete;

    private:
        VergabenModel& m_model;
    };

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Line
    {
        std::array<QString, kColumns> text;
        std::array<int, kColumns> back;
    };

    bool isCell(int row, int col) const { return row >= 1 && row <= maxRows() && col >= 1 && col <= kColumns; }
    void cellChanged(int row, int col);

    QVector<Line> m_lines;
    std::array<QString, kColumns> m_header;
    std::array<int, kColumns> m_widths;
    int m_row = 0;
    int m_col = 1;
    int m_blockEndRow = 0;
    int m_blockEndCol = kColumns;
    int m_sortKey = 1;
    SortOrder m_sortOrder = SortOrder::None;
    int m_bulk = 0;
    QPointer<QTableView> m_view;
};
