#pragma once

#include "widgets/LinePrinter.h"

#include <QHash>
#include <QStringList>

// A line printer that writes a transcript instead of a page, on a page 11906 twips wide. Each output
// line reads "<start position>[/<size>pt]:<text>", first-emphasis text between '*', second-emphasis
// text between '_'; a line with nothing printed on it is "". A text is 100 twips a character at 10
// points (scaled by size) unless widths names it.
class RecordingPrinter final : public LinePrinter
{
public:
    QStringList lines; // finished output lines
    QHash<QString, double> widths;
    bool ended = false;

    void newLine() override
    {
        lines << m_line;
        m_line.clear();
        m_x = 0;
    }
    void printLine(const QString& text) override
    {
        print(text, QString());
        newLine();
    }
    void printWord(const QString& text) override { print(text, QStringLiteral(" ")); }
    double currentX() const override { return m_x; }
    void setCurrentX(double twips) override { m_x = twips; }
    void setFontSize(int points) override { m_points = points; }
    void setFirstEmphasis(bool on) override { m_first = on; }
    void setSecondEmphasis(bool on) override { m_second = on; }
    double textWidth(const QString& text) const override { return widths.value(text, 10.0 * m_points * text.size()); }
    int pageWidth() const override { return 11906; }
    void endDoc() override { ended = true; }

private:
    void print(const QString& text, const QString& blank)
    {
        if (m_line.isEmpty())
            m_line = QString::number(m_x) + (m_points == 10 ? QString() : QStringLiteral("/%1pt").arg(m_points)) + ':';
        const QString marked = m_second ? '_' + text + '_' : text;
        m_line += (m_first ? '*' + marked + '*' : marked) + blank;
        m_x += textWidth(text + blank);
    }

    QString m_line;
    double m_x = 0;
    int m_points = 11; // neither title nor body size, so a missing size change shows
    bool m_first = false;
    bool m_second = false;
};
