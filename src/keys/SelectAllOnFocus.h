#pragma once

#include <QObject>

class QLineEdit;

// Selects a field's whole text whenever it receives the focus, by Tab or by mouse.
class SelectAllOnFocus final : public QObject
{
    Q_OBJECT
public:
    // The helper lives as a child of the field.
    static void install(QLineEdit* field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
