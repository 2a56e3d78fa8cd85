// Modal message boxes and dialogs of the standalone program (GTK). UI thread.
#pragma once

#include <string>

typedef struct _GtkWindow GtkWindow;

enum class MessageButtons { kOk, kYesNo };

// Shows text with caption as the window title, owned by owner (may be null) and waits for the
// answer: true for OK or Yes.
bool ShowMessageBox(GtkWindow* owner, const std::string& text, const std::string& caption,
                    MessageButtons buttons);

// Lives while one of the program's modal dialogs or message boxes runs. GTK's modality covers our
// own windows only, not the editor's X window: while any runs, the open editor takes no input and
// the main window starts no command.
class ModalScope {
public:
  ModalScope();
  ~ModalScope();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;
};
bool ModalRunning();

// Ends every running dialog owned by owner (owner null: those without one) as its close box would.
void EndDialogsOf(GtkWindow* owner);
