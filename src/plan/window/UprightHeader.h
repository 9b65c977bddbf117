#pragma once

#include <QHeaderView>

// A horizontal header whose section texts stand upright (read from bottom to top), so that columns
// can be as narrow as a mark: the key numbers above the locking plan's crossings. Sections before
// firstUpright keep their text across.
class UprightHeader : public QHeaderView
{
    Q_OBJECT
public:
    UprightHeader(int firstUpright, QWidget* parent = nullptr);

    // High enough for the longest text of the model's upright sections.
    QSize sizeHint() const override;
    void setModel(QAbstractItemModel* model) override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void changeEvent(QEvent* event) override;

private:
    int longestText() const;

    int m_firstUpright;
    mutable int m_longest = -1; // width of the longest upright text; -1 until measured
};
