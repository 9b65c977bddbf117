#pragma once

#include "HandoutFilter.h"
#include "VergabenModel.h"
#include "confirmation/ConfirmationLayout.h"
#include "persons/PersEntry.h"

#include <QWidget>
#include <array>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// The handout area of the main window: the additional number and the handout button between the frames,
// and below them the grid of the copies out with the buttons that act on it (confirmation, return,
// filter, list printing, the template). It knows neither list of the frames: a handout asks the two
// sources the window gives it for the selected person and the selected key.
//
// Its controls keep the window's coordinates less the pane's own corner, which the window's layout sets.
class HandoutPane : public QWidget
{
    Q_OBJECT
public:
    explicit HandoutPane(QWidget* parent = nullptr);

    std::function<std::optional<PersEntry>()> selectedPerson = [] { return std::nullopt; };
    std::function<QString()> selectedKeyNumber = [] { return QString(); };

    void setTexts();

    void RefreshVergaben(bool askFilter);
    // The lines as a refill shows them, and the filter they were read with (none: every copy out).
    void showVergaben(VergabenModel::Lines lines, std::optional<HandoutFilter> filter = std::nullopt);
    // The filter of the lines shown; none when they are every copy out. Any refill without the filter
    // dialog shows every copy out again.
    const std::optional<HandoutFilter>& shownFilter() const { return m_filter; }
    // Shows every copy out again (the grid's context menu).
    void mnuFilterAufheben_Click();
    // What the printed list says it holds: every copy out, or which filter, and how many lines.
    QString listNote() const;
    // A click on the grid: kind 1 is ignored, any other sorts by the column (1 to 6). A click on a
    // column header reports kind 0; a click on a cell only selects its line.
    void sprVergaben_Click(int kind, int col);
    int activeRow() const; // the line the user selected, 0 when none
    // What the placeholders of a confirmation stand for on the active line; none without one.
    std::optional<ConfirmationLayout::Values> confirmationValues() const;
    // Widths of columns 1 to 5 in twips; the hidden sixth column has none.
    void setColumnWidths(const std::array<int, 5>& twips);

    void pbVergabe_Click();
    void pbRueckgabe_Click();
    void pbFilter_Click();
    void pbListeDrucken_Click();
    void pbBestaetigung_Click();
    void pbFormular_Click();

    QLabel* Label4 = nullptr;
    QLineEdit* dfZusatzNr = nullptr;
    QPushButton* pbVergabe = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblFilterStand = nullptr; // beside the caption: how many lines, and whether a filter hides some
    QAction* mnuFilterAufheben = nullptr;
    QTableView* sprVergaben = nullptr;
    VergabenModel* vergaben = nullptr; // the grid's lines
    QPushButton* pbBestaetigung = nullptr;
    QPushButton* pbRueckgabe = nullptr;
    QPushButton* pbFilter = nullptr;
    QPushButton* pbListeDrucken = nullptr;
    QPushButton* pbFormular = nullptr;

    // The window's twips of the pane's own corner as designed: the additional-number label's left and top.
    static constexpr int kLeft = 120;
    static constexpr int kTop = 2040;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showFilterState();

    std::optional<HandoutFilter> m_filter;

Q_SIGNALS:
    // A handout found the selected key deleted meanwhile: the key list needs a refill.
    void keyGone();
    // A handout was refused for the key: the focus goes to the key search.
    void keySearchWanted();
};
