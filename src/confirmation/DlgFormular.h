#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// dlgFormular: edits the confirmation template. Three clickable labels insert the placeholders at
// the caret; OK stores the text in the header row, Abbrechen and the close box store nothing.
class DlgFormular : public QDialog
{
    Q_OBJECT
public:
    explicit DlgFormular(QWidget* parent = nullptr);

    // Builds the dialog over parent, loads the template and shows it through DialogRunner.
    static void open(QWidget* parent);
    void load();
    void setTexts();

    // Handlers
    void dfDatum_Click();
    void dfName_Click();
    void dfSchluessel_Click();
    void dfText_GotFocus();
    void dfText_LostFocus();
    void pbOK_Click();
    void pbAbbrechen_Click();

    // Where the last placeholder insertion began, in characters of the stored text (a line break
    // counts two). Kept from one opening to the next for the whole run.
    static qint32 CaretPos;

    QLabel* Label1 = nullptr;
    QLabel* dfName = nullptr;
    QLabel* dfSchluessel = nullptr;
    QLabel* dfDatum = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* dfText = nullptr;
    QPushButton* pbAbbrechen = nullptr;
    QPushButton* pbOK = nullptr;

    // The template as stored (lines end in carriage return plus line feed), from the field's text.
    QString storedText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Inserts before the caret (any selection stays behind the piece); the caret ends caretOffset
    // characters of the field into the piece.
    void insertPlaceholder(const QString& piece, int caretOffset);
};
