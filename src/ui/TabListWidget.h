#pragma once

#include <QListWidget>

// A list box that shows a tab character in a row as a jump to the next of its fixed tab stops, and
// that, with sorting on, orders rows added as text without regard to case.
class TabListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit TabListWidget(QWidget* parent = nullptr);

    // Distance between tab stops in pixels; by default a little more than four digits, so that a
    // short key number followed by two tabs lines up with a five-character one followed by one.
    qreal tabStopDistance() const { return m_tabStop; }
    void setTabStopDistance(qreal pixels);

    using QListWidget::addItem;
    using QListWidget::insertItem;
    void addItem(const QString& label);
    void addItems(const QStringList& labels);
    void insertItem(int row, const QString& label);

protected:
    void changeEvent(QEvent* event) override;

private:
    void updateDefaultTabStop();

    qreal m_tabStop = 0;
    bool m_tabStopSet = false;
};
