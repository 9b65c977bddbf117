#include "core/AppState.h"
#include "core/Database.h"
#include "core/DemoData.h"
#include "core/RegisterCheck.h"
#include "core/RegisterLocation.h"
#include "core/SqlError.h"
#include "core/Texts.h"
#include "history/Export.h"
#include "jet/JetImport.h"
#include "ui/BasMain.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QTextStream>
#include <functional>

namespace {

struct Options
{
    QCommandLineOption database{QStringLiteral("database"),
                                QStringLiteral("Open FILE instead of the register at its default place."),
                                QStringLiteral("FILE")};
    QCommandLineOption createDatabase{QStringLiteral("create-database"),
                                      QStringLiteral("Write a new, empty register FILE and exit."),
                                      QStringLiteral("FILE")};
    QCommandLineOption createDemo{QStringLiteral("create-demo"),
                                  QStringLiteral("Write a new register FILE filled with made-up demo data and exit."),
                                  QStringLiteral("FILE")};
    QCommandLineOption printToPdf{QStringLiteral("print-to-pdf"),
                                  QStringLiteral("Write printouts as PDF files into DIR instead of printing."),
                                  QStringLiteral("DIR")};
    QCommandLineOption traceSql{QStringLiteral("trace-sql"),
                                QStringLiteral("Print every statement to stderr, as written and as run.")};
    QCommandLineOption noBackup{QStringLiteral("no-backup"),
                                QStringLiteral("Do not make the day's copy of the register at the start.")};
    QCommandLineOption exportCsv{QStringLiteral("export-csv"),
                                 QStringLiteral("Write the lists as CSV files into DIR and exit (no display needed)."),
                                 QStringLiteral("DIR")};
    QCommandLineOption importJet{
        QStringLiteral("import-jet"),
        QStringLiteral("Carry the register in the Jet database file JETFILE (a TBDB.MDB of the "
                       "Jet engine) over into a new register file NEWFILE, given after it, "
                       "print a report and exit (no display needed)."),
        QStringLiteral("JETFILE")};
    QCommandLineOption check{QStringLiteral("check"),
                             QStringLiteral("Check the register FILE without changing it, print a short report and "
                                            "exit (exit code 0 when all is well)."),
                             QStringLiteral("FILE")};
};

QStringList argumentList(int argc, char** argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

// Qt names the program "<executable_name>" while no application object exists; the places of the register
// need the program's directory, so a display-less one is made for the help alone.
QString helpText(const QCommandLineParser& parser, int argc, char** argv)
{
    const QCoreApplication core(argc, argv);
    QString text = parser.helpText();
    text.replace(0, text.indexOf(QLatin1Char('\n')), QStringLiteral("Usage: clavaro [options]"));
    return text + QStringLiteral("\nThe register file:\n"
                                 "  Without --database, clavaro opens TBDB.MDB in its own directory when one is there\n"
                                 "  (%1),\n"
                                 "  else TBDB.MDB in your data folder (%2),\n"
                                 "  and at the first start offers to create an empty one there.\n")
                      .arg(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()),
                           QDir::toNativeSeparators(RegisterLocation::dataFolder()));
}

// Writes a new register file with the given writer; refuses to overwrite.
int createFile(const QString& path, const std::function<void(const QString&)>& write)
{
    QTextStream err(stderr);
    if (QFileInfo::exists(path)) {
        err << "clavaro: " << path << " already exists; not overwritten.\n";
        return 1;
    }
    try {
        write(path);
    } catch (const SqlError& e) {
        err << "clavaro: cannot create " << path << ": " << e.description() << '\n';
        return 1;
    }
    return 0;
}

// clavaro --import-jet JETFILE NEWFILE: the report on stdout, in the locale's language as --check's.
int importJet(const QString& jetPath, const QStringList& arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (arguments.size() != 1) {
        err << "clavaro: --import-jet needs the Jet file and the new register file: --import-jet JETFILE NEWFILE\n";
        return 2;
    }
    const QString& newPath = arguments.first();
    if (QFileInfo::exists(newPath)) {
        err << "clavaro: " << newPath << " already exists; not overwritten.\n";
        return 1;
    }
    if (!QFileInfo(jetPath).isFile()) {
        err << "clavaro: " << jetPath << " does not exist.\n";
        return 1;
    }
    if (!JetFile::hasJetHeader(jetPath)) {
        err << "clavaro: " << jetPath << " is no database file of the Jet engine.\n";
        return 1;
    }
    app().Sprache = localeLanguage();
    try {
        const JetImport::Report report = JetImport::carryOver(jetPath, newPath);
        out << report.lines().join(QLatin1Char('\n')) << '\n';
        return 0;
    } catch (const JetError& e) {
        err << "clavaro: " << JetImport::refusal(jetPath, e).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            << '\n';
    } catch (const SqlError& e) {
        err << "clavaro: cannot write " << newPath << ": " << e.text() << '\n';
    }
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("clavaro"));
    QCoreApplication::setApplicationVersion(programVersion());
    // A system with no locale configured ("C", "POSIX") gets the program's home locale: dates then read as
    // digits ("05.03.2026") instead of "5 Mar 2026", which the grid's date column cannot hold.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    Options options;
    QCommandLineParser parser;
    parser.setApplicationDescription(kProgramDescription +
                                     QStringLiteral(" - register of the keys of one master-key system"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOptions({options.database, options.createDatabase, options.createDemo, options.printToPdf,
                       options.traceSql, options.noBackup, options.exportCsv, options.importJet, options.check});

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!parser.parse(argumentList(argc, argv))) {
        err << "clavaro: " << parser.errorText() << "\n\n" << helpText(parser, argc, argv);
        return 2;
    }
    if (parser.isSet(help)) {
        out << helpText(parser, argc, argv);
        return 0;
    }
    if (parser.isSet(version)) {
        out << "clavaro " << programVersion() << '\n';
        return 0;
    }
    if (parser.isSet(options.createDatabase))
        return createFile(parser.value(options.createDatabase), Database::create);
    if (parser.isSet(options.createDemo))
        return createFile(parser.value(options.createDemo),
                          [](const QString& path) { DemoData::create(path, DemoData::demo()); });
    if (parser.isSet(options.importJet))
        return importJet(parser.value(options.importJet), parser.positionalArguments());
    if (parser.isSet(options.check)) {
        app().Sprache = localeLanguage();
        const RegisterCheck::Result result = RegisterCheck::run(parser.value(options.check));
        out << result.report.join(QLatin1Char('\n')) << '\n';
        return result.problems == 0 ? 0 : 1;
    }

    // The export needs no display; everything else is the windowed program.
    std::unique_ptr<QCoreApplication> application;
    if (parser.isSet(options.exportCsv))
        application = std::make_unique<QCoreApplication>(argc, argv);
    else
        application = std::make_unique<QApplication>(argc, argv);

    AppState& state = app();
    // The directory of the running executable, however it was started (through the PATH, a link, a menu).
    state.offerNewDatabase = !parser.isSet(options.database);
    state.databasePath = state.offerNewDatabase ? RegisterLocation::defaultPath(QCoreApplication::applicationDirPath())
                                                : parser.value(options.database);
    state.printToPdfDir = parser.value(options.printToPdf);
    state.traceSql = parser.isSet(options.traceSql);
    // The export only reads: it leaves nothing beside the register, not even the day's copy.
    state.backupAtStart = !parser.isSet(options.noBackup) && !parser.isSet(options.exportCsv);
    if (parser.isSet(options.exportCsv))
        return Export::toDirectory(parser.value(options.exportCsv));

    auto& windowed = static_cast<QApplication&>(*application);
    windowed.setWindowIcon(QIcon(QStringLiteral(":/images/logo.png")));
    // Ties the windows to the menu entry (Wayland app id, task bar grouping).
    QGuiApplication::setDesktopFileName(QStringLiteral("example.clavaro.Clavaro"));
    return Main(windowed);
}
