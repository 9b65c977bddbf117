// The main window's confirmation buttons: print one confirmation, edit the template.
#include "ConfirmationLayout.h"
#include "DlgFormular.h"
#include "core/AppState.h"
#include "core/Blanks.h"
#include "core/Messages.h"
#include "core/Texts.h"
#include "handouts/VergabenModel.h"
#include "ui/FrmMain.h"
#include "ui/Printout.h"
#include "ui/QtLinePrinter.h"

#include <QPrinter>

void FrmMain::pbBestaetigung_Click()
{
    VergabenModel& grid = *vergaben;
    grid.setRow(grid.activeRow());
    const int row = grid.row();
    if (row == 0 || grid.maxRows() == 0)
        return;
    const ConfirmationLayout::Values values = ConfirmationLayout::fromLine(grid, row, app().AnlagenNr);

    const QString templ = ConfirmationLayout::storedTemplate(db());
    if (!ConfirmationLayout::isDefined(templ)) {
        msgBox(GetText(QStringLiteral("Bestätigungsformular wurde noch nicht definiert!"), 162),
               Messages::Icon::Exclamation);
        return;
    }

    QString tag = grid.cellText(row, VergabenModel::SchluesselNr);
    if (const QString zusatzNr = grid.cellText(row, VergabenModel::ZusatzNr); !isBlank(zusatzNr))
        tag += QLatin1Char('-') + zusatzNr;
    // A letter's margins: wide on the left for the file punch, narrower on the right, where the
    // layout keeps its own reserve.
    const QMarginsF margins(1417, 1134, 850, 1134);
    Printout::run(QStringLiteral("Bestaetigung"), tag,
                  GetText(QStringLiteral("Bestätigung"), 110) + QLatin1Char(' ') + values.key, margins,
                  [&](QPrinter& printer) {
                      QtLinePrinter printout(printer);
                      ConfirmationLayout::print(printout, templ, values);
                      return !printout.failed();
                  });
}

void FrmMain::pbFormular_Click()
{
    DlgFormular::open(this);
}
