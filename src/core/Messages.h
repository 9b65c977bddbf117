#pragma once

#include <QString>
#include <functional>
#include <optional>

// Every message box, question, input box and beep of the program goes through here.
// The windows install the on-screen implementation; tests install scripted answers.
class Messages
{
public:
    enum class Icon { Information, Exclamation, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Messages() = default;

    // A modal box titled with the program's description.
    virtual Answer box(const QString& text, Icon icon, Buttons buttons) = 0;
    // An input box with OK and Cancel; nullopt on Cancel.
    virtual std::optional<QString> input(const QString& prompt, const QString& title) = 0;
    virtual void beep() = 0;
    // While the program waits for work done elsewhere: the text with the share done (0 to 1, negative
    // when unknown) until finished() is true; it cannot be closed before. Without windows: only waits.
    virtual void wait(const QString& text, const std::function<double()>& progress,
                      const std::function<bool()>& finished);

    static Messages& instance();
    static void setInstance(Messages* messages); // not owned; nullptr restores the silent default
};

// Shorthands for the call sites.
inline Messages::Answer msgBox(const QString& text, Messages::Icon icon,
                               Messages::Buttons buttons = Messages::Buttons::Ok)
{
    return Messages::instance().box(text, icon, buttons);
}
