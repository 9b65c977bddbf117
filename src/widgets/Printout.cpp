#include "Printout.h"

#include "QtLinePrinter.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Messages.h"
#include "core/Texts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <memory>

namespace {

constexpr double kTwipsPerPoint = 20.0;

bool noPrinter()
{
    return QPrinterInfo::defaultPrinter().isNull();
}

// Bytes of a file name taken from a value: a name stays far below the file systems' limit of 255 bytes,
// however long the value.
constexpr qsizetype kTagBytes = 60;

QString sanitizedTag(const QString& tag)
{
    QString out;
    qsizetype bytes = 0;
    for (const QChar c : tag) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('-'))
            continue;
        bytes += c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : 3; // in UTF-8; halves of pairs are no letters
        if (bytes > kTagBytes)
            break;
        out += c;
    }
    return out;
}

void reportFailure(const QString& detail)
{
    msgBox(GetText(QStringLiteral("Der Ausdruck konnte nicht erstellt werden."), 165) + QLatin1Char('\n') + detail,
           Messages::Icon::Exclamation);
}

} // namespace

bool Printout::pages(QPagedPaintDevice& device, int count, const std::function<void(QPainter&, int)>& draw)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int page = 1; page <= count; ++page) {
        if (page > 1 && !device.newPage())
            return false;
        draw(painter, page);
    }
    return painter.end();
}

void Printout::footer(QPainter& painter, const QRectF& area, const QString& text, int page, int count)
{
    painter.setFont(QtLinePrinter::font(kFooterPoints));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignBottom, text);
    painter.drawText(area, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("%1 / %2").arg(page).arg(count));
}

QString Printout::pdfDir()
{
    if (!app().printToPdfDir.isEmpty())
        return app().printToPdfDir;
    if (noPrinter())
        return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return {};
}

QString Printout::newPdfPath(const QString& dir, const QString& what, const QString& tag, const QDateTime& when)
{
    QString stem = what + when.toString(QStringLiteral("-yyyy-MM-dd-HHmm"));
    const QString cleanTag = sanitizedTag(tag);
    if (!cleanTag.isEmpty())
        stem += QLatin1Char('-') + cleanTag;
    const QDir folder(dir);
    QString path = folder.absoluteFilePath(stem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.absoluteFilePath(stem + QLatin1Char('-') + QString::number(n) + QStringLiteral(".pdf"));
    return path;
}

bool Printout::run(const QString& what, const QString& tag, const QString& title, const QMarginsF& margins,
                   const std::function<bool(QPrinter&)>& draw)
{
    const QString dir = pdfDir();
    const bool toPdf = !dir.isEmpty();
    const QMarginsF points = margins / kTwipsPerPoint;

    std::unique_ptr<QPrinter> printer;
    QString path;
    if (toPdf) {
        if (!QDir().mkpath(dir)) {
            reportFailure(GetText(QStringLiteral("Der Ordner kann nicht angelegt werden:"), 168) + QLatin1Char(' ') +
                          QDir::toNativeSeparators(dir));
            return false;
        }
        path = newPdfPath(dir, what, tag, QDateTime(Clock::today(), QTime::currentTime()));
        printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        const bool letter = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
        printer->setPageSize(QPageSize(letter ? QPageSize::Letter : QPageSize::A4));
        printer->setPageMargins(points, QPageLayout::Point);
    } else {
        printer = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        // A printer that cannot print this close to the edge keeps its own margins.
        printer->setPageMargins(points, QPageLayout::Point);
    }
    printer->setDocName(title);
    printer->setCreator(kProgramDescription);

    const bool drawn = draw(*printer);
    if (!drawn || printer->printerState() == QPrinter::Error) {
        if (toPdf) {
            QFile::remove(path);
            reportFailure(GetText(QStringLiteral("Die Datei kann nicht geschrieben werden:"), 166) + QLatin1Char(' ') +
                          QDir::toNativeSeparators(path));
        } else {
            reportFailure(GetText(QStringLiteral("Der Drucker meldet einen Fehler:"), 167) + QLatin1Char(' ') +
                          printer->printerName());
        }
        return false;
    }
    if (toPdf) {
        QString text;
        if (app().printToPdfDir.isEmpty())
            text = GetText(QStringLiteral("Es ist kein Drucker eingerichtet."), 164) + QLatin1Char('\n');
        text += GetText(QStringLiteral("Der Ausdruck wurde als PDF-Datei gespeichert:"), 163) + QLatin1Char('\n') +
                QDir::toNativeSeparators(path);
        msgBox(text, Messages::Icon::Information);
    }
    return true;
}
