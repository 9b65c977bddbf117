#pragma once

#include "core/Messages.h"

// The message boxes, input box and beep on screen, titled with the program's description.
class QtMessages final : public Messages
{
public:
    Answer box(const QString& text, Icon icon, Buttons buttons) override;
    std::optional<QString> input(const QString& prompt, const QString& title) override;
    void beep() override;
    void wait(const QString& text, const std::function<double()>& progress,
              const std::function<bool()>& finished) override;
};
