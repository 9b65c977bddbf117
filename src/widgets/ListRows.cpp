#include "ListRows.h"

#include <QListWidget>
#include <QSignalBlocker>

void listLinesCut(QListWidget* list)
{
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideNone);
}

void setListRows(QListWidget* list, const QStringList& rows)
{
    // Qt's sorted insertion would place the new rows one by one.
    const bool sorting = list->isSortingEnabled();
    list->setSortingEnabled(false);
    list->clearSelection();
    list->setCurrentItem(nullptr);

    QAbstractItemModel* model = list->model();
    const int kept = static_cast<int>(std::min<qsizetype>(list->count(), rows.size()));
    if (list->count() > kept)
        model->removeRows(kept, list->count() - kept);
    if (kept > 0) {
        {
            // One change for all rows instead of one per row.
            const QSignalBlocker quiet(model);
            for (int i = 0; i < kept; ++i)
                list->item(i)->setText(rows.at(i));
        }
        Q_EMIT model->dataChanged(model->index(0, 0), model->index(kept - 1, 0), {Qt::DisplayRole, Qt::EditRole});
    }
    if (rows.size() > kept)
        list->addItems(rows.mid(kept));
    list->setSortingEnabled(sorting);
}
