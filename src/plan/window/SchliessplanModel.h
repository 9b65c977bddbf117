#pragma once

#include "plan/PlanMatrix.h"

#include <QAbstractTableModel>

// The locking plan as a table: the cylinder and its door in the first two columns, then one column per
// key with an X where the key opens the cylinder. Holds the whole plan; a crossing is looked up in the
// cylinder's sorted keys, so a plan of thousands of rows and columns shows without delay.
class SchliessplanModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kZylinder = 0;
    static constexpr int kTuer = 1;
    static constexpr int kFirstKey = 2;

    explicit SchliessplanModel(QObject* parent = nullptr);

    void setPlan(PlanMatrix plan);
    const PlanMatrix& plan() const { return m_plan; }

    // Whether the key of the column opens the cylinder of the row; columns from kFirstKey.
    bool opens(int row, int column) const;
    // Shows the crossing as the register now holds it.
    void setOpens(int row, int column, bool opens);

    QString cylinderNumber(int row) const;
    QString keyNumber(int column) const;
    // The row of the cylinder with this number (case and trailing blanks aside); -1 when none.
    int rowOf(const QString& cylinderNumber) const;
    int columnOf(const QString& keyNumber) const;

    // The next row after row (wrapping round) whose cylinder number or door holds the text, case aside;
    // -1 when none does.
    int find(const QString& text, int after) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    PlanMatrix m_plan;
};
