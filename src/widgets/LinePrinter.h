#pragma once

#include <QString>

// A printer driven line by line, as a typewriter would be: everything in twips (1/1440 inch),
// positions measured from the left edge of the printable area. The first output starts the document.
class LinePrinter
{
public:
    virtual ~LinePrinter() = default;

    // Moves to the start of the next line.
    virtual void newLine() = 0;
    // Prints the text at the current position, then moves to the start of the next line.
    virtual void printLine(const QString& text) = 0;
    // Prints the text and one blank at the current position and stays on the line.
    virtual void printWord(const QString& text) = 0;

    virtual double currentX() const = 0;
    virtual void setCurrentX(double twips) = 0;

    virtual void setFontSize(int points) = 0;
    // The first emphasis marks the title and the filled-in values, the second the title only.
    virtual void setFirstEmphasis(bool on) = 0;
    virtual void setSecondEmphasis(bool on) = 0;

    // Width of the text in the current font.
    virtual double textWidth(const QString& text) const = 0;
    // Width of the printable part of the page.
    virtual int pageWidth() const = 0;

    // Finishes the document and hands it over.
    virtual void endDoc() = 0;
};
