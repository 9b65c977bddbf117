#include "Messages.h"

#include <QTextStream>
#include <chrono>
#include <thread>

namespace {

// Used until a window layer installs its own: writes to stderr and answers No/Cancel,
// so nothing is written on an unanswerable question.
class StderrMessages final : public Messages
{
public:
    Answer box(const QString& text, Icon, Buttons buttons) override
    {
        QTextStream(stderr) << text << Qt::endl;
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
    std::optional<QString> input(const QString& prompt, const QString&) override
    {
        QTextStream(stderr) << prompt << Qt::endl;
        return std::nullopt;
    }
    void beep() override {}
};

StderrMessages g_default;
Messages* g_current = &g_default;

} // namespace

void Messages::wait(const QString&, const std::function<double()>&, const std::function<bool()>& finished)
{
    while (!finished())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

Messages& Messages::instance()
{
    return *g_current;
}

void Messages::setInstance(Messages* messages)
{
    g_current = messages ? messages : &g_default;
}
