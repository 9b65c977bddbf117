#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class QProgressBar;

// While the day's copy of the register runs: a small window at the foot of the screen that says what
// runs, what it protects and how far it is, from the start window on until the copy is done. Then it
// hides and tells a failure of the copy, once.
class CopyProgress : public QWidget
{
    Q_OBJECT
public:
    CopyProgress(); // shows itself while a copy runs

    void follow(); // the copy and the language

    QLabel* lblWas = nullptr;
    QLabel* lblWozu = nullptr;
    QProgressBar* prgKopie = nullptr;

private:
    QTimer m_timer;
};
