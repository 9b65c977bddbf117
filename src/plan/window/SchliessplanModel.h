#pragma once

#include "plan/PlanMatrix.h"

#include <QAbstractTableModel>
#include <QHash>
#include <optional>

class Database;

// The locking plan as a table: the cylinder and its door in the first two columns, then one column per
// key with an X where the key opens the cylinder. Holds the plan's keys and cylinders; a cylinder's
// crossings are read from the register when its row is first shown, so a plan of thousands of rows and
// columns opens and scrolls without delay.
class SchliessplanModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kZylinder = 0;
    static constexpr int kTuer = 1;
    static constexpr int kFirstKey = 2;

    explicit SchliessplanModel(QObject* parent = nullptr);

    // Reads the register's plan afresh.
    void load(Database& db);
    // The plan's keys and cylinders, without their crossings.
    const PlanMatrix& outline() const { return m_plan; }
    qsizetype crossings() const { return m_crossings; }

    // Whether the key of the column opens the cylinder of the row; columns from kFirstKey.
    bool opens(int row, int column) const;
    // Shows the crossing as the register now holds it, after a change that asked opens() first: a row not
    // read before is read as the register holds it, and the count of crossings stays as it was.
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
    // The row's key columns, ascending; read when first asked for.
    const QList<int>& keysOfRow(int row) const;

    Database* m_db = nullptr;
    PlanMatrix m_plan;
    QHash<QString, int> m_columnOf; // by the key number's equality key
    mutable QList<std::optional<QList<int>>> m_rows;
    qsizetype m_crossings = 0;
};
