#pragma once

#include <QAbstractTableModel>

// The rows of the handout grid. (Grid operations are filled in with the main window.)
class VergabenModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex& = {}) const override { return 0; }
    int columnCount(const QModelIndex& = {}) const override { return 6; }
    QVariant data(const QModelIndex&, int = Qt::DisplayRole) const override { return {}; }
};
