// Runs the body of a GTK callback so that no exception crosses into GTK's C code: an exception
// ends the main loop, and the program then exits with 1. UI thread.
#pragma once

#include <functional>

void RunGuarded(const std::function<void()>& body) noexcept;
// A callback body ended with an exception.
bool UiFailed();
