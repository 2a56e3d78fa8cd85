// The preferences dialog: audio driver, devices, channels, buffer size, sample rate, MIDI ports
// and channels. UI thread only; it edits hostInstance->state while it is open.
#pragma once

#include "PreferencesModel.h"

typedef struct _GtkWindow GtkWindow;

// Runs the dialog modally over parent; true when it ended with OK (the caller then saves the
// settings), false for Cancel or the close box. An exception inside ends the dialog and leaves
// here, for the main loop's handler. Without deviceInfo the host's audio object describes the
// devices.
bool RunPreferencesDialog(GtkWindow* parent, PreferencesModel::DeviceInfoSource deviceInfo = {});
