#pragma once
// The page level of a Jet file: data pages filled with rows from the end of the page, rows packed with their
// offset tables and null masks, usage maps that list a table's pages. Jet 3 and Jet 4 differ in page size, in
// the width of the row offsets and in a few header positions; everything here serves both.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <vector>

namespace JetPages {

// Thrown by everything below; JetWriter::write turns it into its answer.
struct Failure
{
    QString text;
};

// Page pointers within a file address a row as page << 8 | row.
inline quint32 pageRow(quint32 page, int row)
{
    return page << 8 | static_cast<quint32>(row);
}

void put16(QByteArray& bytes, int at, quint32 value);
void put32(QByteArray& bytes, int at, quint32 value);
quint32 get16(const QByteArray& bytes, int at);
quint32 get32(const QByteArray& bytes, int at);

struct Geometry
{
    bool jet3 = false;
    int pageSize = 4096;
    int rowCountOffset = 12; // a data page's row count; its row offsets follow
    int mapRowSize = 69;     // a usage map row: its type byte, then the start page and the bitmap, or page pointers

    static Geometry of(bool jet3);
    // The largest row: alone on a data page, with its one offset.
    int maxRow() const { return pageSize - rowCountOffset - 4; }
};

// The file being written: pages are numbered on and written where they belong.
class File
{
public:
    File(const QString& path, const Geometry& geometry, quint32 firstFreePage);
    const Geometry& geometry() const { return m_geometry; }
    quint32 allocate() { return m_next++; }
    void write(quint32 page, const QByteArray& bytes);
    // A page holding one row alone, as the parts of a long value spread over several pages are kept.
    quint32 writeSingleRow(const QByteArray& owner, const QByteArray& row);
    void close();
    void remove();

private:
    QFile m_file;
    Geometry m_geometry;
    quint32 m_next;
};

// The data pages of one owner (a table definition page, or "LVAL" for long values), filled row by row;
// a full page goes to the file and the next one is begun.
class DataPages
{
public:
    DataPages(File& file, const QByteArray& owner);
    // Where the row went, as a page pointer.
    quint32 add(const QByteArray& row);
    // Begins the first page at once, so that it gets a low page number.
    void begin();
    void finish();
    const std::vector<quint32>& pages() const { return m_pages; }

private:
    void flush();

    File& m_file;
    QByteArray m_owner;
    QByteArray m_page;
    int m_rows = 0;
    int m_free = 0; // where the last row begins
    std::vector<quint32> m_pages;
};

// A usage map row listing these pages (ascending): the bitmap within the row where they fit, else pointers
// to map pages (written here) whose bitmaps cover the whole file.
QByteArray usageMap(File& file, const std::vector<quint32>& pages);

// Marks a page in a usage map row that lists pages by a bitmap of its own; false when it lies outside.
bool addToUsageMap(QByteArray& map, int at, int size, quint32 page);

// The layout of one column within a row.
struct Slot
{
    int number = 0;       // the column's number: its bit in the null mask
    bool fixed = true;    // else variable length
    int offset = 0;       // fixed: where its bytes begin after the column count
    int varIndex = 0;     // variable: its place among the variable columns
    bool boolean = false; // a yes/no keeps its value in the null mask
};

// Packs rows of one table: set the values present, then take the row.
class RowPacker
{
public:
    RowPacker(const Geometry& geometry, std::vector<Slot> slots, int fixedSize);
    void clear();
    void setFixed(int column, const char* bytes, int size);
    void setBoolean(int column, bool value);
    void setVariable(int column, const QByteArray& bytes);
    const QByteArray& row();

private:
    Geometry m_geometry;
    std::vector<Slot> m_slots;
    int m_columns = 0; // counted in the row: the highest column number + 1
    int m_fixedSize;
    int m_varCount = 0;
    QByteArray m_fixed;
    std::vector<QByteArray> m_var;
    std::vector<bool> m_present;
    QByteArray m_row;
};

} // namespace JetPages
