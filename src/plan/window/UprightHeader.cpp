#include "UprightHeader.h"

#include <QEvent>
#include <QHash>
#include <QPainter>

UprightHeader::UprightHeader(int firstUpright, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), m_firstUpright(firstUpright)
{
}

void UprightHeader::setModel(QAbstractItemModel* model)
{
    if (this->model())
        disconnect(this->model(), nullptr, this, nullptr);
    QHeaderView::setModel(model);
    m_longest = -1;
    if (!model)
        return;
    // The longest text is measured again once the texts may have changed.
    const auto forget = [this] { m_longest = -1; };
    connect(model, &QAbstractItemModel::modelReset, this, forget);
    connect(model, &QAbstractItemModel::layoutChanged, this, forget);
    connect(model, &QAbstractItemModel::headerDataChanged, this, forget);
    connect(model, &QAbstractItemModel::columnsInserted, this, forget);
    connect(model, &QAbstractItemModel::columnsRemoved, this, forget);
}

void UprightHeader::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        m_longest = -1;
    QHeaderView::changeEvent(event);
}

int UprightHeader::longestText() const
{
    if (m_longest >= 0 || !model())
        return std::max(m_longest, 0);
    // A plan has tens of thousands of keys, and shaping each number takes longer than the window may take
    // to open: a text is as wide as its characters side by side (the margin below covers any kerning).
    const QFontMetrics metrics = fontMetrics();
    QHash<char16_t, int> advance;
    int longest = 0;
    for (int section = m_firstUpright; section < model()->columnCount(); ++section) {
        int width = 0;
        for (const QChar c : model()->headerData(section, Qt::Horizontal).toString()) {
            auto known = advance.constFind(c.unicode());
            if (known == advance.cend())
                known = advance.insert(c.unicode(), metrics.horizontalAdvance(c));
            width += *known;
        }
        longest = std::max(longest, width);
    }
    m_longest = longest;
    return longest;
}

QSize UprightHeader::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    if (!model())
        return size;
    size.setHeight(std::max(size.height(), longestText() + 12));
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
