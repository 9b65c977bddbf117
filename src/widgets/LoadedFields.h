#pragma once

#include <QList>
#include <QString>
#include <utility>

class QAbstractButton;
class QLabel;
class QLineEdit;

// What a dialog's fields showed when it was filled from the register: whether OK would change anything,
// and which stored values were longer than their field admits, so that the field shows them cut.
class LoadedFields
{
public:
    void clear();
    // Fills the field with the stored value (cut where the field is shorter), named by its label.
    void fill(QLineEdit* field, const QString& value, const QLabel* label);
    void fill(QAbstractButton* box, bool checked);

    // Every field shows what it showed when filled.
    bool unchanged() const;

    // Asks before cut values are stored; true when none is cut or the user says Yes.
    bool confirmCut() const;

private:
    QList<std::pair<QLineEdit*, QString>> m_texts;
    QList<std::pair<QAbstractButton*, bool>> m_boxes;
    QList<const QLabel*> m_cut;
};
