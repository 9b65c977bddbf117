#pragma once

#include <QDialog>

class QButtonGroup;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

// The start window: product line, name, version, the language choice. Shown modally at start and
// from the main window's logo; built afresh each time, so "Deutsch" is selected whenever it opens.
class FrmSplash : public QDialog
{
    Q_OBJECT
public:
    explicit FrmSplash(QWidget* parent = nullptr);

    // Builds the window, shows it modally and returns when it has closed.
    static void showModal(QWidget* parent = nullptr);

    void Form_Load();            // captions, version line, product name
    void setTexts();             // the window's caption routine
    void rbSprache_Click();      // the selected option sets the language
    void pbOK_Click();           // also a click on the free surface of the frame
    void selectOption(int index);

    QFrame* Frame1 = nullptr;
    QLabel* imgLogo = nullptr;
    QLabel* lblCompanyProduct = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QRadioButton* rbSprache[3] = {};
    QPushButton* pbOK = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QButtonGroup* m_group = nullptr;
};
