#pragma once

#include <QObject>

class QLineEdit;

// Selects the whole text of a field whenever the field receives the focus.
class SelectAllOnFocus : public QObject
{
    Q_OBJECT
public:
    // The filter belongs to the field and goes with it.
    static void install(QLineEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit SelectAllOnFocus(QLineEdit* field);
};
