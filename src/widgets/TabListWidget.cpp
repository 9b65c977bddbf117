#include "TabListWidget.h"

#include <QEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextOption>
#include <algorithm>
#include <array>
#include <numeric>
#include <vector>

namespace {

// A row's item. Its text is its slot in the list's buffer, turned into a string when asked for.
class RowItem final : public QListWidgetItem
{
public:
    static constexpr int kType = QListWidgetItem::UserType + 1;

    RowItem(TabListWidget* list, qsizetype slot) : QListWidgetItem(nullptr, kType), m_list(list), slot(slot) {}

    QVariant data(int role) const override
    {
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return m_list->slotText(slot);
        return QListWidgetItem::data(role);
    }
    void setData(int role, const QVariant& value) override
    {
        if (role != Qt::DisplayRole && role != Qt::EditRole) {
            QListWidgetItem::setData(role, value);
            return;
        }
        slot = m_list->addSlot(value.toString());
        m_list->rowTextChanged(this);
    }
    bool operator<(const QListWidgetItem& other) const override
    {
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }
    QListWidgetItem* clone() const override
    {
        auto* copy = new QListWidgetItem(*this);
        copy->setText(text());
        return copy;
    }

private:
    TabListWidget* m_list;

public:
    qsizetype slot;
};

// A row's first eight characters as one integer, each folded and lowered where that gives ASCII, the
// first in the highest byte. Behind the end of the text 0, so a shorter text sorts first; from a
// character whose folded form is not ASCII on 0xFF, above every ASCII character as that form is, so
// that such rows meet as equals and are then compared whole.
quint64 headOf(QByteArrayView utf8)
{
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* const end = p + utf8.size();
    const auto continues = [end](const unsigned char* at) { return at < end && (*at & 0xC0) == 0x80; };
    quint64 head = 0;
    for (int i = 0; i < 8 && p < end; ++i) {
        char32_t c = *p;
        if (c < 0x80) {
            ++p;
            c = c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
        } else if (c >= 0xC2 && c < 0xE0 && continues(p + 1)) {
            c = QChar::toCaseFolded(((c & 0x1F) << 6) | (p[1] & 0x3F));
            p += 2;
        } else if (c >= 0xE0 && c < 0xF0 && continues(p + 1) && continues(p + 2)) {
            const char32_t point = ((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
            c = point >= 0x800 && (point < 0xD800 || point > 0xDFFF) ? QChar::toCaseFolded(point) : 0xFFFD;
            p += 3;
        } else {
            c = 0xFFFD; // four bytes or not UTF-8: no ASCII either way
        }
        const quint64 byte = c < 0x80 ? c : 0xFF;
        head |= byte << (56 - 8 * i);
        if (byte == 0xFF)
            break;
    }
    return head;
}

// The rows' order as text without regard to case, as slots. Nearly all of it compares integers (a key
// row differs from the next within its key number); rows whose integers are equal are compared as whole
// strings. Comparing items would copy and fold both texts on every comparison, ten times the cost of
// reading the rows.
std::vector<qint32> orderWithoutCase(const Utf8Rows& rows)
{
    struct Key
    {
        quint64 head;
        qint32 slot;
    };
    std::vector<Key> keys;
    keys.reserve(static_cast<std::size_t>(rows.size()));
    for (qsizetype slot = 0; slot < rows.size(); ++slot)
        keys.push_back({headOf(rows.row(slot)), static_cast<qint32>(slot)});

    // A stable radix sort, a byte at a time from the lowest; a byte the same in every row is passed over.
    std::vector<Key> buffer(keys.size());
    for (int shift = 0; shift < 64; shift += 8) {
        std::array<std::size_t, 257> start{};
        for (const Key& key : keys)
            ++start[((key.head >> shift) & 0xFF) + 1];
        if (std::find(start.begin(), start.end(), keys.size()) != start.end())
            continue;
        for (std::size_t i = 1; i < start.size(); ++i)
            start[i] += start[i - 1];
        for (const Key& key : keys)
            buffer[start[(key.head >> shift) & 0xFF]++] = key;
        keys.swap(buffer);
    }

    for (auto run = keys.begin(); run != keys.end();) {
        const auto end = std::find_if(run, keys.end(), [&run](const Key& k) { return k.head != run->head; });
        if (end - run > 1) {
            std::vector<std::pair<QString, Key>> texts;
            for (auto k = run; k != end; ++k)
                texts.emplace_back(rows.text(k->slot), *k);
            std::stable_sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) {
                return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
            });
            for (std::size_t i = 0; i < texts.size(); ++i)
                run[static_cast<std::ptrdiff_t>(i)] = texts[i].second;
        }
        run = end;
    }

    std::vector<qint32> order;
    order.reserve(keys.size());
    for (const Key& key : keys)
        order.push_back(key.slot);
    return order;
}

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

void TabListWidget::setRows(Utf8Rows rows)
{
    std::vector<qint32> order;
    if (isSortingEnabled()) {
        order = orderWithoutCase(rows);
    } else {
        order.resize(static_cast<std::size_t>(rows.size()));
        std::iota(order.begin(), order.end(), 0);
    }
    // The items there are take their new slots; only the difference in number is added or removed. The
    // surplus goes while the texts it points at are still there: removing the current row moves the
    // current item to a kept one, and the list reads that row's text at once.
    const int rowCount = static_cast<int>(order.size());
    if (count() > rowCount)
        model()->removeRows(rowCount, count() - rowCount);
    m_texts = std::move(rows);
    const int kept = count();
    const bool sorting = isSortingEnabled();
    setSortingEnabled(false);
    for (int i = 0; i < kept; ++i) {
        QListWidgetItem* row = item(i);
        if (row->type() == RowItem::kType) {
            static_cast<RowItem*>(row)->slot = order[static_cast<std::size_t>(i)];
        } else {
            delete takeItem(i);
            QListWidget::insertItem(i, new RowItem(this, order[static_cast<std::size_t>(i)]));
        }
    }
    for (int i = kept; i < rowCount; ++i)
        QListWidget::addItem(new RowItem(this, order[static_cast<std::size_t>(i)]));
    // Told while sorting is off: with it on, Qt would sort the changed rows again, item by item.
    if (kept > 0)
        Q_EMIT model()->dataChanged(model()->index(0, 0), model()->index(kept - 1, 0), {Qt::DisplayRole, Qt::EditRole});
    setSortingEnabled(sorting);
    clearSelection();
    setCurrentItem(nullptr);
}

void TabListWidget::setRows(const QStringList& rows)
{
    Utf8Rows texts;
    for (const QString& row : rows)
        texts.appendRow(row);
    setRows(std::move(texts));
}

void TabListWidget::addItem(const QString& label)
{
    insertItem(count(), label);
}

void TabListWidget::addItems(const QStringList& labels)
{
    if (!isSortingEnabled()) {
        for (const QString& label : labels)
            addItem(label);
        return;
    }
    QStringList rows;
    rows.reserve(count() + labels.size());
    for (int i = 0; i < count(); ++i)
        rows.append(item(i)->text());
    rows.append(labels);
    setRows(rows);
}

void TabListWidget::insertItem(int row, const QString& label)
{
    if (isSortingEnabled()) {
        // Behind the rows that sort before it or equal it, as a sorted insertion places it.
        int low = 0;
        int high = count();
        while (low < high) {
            const int middle = (low + high) / 2;
            if (label.compare(item(middle)->text(), Qt::CaseInsensitive) < 0)
                high = middle;
            else
                low = middle + 1;
        }
        row = low;
    }
    const bool sorting = isSortingEnabled();
    setSortingEnabled(false);
    QListWidget::insertItem(row, new RowItem(this, addSlot(label)));
    setSortingEnabled(sorting);
}

void TabListWidget::clear()
{
    QListWidget::clear();
    m_texts = Utf8Rows();
}

qsizetype TabListWidget::addSlot(const QString& text)
{
    m_texts.appendRow(text);
    return m_texts.size() - 1;
}

void TabListWidget::rowTextChanged(QListWidgetItem* row)
{
    const QModelIndex index = indexFromItem(row);
    Q_EMIT model()->dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
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
