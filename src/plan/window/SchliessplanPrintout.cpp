#include "SchliessplanPrintout.h"

#include "core/Texts.h"
#include "widgets/Printout.h"
#include "widgets/QtLinePrinter.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
constexpr double kTitlePoints = 12;
constexpr double kCellPoints = 8;
constexpr double kGapPoints = 8;
constexpr double kPaddingPoints = 2;
constexpr double kRulePoints = 0.5;
constexpr double kDoorShare = 0.3; // of the page width at most; longer doors are cut short with "…"
const QColor kHeaderBackground(0xE0, 0xE0, 0xE0);

int pagesFor(qsizetype items, int perPage)
{
    return std::max(1, int((items + perPage - 1) / perPage));
}
} // namespace

SchliessplanPrintout::SchliessplanPrintout(const PlanMatrix& plan, QString title, QString footer)
    : m_plan(plan), m_title(std::move(title)), m_footer(std::move(footer))
{
}

void SchliessplanPrintout::layout(QPagedPaintDevice& device)
{
    const double dpi = device.logicalDpiY();
    const auto points = [dpi](double pt) { return pt * dpi / 72.0; };
    m_page = QRectF(QPointF(0, 0), device.pageLayout().paintRectPixels(device.logicalDpiX()).size());
    m_top = QFontMetricsF(QtLinePrinter::font(kTitlePoints, true), &device).height() + points(kGapPoints);
    m_bottom = QFontMetricsF(QtLinePrinter::font(Printout::kFooterPoints), &device).height() + points(kGapPoints);
    m_padding = points(kPaddingPoints);

    const QFontMetricsF plain(QtLinePrinter::font(kCellPoints), &device);
    const QFontMetricsF bold(QtLinePrinter::font(kCellPoints, true), &device);
    m_cell = plain.height() + 2 * m_padding;
    m_numberWidth = bold.horizontalAdvance(GetText(QStringLiteral("Zylinder"), 1924));
    m_doorWidth = bold.horizontalAdvance(GetText(QStringLiteral("Tür"), 1925));
    for (const PlanMatrix::Cylinder& cylinder : m_plan.cylinders) {
        m_numberWidth = std::max(m_numberWidth, plain.horizontalAdvance(cylinder.number));
        m_doorWidth = std::max(m_doorWidth, plain.horizontalAdvance(cylinder.door));
    }
    m_numberWidth += 2 * m_padding + 1;
    m_doorWidth = std::min(m_doorWidth + 2 * m_padding + 1, m_page.width() * kDoorShare);
    m_keyHeight = 0;
    for (const QString& key : m_plan.keys)
        m_keyHeight = std::max(m_keyHeight, bold.horizontalAdvance(key));
    m_keyHeight = std::max(m_keyHeight + 2 * m_padding, m_cell);

    const double across = m_page.width() - m_numberWidth - m_doorWidth;
    const double down = m_page.height() - m_top - m_bottom - m_keyHeight;
    m_keysPerPage = std::max(1, int(std::floor(across / m_cell)));
    m_rowsPerPage = std::max(1, int(std::floor(down / m_cell)));
    m_rowPages = pagesFor(m_plan.cylinders.size(), m_rowsPerPage);
    m_keyPages = pagesFor(m_plan.keys.size(), m_keysPerPage);
}

std::pair<int, int> SchliessplanPrintout::rowsOf(int page) const
{
    const int first = (page - 1) / m_keyPages * m_rowsPerPage;
    return {first, std::min(int(m_plan.cylinders.size()), first + m_rowsPerPage)};
}

std::pair<int, int> SchliessplanPrintout::keysOf(int page) const
{
    const int first = (page - 1) % m_keyPages * m_keysPerPage;
    return {first, std::min(int(m_plan.keys.size()), first + m_keysPerPage)};
}

void SchliessplanPrintout::drawPage(QPainter& painter, int page) const
{
    const auto [firstRow, endRow] = rowsOf(page);
    const auto [firstKey, endKey] = keysOf(page);
    painter.save();
    QPen rule(Qt::black);
    rule.setWidthF(kRulePoints * painter.device()->logicalDpiY() / 72.0);
    painter.setPen(rule);

    // Which part of the plan the page holds, counted from 1 as the rows and columns of the plan are.
    painter.setFont(QtLinePrinter::font(kTitlePoints, true));
    QString header = m_title;
    if (pageCount() > 1)
        header += QStringLiteral(" – ") + GetText(QStringLiteral("Zylinder %1 bis %2, Schlüssel %3 bis %4"), 1932)
                                              .arg(firstRow + 1)
                                              .arg(endRow)
                                              .arg(firstKey + 1)
                                              .arg(endKey);
    painter.drawText(QRectF(0, 0, m_page.width(), m_top), Qt::AlignLeft | Qt::AlignTop, header);

    const double top = m_top;
    const double left = m_numberWidth + m_doorWidth;
    const double right = left + (endKey - firstKey) * m_cell;
    const double bottom = top + m_keyHeight + (endRow - firstRow) * m_cell;
    painter.fillRect(QRectF(0, top, right, m_keyHeight), kHeaderBackground);
    painter.setFont(QtLinePrinter::font(kCellPoints, true));
    const QRectF titles(m_padding, top, m_numberWidth - 2 * m_padding, m_keyHeight - m_padding);
    painter.drawText(titles, Qt::AlignLeft | Qt::AlignBottom, GetText(QStringLiteral("Zylinder"), 1924));
    painter.drawText(titles.translated(m_numberWidth, 0), Qt::AlignLeft | Qt::AlignBottom,
                     GetText(QStringLiteral("Tür"), 1925));
    for (int k = firstKey; k < endKey; ++k) {
        // Upright, reading from bottom to top, at the foot of its column.
        painter.save();
        painter.translate(left + (k - firstKey) * m_cell, top + m_keyHeight);
        painter.rotate(-90);
        painter.drawText(QRectF(m_padding, 0, m_keyHeight - 2 * m_padding, m_cell), Qt::AlignLeft | Qt::AlignVCenter,
                         m_plan.keys.at(k));
        painter.restore();
    }

    painter.setFont(QtLinePrinter::font(kCellPoints));
    const QFontMetricsF metrics(painter.font(), painter.device());
    for (int r = firstRow; r < endRow; ++r) {
        const PlanMatrix::Cylinder& cylinder = m_plan.cylinders.at(r);
        const double y = top + m_keyHeight + (r - firstRow) * m_cell;
        painter.drawText(QRectF(m_padding, y, m_numberWidth - 2 * m_padding, m_cell), Qt::AlignLeft | Qt::AlignVCenter,
                         cylinder.number);
        painter.drawText(QRectF(m_numberWidth + m_padding, y, m_doorWidth - 2 * m_padding, m_cell),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(cylinder.door, Qt::ElideRight, m_doorWidth - 2 * m_padding));
        const auto from = std::lower_bound(cylinder.keys.begin(), cylinder.keys.end(), firstKey);
        for (auto k = from; k != cylinder.keys.end() && *k < endKey; ++k)
            painter.drawText(QRectF(left + (*k - firstKey) * m_cell, y, m_cell, m_cell), Qt::AlignCenter,
                             QStringLiteral("X"));
        painter.drawLine(QPointF(0, y + m_cell), QPointF(right, y + m_cell));
    }
    // The frame and the rules between the columns.
    painter.drawLine(QPointF(0, top), QPointF(right, top));
    painter.drawLine(QPointF(0, top + m_keyHeight), QPointF(right, top + m_keyHeight));
    for (double x : {0.0, m_numberWidth, left})
        painter.drawLine(QPointF(x, top), QPointF(x, bottom));
    for (int k = firstKey; k < endKey; ++k)
        painter.drawLine(QPointF(left + (k - firstKey + 1) * m_cell, top),
                         QPointF(left + (k - firstKey + 1) * m_cell, bottom));

    Printout::footer(painter, QRectF(0, m_page.height() - m_bottom, m_page.width(), m_bottom), m_footer, page,
                     pageCount());
    painter.restore();
}

bool SchliessplanPrintout::print(QPagedPaintDevice& device)
{
    layout(device);
    return Printout::pages(device, pageCount(), [this](QPainter& painter, int page) { drawPage(painter, page); });
}
