// Opens a URL with the desktop's handler (xdg-open), without waiting for it. UI thread.
#pragma once

#include <functional>

// true when the handler was started (or the hook said so); its own result is not awaited.
bool OpenURL(const char* url);
// Tests replace the launcher; nullptr restores xdg-open.
void SetOpenURLHook(std::function<bool(const char* url)> hook);
