#pragma once

#include <QAbstractTableModel>
#include <QVector>

// A table model whose lines a sort puts in a new order: the views' selection and current line follow
// their lines.
class LinesModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

protected:
    // Puts lines in the given order: order[i] is the line that comes to place i.
    template <typename Line> void reorder(QVector<Line>& lines, const QVector<int>& order)
    {
        Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        QVector<int> newPlace(order.size());
        QVector<Line> sorted;
        sorted.reserve(order.size());
        for (int i = 0; i < order.size(); ++i) {
            newPlace[order[i]] = i;
            sorted.append(std::move(lines[order[i]]));
        }
        lines = std::move(sorted);
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex& index : before)
            after.append(index.isValid() ? this->index(newPlace[index.row()], index.column()) : index);
        changePersistentIndexList(before, after);
        Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
};
