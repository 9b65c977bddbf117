#pragma once

#include "LinePrinter.h"

#include <QFont>
#include <QPainter>

class QPagedPaintDevice;

// The line printer on a real page: a printer or a PDF file. Text that reaches the bottom of a page
// goes on at the top of the next one. Failures do not throw: the caller asks failed() after endDoc().
class QtLinePrinter final : public LinePrinter
{
public:
    explicit QtLinePrinter(QPagedPaintDevice& device);
    ~QtLinePrinter() override;
    QtLinePrinter(const QtLinePrinter&) = delete;
    QtLinePrinter& operator=(const QtLinePrinter&) = delete;

    void newLine() override;
    void printLine(const QString& text) override;
    void printWord(const QString& text) override;
    double currentX() const override { return m_x; }
    void setCurrentX(double twips) override { m_x = twips; }
    void setFontSize(int points) override;
    void setFirstEmphasis(bool on) override;
    void setSecondEmphasis(bool on) override;
    double textWidth(const QString& text) const override;
    int pageWidth() const override;
    void endDoc() override;

    bool failed() const { return m_failed; }
    int pageCount() const { return m_pages; }

    // The font the printer starts with: a plain sans serif of office documents.
    static QFont defaultFont();
    // That font in another size, for printouts drawn on their own.
    static QFont font(double points, bool bold = false);

private:
    bool start();
    void print(const QString& text);
    double lineHeight() const;
    double pageHeight() const;
    QPointF toDevice(double x, double y) const;

    QPagedPaintDevice& m_device;
    QPainter m_painter;
    QFont m_font;
    double m_x = 0;
    double m_y = 0;
    int m_pages = 0;
    bool m_failed = false;
    bool m_ended = false;
};
