// Modal message boxes of the standalone program (GTK). UI thread.
#pragma once

#include <string>

typedef struct _GtkWindow GtkWindow;

enum class MessageButtons { kOk, kYesNo };

// Shows text with caption as the window title, owned by owner (may be null) and waits for the
// answer: true for OK or Yes.
bool ShowMessageBox(GtkWindow* owner, const std::string& text, const std::string& caption,
                    MessageButtons buttons);
