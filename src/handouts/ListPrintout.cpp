#include "ListPrintout.h"

#include "VergabenModel.h"
#include "widgets/Printout.h"
#include "widgets/QtLinePrinter.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace {
constexpr double kHeaderPoints = 12;
constexpr double kTablePoints = 9;
constexpr double kGapPoints = 8;       // between page header, table and footer
constexpr double kPaddingPoints = 2.5; // inside each cell
constexpr double kRulePoints = 0.5;
const QColor kHeaderBackground(0xE0, 0xE0, 0xE0);

// Cell text breaks between words, and inside a word only when the word alone is too wide.
QTextOption cellOption()
{
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

double wrappedHeight(const QString& text, const QFont& font, QPaintDevice& device, double width)
{
    QTextLayout layout(text, font, &device);
    layout.setTextOption(cellOption());
    double height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += line.height();
    }
    layout.endLayout();
    return height;
}
} // namespace

ListPrintout::Table ListPrintout::fromGrid(const VergabenModel& grid)
{
    Table table;
    for (int col = VergabenModel::Datum; col <= VergabenModel::Person; ++col)
        table.headers << grid.headerText(col);
    table.lines.reserve(grid.maxRows());
    for (int row = 1; row <= grid.maxRows(); ++row) {
        QStringList line;
        line.reserve(table.headers.size());
        for (int col = VergabenModel::Datum; col <= VergabenModel::Person; ++col)
            line << grid.text(row, col);
        table.lines << line;
    }
    return table;
}

ListPrintout::ListPrintout(Table table, QString pageHeader, QString footer, QString note)
    : m_table(std::move(table)), m_pageHeader(std::move(pageHeader)), m_footer(std::move(footer)),
      m_note(std::move(note))
{
}

double ListPrintout::rowHeight(const QStringList& cells, const QFont& font, QPagedPaintDevice& device) const
{
    const QFontMetricsF metrics(font, &device);
    double height = metrics.height();
    for (qsizetype col = 0; col < cells.size() && col < m_wraps.size(); ++col) {
        if (!m_wraps[col])
            continue;
        const double room = m_columnX[col + 1] - m_columnX[col] - 2 * m_padding;
        // Most cells fit on one line; only the others are measured wrapped.
        if (metrics.horizontalAdvance(cells[col]) > room)
            height = std::max(height, wrappedHeight(cells[col], font, device, room));
    }
    return height + 2 * m_padding;
}

void ListPrintout::layoutColumns(QPagedPaintDevice& device)
{
    // Each column's natural width: its widest text on one line.
    const qsizetype columns = m_table.headers.size();
    QList<double> natural(columns, 0);
    const QFontMetricsF bold(QtLinePrinter::font(kTablePoints, true), &device);
    const QFontMetricsF plain(QtLinePrinter::font(kTablePoints), &device);
    for (qsizetype col = 0; col < columns; ++col)
        natural[col] = bold.horizontalAdvance(m_table.headers[col]);
    for (const QStringList& line : m_table.lines) {
        for (qsizetype col = 0; col < columns && col < line.size(); ++col)
            natural[col] = std::max(natural[col], plain.horizontalAdvance(line[col]));
    }
    for (double& w : natural)
        w += 2 * m_padding + 1;

    // Columns narrower than an even share keep their width; the others share the rest by their
    // natural widths. With room to spare, every column grows in proportion.
    QList<double> width = natural;
    QList<bool> fixed(columns, false);
    double room = m_body.width();
    qsizetype open = columns;
    for (bool changed = true; changed;) {
        changed = false;
        for (qsizetype col = 0; col < columns; ++col) {
            if (!fixed[col] && natural[col] <= room / double(open)) {
                fixed[col] = true;
                room -= natural[col];
                --open;
                changed = true;
            }
        }
    }
    double wanted = 0;
    for (qsizetype col = 0; col < columns; ++col)
        wanted += fixed[col] ? 0 : natural[col];
    if (wanted > 0) {
        for (qsizetype col = 0; col < columns; ++col) {
            if (!fixed[col])
                width[col] = room * natural[col] / wanted;
        }
    } else {
        double total = 0;
        for (double w : natural)
            total += w;
        for (double& w : width)
            w = total > 0 ? w * m_body.width() / total : 0;
    }
    m_columnX = {0};
    m_wraps.clear();
    for (qsizetype col = 0; col < columns; ++col) {
        m_columnX << m_columnX.last() + width[col];
        m_wraps << (width[col] < natural[col]);
    }
}

void ListPrintout::layout(QPagedPaintDevice& device)
{
    const double dpi = device.logicalDpiY();
    const auto points = [dpi](double pt) { return pt * dpi / 72.0; };
    m_page = QRectF(QPointF(0, 0), device.pageLayout().paintRectPixels(device.logicalDpiX()).size());
    double top = QFontMetricsF(QtLinePrinter::font(kHeaderPoints, true), &device).height() + points(kGapPoints);
    if (!m_note.isEmpty())
        top += QFontMetricsF(QtLinePrinter::font(kTablePoints), &device).height();
    const double bottom =
        QFontMetricsF(QtLinePrinter::font(Printout::kFooterPoints), &device).height() + points(kGapPoints);
    m_body = m_page.adjusted(0, top, 0, -bottom);
    m_padding = points(kPaddingPoints);

    layoutColumns(device);

    const QFont font = QtLinePrinter::font(kTablePoints);
    m_headerHeight = rowHeight(m_table.headers, QtLinePrinter::font(kTablePoints, true), device);
    m_heights.clear();
    m_heights.reserve(m_table.lines.size());
    m_pageStarts = {0};
    double used = m_headerHeight;
    for (int line = 0; line < m_table.lines.size(); ++line) {
        const double height = rowHeight(m_table.lines[line], font, device);
        m_heights << height;
        // A line that does not fit goes to the next page, unless it would stand alone there too.
        if (used + height > m_body.height() && line > m_pageStarts.last()) {
            m_pageStarts << line;
            used = m_headerHeight;
        }
        used += height;
    }
}

int ListPrintout::firstLine(int page) const
{
    return page > pageCount() ? int(m_table.lines.size()) + 1 : m_pageStarts[page - 1] + 1;
}

void ListPrintout::drawRow(QPainter& painter, const QStringList& cells, double top, double height) const
{
    for (qsizetype col = 0; col < cells.size() && col + 1 < m_columnX.size(); ++col) {
        const QRectF cell(m_columnX[col], top, m_columnX[col + 1] - m_columnX[col], height);
        painter.drawText(cell.adjusted(m_padding, m_padding, -m_padding, -m_padding), cells[col], cellOption());
    }
    painter.drawLine(QPointF(0, top + height), QPointF(m_columnX.last(), top + height));
}

void ListPrintout::drawPage(QPainter& painter, int page) const
{
    painter.save();
    QPen rule(Qt::black);
    rule.setWidthF(kRulePoints * painter.device()->logicalDpiY() / 72.0);
    painter.setPen(rule);
    painter.setFont(QtLinePrinter::font(kHeaderPoints, true));
    painter.drawText(QRectF(0, 0, m_page.width(), m_body.top()), Qt::AlignLeft | Qt::AlignTop, m_pageHeader);
    if (!m_note.isEmpty()) {
        painter.setFont(QtLinePrinter::font(kTablePoints));
        const double below = QFontMetricsF(QtLinePrinter::font(kHeaderPoints, true), painter.device()).height();
        painter.drawText(QRectF(0, below, m_page.width(), m_body.top() - below), Qt::AlignLeft | Qt::AlignTop, m_note);
    }

    const double tableTop = m_body.top();
    painter.fillRect(QRectF(0, tableTop, m_columnX.last(), m_headerHeight), kHeaderBackground);
    painter.setFont(QtLinePrinter::font(kTablePoints, true));
    drawRow(painter, m_table.headers, tableTop, m_headerHeight);
    painter.setFont(QtLinePrinter::font(kTablePoints));
    double y = tableTop + m_headerHeight;
    for (int line = firstLine(page) - 1; line < firstLine(page + 1) - 1; ++line) {
        drawRow(painter, m_table.lines[line], y, m_heights[line]);
        y += m_heights[line];
    }
    // The frame and the column rules, from the header's top to the last line's bottom.
    painter.drawLine(QPointF(0, tableTop), QPointF(m_columnX.last(), tableTop));
    for (double x : m_columnX)
        painter.drawLine(QPointF(x, tableTop), QPointF(x, y));

    Printout::footer(painter, QRectF(0, m_body.bottom(), m_page.width(), m_page.height() - m_body.bottom()), m_footer,
                     page, pageCount());
    painter.restore();
}

bool ListPrintout::print(QPagedPaintDevice& device)
{
    layout(device);
    return Printout::pages(device, pageCount(), [this](QPainter& painter, int page) { drawPage(painter, page); });
}
