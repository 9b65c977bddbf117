// The main window's handout grid and the actions on it: refill, sort, handout, return.
#include "DlgFilter.h"
#include "Handout.h"
#include "HandoutList.h"
#include "VergabenModel.h"
#include "core/AppState.h"
#include "core/Clock.h"
#include "core/Messages.h"
#include "ui/FrmMain.h"
#include "ui/WaitCursor.h"

#include <QLineEdit>

void FrmMain::RefreshVergaben(bool askFilter)
{
    QString w;
    if (askFilter) {
        DlgFilter::open(this);
        if (DlgFilter::fltResponse)
            w = HandoutList::filterCondition(DlgFilter::fltVonDatum, DlgFilter::fltBisDatum, DlgFilter::fltSchluessel,
                                             DlgFilter::fltPerson);
    }

    WaitCursor wait;
    // Read first: a refused statement leaves the list as it was.
    showVergaben(HandoutList::read(db(), HandoutList::query(w), vergaben->maxRows()));
}

void FrmMain::showVergaben(VergabenModel::Lines lines)
{
    vergaben->setLines(std::move(lines));
    if (vergaben->maxRows() > 0) {
        vergaben->setRow(vergaben->maxRows());
        vergaben->setCol(VergabenModel::ID);
    }
}

void FrmMain::sprVergaben_Click(int kind, int col)
{
    if (kind == 1)
        return;
    WaitCursor wait;
    VergabenModel& grid = *vergaben;
    VergabenModel::QuietUpdate quiet(grid);
    for (int c = 1; c <= grid.maxCols(); ++c) {
        grid.setCol(c);
        for (int r = 1; r <= grid.maxRows(); ++r) {
            grid.setRow(r);
            grid.setBackColor(VergabenModel::kDefaultBackground);
        }
    }
    grid.setCol(col);
    for (int r = 1; r <= grid.maxRows(); ++r) {
        grid.setRow(r);
        grid.setBackColor(0xC0C0C0);
    }
    grid.setRow(1);
    grid.setBlockEndRow(grid.maxRows());
    grid.setCol(1);
    grid.setBlockEndCol(grid.maxCols());
    grid.setSortKey(col);
    // One order state for the whole grid: every click turns it, whichever column.
    using Order = VergabenModel::SortOrder;
    grid.setSortKeyOrder(grid.sortKeyOrder() == Order::Ascending ? Order::Descending : Order::Ascending);
    grid.sort();
}

void FrmMain::pbVergabe_Click()
{
    const HandoutDecision decision =
        decideHandout(db(), selectedPerson(), selectedKeyNumber(), dfZusatzNr->text(), Clock::today());
    if (decision.refused()) {
        msgBox(decision.refusal, Messages::Icon::Information);
        if (decision.keyGone)
            pbSchlSuch_Click();
        if (decision.focus == HandoutDecision::Focus::ZusatzNr)
            dfZusatzNr->setFocus();
        else if (decision.focus == HandoutDecision::Focus::SchlSuch)
            dfSchlSuch->setFocus();
        return;
    }
    if (msgBox(decision.question, Messages::Icon::Question, Messages::Buttons::YesNo) != Messages::Answer::Yes)
        return;
    db().execute(decision.insert, true);
    RefreshVergaben(false);
    dfZusatzNr->clear();
}

void FrmMain::pbRueckgabe_Click()
{
    vergaben->setRow(vergaben->activeRow());
    if (vergaben->row() == 0)
        return;
    vergaben->setCol(VergabenModel::ID);
    const QString bewId = vergaben->text();
    if (bewId.isEmpty())
        return;
    db().execute(QStringLiteral("UPDATE TBBewegungen SET Status = 1 WHERE BewID = ") + bewId);
    RefreshVergaben(false);
}

void FrmMain::pbFilter_Click()
{
    RefreshVergaben(true);
}
