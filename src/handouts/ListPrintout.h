#pragma once

#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QPainter;
class VergabenModel;

// The handout list on paper: the grid's shown columns as a ruled table whose header row repeats at
// the top of every page, under a page header and an optional note line (what the list holds), above a
// footer with a description and "page / pages".
// Columns get the room their texts need; when the page is too narrow, the widest ones share what is
// left and wrap their texts inside. A line never splits across pages.
class ListPrintout
{
public:
    // What the grid shows: header texts and lines in their order, the hidden column left out.
    struct Table
    {
        QStringList headers;
        QList<QStringList> lines;
    };

    // The grid's shown columns and its lines in the order it shows them.
    static Table fromGrid(const VergabenModel& grid);

    ListPrintout(Table table, QString pageHeader, QString footer, QString note = {});

    // Lays the table out on pages of the device's printable area.
    void layout(QPagedPaintDevice& device);
    int pageCount() const { return int(m_pageStarts.size()); }
    // Lines firstLine(page) .. firstLine(page + 1) - 1 stand on a page; lines and pages count from 1.
    int firstLine(int page) const;
    // Draws one page with the painter's origin at the printable area's corner.
    void drawPage(QPainter& painter, int page) const;
    // Lays out and prints every page; false when the device refused.
    bool print(QPagedPaintDevice& device);

private:
    void layoutColumns(QPagedPaintDevice& device);
    double rowHeight(const QStringList& cells, const QFont& font, QPagedPaintDevice& device) const;
    void drawRow(QPainter& painter, const QStringList& cells, double top, double height) const;

    Table m_table;
    QString m_pageHeader;
    QString m_footer;
    QString m_note;
    QRectF m_page;             // printable area in device pixels, from its own corner
    QRectF m_body;             // the table's part of each page
    QList<double> m_columnX;   // left edges of the columns, then the right edge of the last
    QList<bool> m_wraps;       // columns narrower than their widest text
    double m_padding = 0;      // inside each cell, on every side
    double m_headerHeight = 0; // the table's header row
    QList<double> m_heights;   // each line's height
    QList<int> m_pageStarts;   // index of the first line of each page
};
