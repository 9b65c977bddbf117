// The main window's printout of the handout list.
#include "ListPrintout.h"
#include "core/AppState.h"
#include "core/Texts.h"
#include "ui/FrmMain.h"
#include "ui/Printout.h"
#include "ui/WaitCursor.h"

#include <QPrinter>

void FrmMain::pbListeDrucken_Click()
{
    const QString title = GetText(QStringLiteral("Liste der Schlüsselvergaben"), 153);
    ListPrintout printout(ListPrintout::fromGrid(*vergaben), title, kProgramDescription);
    // Left margin 500 twips; the others leave room for the page header and footer.
    Printout::run(QStringLiteral("Liste"), QString(), title, QMarginsF(500, 720, 500, 720),
                  [&printout](QPrinter& printer) {
                      const WaitCursor wait;
                      return printout.print(printer);
                  });
}
