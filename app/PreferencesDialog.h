// The preferences dialog: audio driver, devices, channels, buffer size, sample rate, MIDI ports
// and channels. UI thread only; it edits hostInstance->state while it is open.
#pragma once

typedef struct _GtkWindow GtkWindow;

// Runs the dialog modally over parent; true when it ended with OK (the caller then saves the
// settings), false for Cancel or the close box.
bool RunPreferencesDialog(GtkWindow* parent);
