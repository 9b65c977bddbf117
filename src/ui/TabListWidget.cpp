#include "TabListWidget.h"

#include <QEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextOption>

namespace {

class CaselessItem final : public QListWidgetItem
{
public:
    explicit CaselessItem(const QString& text) : QListWidgetItem(text) {}
    bool operator<(const QListWidgetItem& other) const override
    {
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }
};

// The standard delegate draws a tab as a blank; this one lays the text out with tab stops.
class TabStopDelegate final : public QStyledItemDelegate
{
public:
    explicit TabStopDelegate(TabListWidget* list) : QStyledItemDelegate(list), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QWidget* widget = item.widget;
        QStyle* style = widget ? widget->style() : nullptr;
        if (!style) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
        const QString text = item.text;
        item.text.clear();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

        const QPalette::ColorGroup group = (item.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        const bool selected = item.state & QStyle::State_Selected;
        painter->save();
        painter->setFont(item.font);
        painter->setPen(item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        QTextOption layout(Qt::AlignLeft | Qt::AlignVCenter);
        layout.setWrapMode(QTextOption::NoWrap);
        layout.setTabStopDistance(m_list->tabStopDistance());
        painter->setClipRect(textRect);
        painter->drawText(QRectF(textRect.adjusted(margin, 0, -margin, 0)), text, layout);
        painter->restore();
    }

private:
    TabListWidget* m_list;
};

} // namespace

TabListWidget::TabListWidget(QWidget* parent) : QListWidget(parent)
{
    setItemDelegate(new TabStopDelegate(this));
    updateDefaultTabStop();
}

void TabListWidget::setTabStopDistance(qreal pixels)
{
    m_tabStop = pixels;
    m_tabStopSet = true;
    viewport()->update();
}

void TabListWidget::addItem(const QString& label)
{
    QListWidget::addItem(new CaselessItem(label));
}

void TabListWidget::addItems(const QStringList& labels)
{
    for (const QString& label : labels)
        addItem(label);
}

void TabListWidget::insertItem(int row, const QString& label)
{
    QListWidget::insertItem(row, new CaselessItem(label));
}

void TabListWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        updateDefaultTabStop();
    QListWidget::changeEvent(event);
}

void TabListWidget::updateDefaultTabStop()
{
    if (m_tabStopSet)
        return;
    const QFontMetricsF metrics(font());
    m_tabStop = metrics.horizontalAdvance(QStringLiteral("0000")) + metrics.horizontalAdvance(QLatin1Char('0')) / 2;
}
