#pragma once

#include "MainLists.h"

#include <QThread>
#include <memory>
#include <optional>

// Reads the main window's lists in a second thread while the start window is shown, so that after the
// user has answered it the main window shows at once, however large the register. The register must
// be open (openDbAhead); nothing else may use it until take() has returned.
class StartLists
{
public:
    StartLists(); // starts reading when the register is open; does nothing otherwise
    ~StartLists();
    StartLists(const StartLists&) = delete;
    StartLists& operator=(const StartLists&) = delete;

    // Waits for the reading to end. The lists, or none when the register was not open or refused a
    // statement (the load handler then reads them itself and meets the refusal there).
    std::optional<MainLists> take();

private:
    std::unique_ptr<QThread> m_thread;
    std::optional<MainLists> m_lists;
};
