#include "QtMessages.h"

#include "core/AppState.h"

#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The buttons speak the language the user chose, like the texts above them.
struct ButtonTexts
{
    QString yes, no, ok, cancel;
};

ButtonTexts buttonTexts()
{
    const QString& language = app().Sprache;
    if (language == QLatin1String("EN"))
        return {QStringLiteral("&Yes"), QStringLiteral("&No"), QStringLiteral("OK"), QStringLiteral("Cancel")};
    if (language == QLatin1String("FR"))
        return {QStringLiteral("&Oui"), QStringLiteral("&Non"), QStringLiteral("OK"), QStringLiteral("Annuler")};
    return {QStringLiteral("&Ja"), QStringLiteral("&Nein"), QStringLiteral("OK"), QStringLiteral("Abbrechen")};
}

} // namespace

Messages::Answer QtMessages::box(const QString& text, Icon icon, Buttons buttons)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(kProgramDescription);
    box.setText(text);
    switch (icon) {
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    const ButtonTexts texts = buttonTexts();
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(texts.yes);
        box.button(QMessageBox::No)->setText(texts.no);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(texts.ok);
    box.exec();
    return Answer::Ok;
}

std::optional<QString> QtMessages::input(const QString& prompt, const QString& title)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(QString());
    const ButtonTexts texts = buttonTexts();
    dialog.setOkButtonText(texts.ok);
    dialog.setCancelButtonText(texts.cancel);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

void QtMessages::beep()
{
    QApplication::beep();
}

void QtMessages::wait(const QString& text, const std::function<double()>& progress,
                      const std::function<bool()>& finished)
{
    if (finished())
        return;
    QDialog dialog(QApplication::activeWindow(), Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog.setWindowTitle(kProgramDescription);
    dialog.setModal(true);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(text, &dialog);
    label->setWordWrap(true);
    auto* bar = new QProgressBar(&dialog);
    layout->addWidget(label);
    layout->addWidget(bar);
    dialog.setMinimumWidth(420);
    QTimer timer;
    const auto follow = [&] {
        if (finished()) {
            dialog.accept();
            return;
        }
        const double share = progress();
        bar->setRange(0, share < 0 ? 0 : 1000);
        bar->setValue(share < 0 ? 0 : static_cast<int>(share * 1000));
    };
    QObject::connect(&timer, &QTimer::timeout, &dialog, follow);
    follow();
    timer.start(50);
    // Escape closes a dialog; the wait goes on until the work is finished.
    while (!finished())
        dialog.exec();
}
