#include "QtLinePrinter.h"

#include "DesignedFont.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>

namespace {
constexpr double kTwipsPerInch = 1440.0;
constexpr double kTwipsPerPoint = 20.0;
constexpr int kDefaultPoints = 10;
} // namespace

QtLinePrinter::QtLinePrinter(QPagedPaintDevice& device) : m_device(device), m_font(defaultFont()) {}

QtLinePrinter::~QtLinePrinter()
{
    if (m_painter.isActive())
        m_painter.end();
}

QFont QtLinePrinter::defaultFont()
{
    QFont font = designedFont();
    font.setPointSize(kDefaultPoints);
    return font;
}

QFont QtLinePrinter::font(double points, bool bold)
{
    QFont font = defaultFont();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

bool QtLinePrinter::start()
{
    if (m_painter.isActive())
        return true;
    if (m_failed || m_ended)
        return false;
    // The first output opens the file or the print job; a refusal is kept for the caller.
    if (!m_painter.begin(&m_device)) {
        m_failed = true;
        return false;
    }
    m_pages = 1;
    return true;
}

QPointF QtLinePrinter::toDevice(double x, double y) const
{
    return {x * m_device.logicalDpiX() / kTwipsPerInch, y * m_device.logicalDpiY() / kTwipsPerInch};
}

double QtLinePrinter::lineHeight() const
{
    return QFontMetricsF(m_font, &m_device).lineSpacing() * kTwipsPerInch / m_device.logicalDpiY();
}

double QtLinePrinter::pageHeight() const
{
    return m_device.pageLayout().paintRect(QPageLayout::Point).height() * kTwipsPerPoint;
}

int QtLinePrinter::pageWidth() const
{
    return qRound(m_device.pageLayout().paintRect(QPageLayout::Point).width() * kTwipsPerPoint);
}

double QtLinePrinter::textWidth(const QString& text) const
{
    return QFontMetricsF(m_font, &m_device).horizontalAdvance(text) * kTwipsPerInch / m_device.logicalDpiX();
}

void QtLinePrinter::newLine()
{
    if (!start())
        return;
    m_x = 0;
    m_y += lineHeight();
}

void QtLinePrinter::print(const QString& text)
{
    if (!start())
        return;
    // A line that does not fit below the last one starts the next page, at its top.
    if (m_y > 0 && m_y + lineHeight() > pageHeight()) {
        if (!m_device.newPage()) {
            m_failed = true;
            return;
        }
        ++m_pages;
        m_y = 0;
    }
    m_painter.setFont(m_font);
    m_painter.drawText(toDevice(m_x, m_y) + QPointF(0, QFontMetricsF(m_font, &m_device).ascent()), text);
    m_x += textWidth(text);
}

void QtLinePrinter::printLine(const QString& text)
{
    print(text);
    newLine();
}

void QtLinePrinter::printWord(const QString& text)
{
    print(text + QLatin1Char(' '));
}

void QtLinePrinter::setFontSize(int points)
{
    m_font.setPointSize(points);
}

void QtLinePrinter::setFirstEmphasis(bool on)
{
    m_font.setBold(on);
}

void QtLinePrinter::setSecondEmphasis(bool on)
{
    m_font.setUnderline(on);
}

void QtLinePrinter::endDoc()
{
    if (m_painter.isActive() && !m_painter.end())
        m_failed = true;
    m_ended = true;
}
