#include "UprightHeader.h"

#include <QPainter>

UprightHeader::UprightHeader(int firstUpright, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), m_firstUpright(firstUpright)
{
}

QSize UprightHeader::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    if (!model())
        return size;
    int longest = 0;
    for (int section = m_firstUpright; section < model()->columnCount(); ++section)
        longest =
            std::max(longest, fontMetrics().horizontalAdvance(model()->headerData(section, Qt::Horizontal).toString()));
    size.setHeight(std::max(size.height(), longest + 12));
    return size;
}

void UprightHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (logicalIndex < m_firstUpright) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    // The frame and background as any section has them, then the text turned a quarter left.
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
    painter->save();
    painter->translate(rect.left(), rect.bottom());
    painter->rotate(-90);
    painter->drawText(QRect(6, 0, rect.height() - 12, rect.width()), Qt::AlignLeft | Qt::AlignVCenter,
                      model()->headerData(logicalIndex, Qt::Horizontal).toString());
    painter->restore();
}
