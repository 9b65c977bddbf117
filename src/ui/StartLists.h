#pragma once

#include "MainLists.h"

#include <QThread>
#include <atomic>
#include <memory>
#include <optional>

// Completes the open of the register (completeOpen) and reads the main window's lists in a second thread
// while the start window is shown, so that after the user has answered it the main window shows at once,
// however large the register. The register must be open (openDbAhead); nothing else may use it until
// take() has returned.
class StartLists
{
public:
    StartLists(); // starts when the register is open; does nothing otherwise
    ~StartLists();
    StartLists(const StartLists&) = delete;
    StartLists& operator=(const StartLists&) = delete;

    // Waits for the thread to end: shown when the register is being upgraded, which waits for the day's
    // copy first. The lists, or none when the register was not open or refused a statement (the load
    // handler then reads them itself and meets the refusal there).
    std::optional<MainLists> take();

    // The open could not be completed: the register is to be opened again, which reports the refusal.
    bool openFailed() const { return m_openFailed; }

private:
    std::unique_ptr<QThread> m_thread;
    std::atomic<bool> m_done = false;
    bool m_upgrading = false;
    bool m_openFailed = false;
    std::optional<MainLists> m_lists;
};
