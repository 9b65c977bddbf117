#pragma once

#include "core/Messages.h"

#include <QList>
#include <QQueue>
#include <QString>

// Stands in for the message boxes in tests: records what was shown, answers from a queue.
// Unqueued boxes are answered Ok, unqueued questions Yes; an unqueued input box fails the test.
class ScriptedMessages final : public Messages
{
public:
    struct Shown
    {
        QString text;
        Icon icon;
        Buttons buttons;
    };

    ScriptedMessages() { Messages::setInstance(this); }
    ~ScriptedMessages() override { Messages::setInstance(nullptr); }

    void queueAnswer(Answer answer) { m_answers.enqueue(answer); }
    void queueInput(std::optional<QString> text) { m_inputs.enqueue(std::move(text)); }

    Answer box(const QString& text, Icon icon, Buttons buttons) override
    {
        shown.append({text, icon, buttons});
        if (!m_answers.isEmpty())
            return m_answers.dequeue();
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    std::optional<QString> input(const QString& prompt, const QString& title) override
    {
        prompts.append(prompt);
        inputTitles.append(title);
        // A prompt that repeats until answered would hang the test: fail it instead.
        if (m_inputs.isEmpty())
            qFatal("unscripted input box: %s", qPrintable(prompt));
        return m_inputs.dequeue();
    }
    void beep() override { ++beeps; }
    void wait(const QString& text, const std::function<double()>& progress,
              const std::function<bool()>& finished) override
    {
        if (!finished())
            waits.append(text);
        Messages::wait(text, progress, finished);
    }

    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    void clear()
    {
        shown.clear();
        prompts.clear();
        inputTitles.clear();
        waits.clear();
        beeps = 0;
    }

    QList<Shown> shown;
    QStringList prompts;
    QStringList inputTitles;
    QStringList waits; // the texts of waits that had to wait
    int beeps = 0;

private:
    QQueue<Answer> m_answers;
    QQueue<std::optional<QString>> m_inputs;
};
