#pragma once

#include "plan/PlanMatrix.h"

#include <QRectF>
#include <QString>

class QPagedPaintDevice;
class QPainter;

// The locking plan on paper: the matrix cut into pages, down the cylinders and across the keys, each
// page with the key numbers (turned upright) along its top and the cylinders and doors down its left
// side, under a page header that names its part of the plan, above a footer with "page / pages".
class SchliessplanPrintout
{
public:
    SchliessplanPrintout(const PlanMatrix& plan, QString title, QString footer);

    // Lays the matrix out on pages of the device's printable area.
    void layout(QPagedPaintDevice& device);
    int pageCount() const { return m_rowPages * m_keyPages; }
    // The cylinders [first, last) and key positions [first, last) on a page; pages count from 1.
    std::pair<int, int> rowsOf(int page) const;
    std::pair<int, int> keysOf(int page) const;
    // Draws one page with the painter's origin at the printable area's corner.
    void drawPage(QPainter& painter, int page) const;
    // Lays out and prints every page; false when the device refused.
    bool print(QPagedPaintDevice& device);

private:
    const PlanMatrix& m_plan;
    QString m_title;
    QString m_footer;
    QRectF m_page;            // printable area in device pixels, from its own corner
    double m_top = 0;         // the page header's height with its gap
    double m_bottom = 0;      // the footer's, with its gap
    double m_cell = 0;        // side of a crossing's square, and a row's height
    double m_numberWidth = 0; // the cylinder column
    double m_doorWidth = 0;   // the door column
    double m_keyHeight = 0;   // the row of upright key numbers
    double m_padding = 0;
    int m_rowsPerPage = 1;
    int m_keysPerPage = 1;
    int m_rowPages = 1;
    int m_keyPages = 1;
};
