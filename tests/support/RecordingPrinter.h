#pragma once

#include "ui/LinePrinter.h"

#include <QHash>
#include <QStringList>

// A line printer that writes a transcript instead of a page. Each output line reads
// "<start position>[/<size>pt]:<text>", with first-emphasis text between '*' and second-emphasis
// text between '_'; a line with nothing printed on it is "". A text is 100 twips a character at
// 10 points (scaled by size) unless widths names it.
class RecordingPrinter final : public LinePrinter
{
public:
    QStringList lines; // finished output lines
    QHash<QString, double> widths;
    int width = 11906;
    bool ended = false;

    void newLine() override
    {
        lines << m_line;
        m_line.clear();
        m_started = false;
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
    double textWidth(const QString& text) const override
    {
        return widths.contains(text) ? widths.value(text) : 10.0 * m_points * double(text.size());
    }
    int pageWidth() const override { return width; }
    void endDoc() override { ended = true; }

private:
    void print(const QString& text, const QString& blank)
    {
        if (!m_started) {
            m_line = QString::number(m_x);
            if (m_points != 10)
                m_line += QStringLiteral("/%1pt").arg(m_points);
            m_line += QLatin1Char(':');
            m_started = true;
        }
        QString marked = text;
        if (m_second)
            marked = QLatin1Char('_') + marked + QLatin1Char('_');
        if (m_first)
            marked = QLatin1Char('*') + marked + QLatin1Char('*');
        m_line += marked + blank;
        m_x += textWidth(text + blank);
    }

    QString m_line;
    bool m_started = false;
    double m_x = 0;
    int m_points = 11; // neither title nor body size, so a missing size change shows
    bool m_first = false;
    bool m_second = false;
};
