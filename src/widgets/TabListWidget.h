#pragma once

#include "Utf8Rows.h"

#include <QListWidget>

// A list box that shows a tab character in a row as a jump to the next of its fixed tab stops, and
// that, with sorting on, orders rows added as text without regard to case.
//
// Its rows keep their texts as UTF-8 in one buffer, and a row's item turns its text into a string
// only when asked (painting, text()). So a refill of tens of thousands of rows costs about what
// reading them costs: no string and no new item per row.
class TabListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit TabListWidget(QWidget* parent = nullptr);

    // Distance between tab stops in pixels; by default a little more than four digits, so that a
    // short key number followed by two tabs lines up with a five-character one followed by one.
    qreal tabStopDistance() const { return m_tabStop; }
    void setTabStopDistance(qreal pixels);

    // Replaces every row by these (sorted, with sorting on), with no row selected: the refill.
    void setRows(Utf8Rows rows);
    void setRows(const QStringList& rows);
    void addItem(const QString& label);
    void addItems(const QStringList& labels);
    void insertItem(int row, const QString& label); // with sorting on, row is ignored
    void clear();

    // For the rows' items: a text by its slot, a new slot, the view told of a changed text.
    QString slotText(qsizetype slot) const { return m_texts.text(slot); }
    qsizetype addSlot(const QString& text);
    void rowTextChanged(QListWidgetItem* row);

protected:
    void changeEvent(QEvent* event) override;

private:
    void updateDefaultTabStop();

    qreal m_tabStop = 0;
    bool m_tabStopSet = false;
    Utf8Rows m_texts; // every row's text; an item knows its slot here
};
