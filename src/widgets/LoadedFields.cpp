#include "LoadedFields.h"

#include "core/Messages.h"
#include "core/Texts.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

void LoadedFields::clear()
{
    m_texts.clear();
    m_boxes.clear();
    m_cut.clear();
}

void LoadedFields::fill(QLineEdit* field, const QString& value, const QLabel* label)
{
    field->setText(value);
    m_texts.append({field, field->text()});
    if (value.size() > field->maxLength())
        m_cut.append(label);
}

void LoadedFields::fill(QAbstractButton* box, bool checked)
{
    box->setChecked(checked);
    m_boxes.append({box, checked});
}

bool LoadedFields::unchanged() const
{
    for (const auto& [field, shown] : m_texts) {
        if (field->text() != shown)
            return false;
    }
    for (const auto& [box, checked] : m_boxes) {
        if (box->isChecked() != checked)
            return false;
    }
    return true;
}

bool LoadedFields::confirmCut() const
{
    if (m_cut.isEmpty())
        return true;
    QStringList names;
    for (const QLabel* label : m_cut) {
        QString name = label->text().trimmed();
        if (name.endsWith(QLatin1Char(':')))
            name.chop(1);
        names << name.trimmed();
    }
    const QString question =
        GetText(QStringLiteral("Gespeicherte Werte sind länger, als dieses Fenster sie fassen kann, und würden gekürzt "
                               "gespeichert:"),
                1752) +
        QLatin1Char(' ') + names.join(QStringLiteral(", ")) + QStringLiteral("\r\n") +
        GetText(QStringLiteral("Trotzdem speichern?"), 452);
    return msgBox(question, Messages::Icon::Exclamation, Messages::Buttons::YesNo) == Messages::Answer::Yes;
}
