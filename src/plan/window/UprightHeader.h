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

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    int m_firstUpright;
};
