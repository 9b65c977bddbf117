#pragma once

#include <QMarginsF>
#include <QString>
#include <functional>

class QDateTime;
class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QRectF;

// Where one printout goes: the system's default printer, or a new PDF file when the program runs with
// --print-to-pdf DIR or no printer is installed (then in the documents folder). The user is told the
// file's path, and why when a printout could not be made: a printout never vanishes silently.
class Printout
{
public:
    // what and tag make the file name; title names the document; margins are in twips.
    // draw lays the pages out and returns false when it could not finish.
    static bool run(const QString& what, const QString& tag, const QString& title, const QMarginsF& margins,
                    const std::function<bool(QPrinter&)>& draw);

    // Draws pages 1 to count on the device, each after the first on a new page; false when the device
    // refused.
    static bool pages(QPagedPaintDevice& device, int count, const std::function<void(QPainter&, int page)>& draw);

    // The footer's size in points.
    static constexpr double kFooterPoints = 8;
    // A page's footer in area: text on the left, "page / count" on the right, both on its bottom line.
    static void footer(QPainter& painter, const QRectF& area, const QString& text, int page, int count);

    // The folder that printouts go to as PDF files; empty when they go to the printer.
    static QString pdfDir();

    // A path in dir that no file has yet: what-yyyy-MM-dd-hhmm[-tag].pdf, else with -2, -3, ... added.
    // The tag keeps only letters, digits and dashes, at most 60 bytes of them.
    static QString newPdfPath(const QString& dir, const QString& what, const QString& tag, const QDateTime& when);
};
