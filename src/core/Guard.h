#pragma once

#include <functional>

// Runs one event handler. A statement the store refuses ends the handler with message 709 and the
// engine's number and text; the program goes on. Returns false when the handler was ended that way.
bool guarded(const std::function<void()>& handler);
