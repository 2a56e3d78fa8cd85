// The standalone program's entry: one copy at a time, the command line, the host and its devices,
// then the main window and GTK's main loop until the window is gone.
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>

#include "AppHost.h"
#include "AudioThreadReports.h"
#include "CommandLine.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "SingleInstance.h"
#include "UiGuard.h"

namespace {

enum ExitCode : int { kExitOk = 0, kExitFailure = 1, kExitScreenshotFailed = 2 };

// A close asked for before the main window exists: the window is then never shown.
bool closeBeforeWindow = false;

gboolean CloseOnSignal(gpointer) {
  RunGuarded([] {
    if (mainWindow) {
      mainWindow->RequestClose();
      return;
    }
    // Only a start-up message box runs the loop this early: it ends, and the program with it.
    closeBeforeWindow = true;
    EndDialogsOf(nullptr);
  });
  return G_SOURCE_CONTINUE;
}

int Run(int argc, char** argv, SingleInstance& instance) {
  gdk_set_allowed_backends("x11");
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "TAMSEL needs an X11 display: none could be opened.\n");
    return kExitFailure;
  }
  // A terminal's Ctrl+C or a session's TERM closes the window as its close box would; one that
  // comes while the program starts is handled once a loop runs, so the stream still ends with its
  // fade: by the main loop, or by a start-up message box's, and then the window never shows.
  g_unix_signal_add(SIGINT, CloseOnSignal, nullptr);
  g_unix_signal_add(SIGTERM, CloseOnSignal, nullptr);

  AppHost* host = CreateHost();
  const CommandLine options = ParseCommandLine(argc, argv);
  host->screenshotPath = options.screenshotPath;
  host->noIO = options.noIO;
  host->messageBox = [](const std::string& text, const std::string& caption) {
    ShowMessageBox(mainWindow ? mainWindow->Window() : nullptr, text, caption, MessageButtons::kOk);
  };
  host->InitHost();
  host->ApplyAudioSettings();

  MainWindow window;
  if (!closeBeforeWindow)
    window.Create();
  const guint raiseRequests = instance.ListenFd() < 0
                                  ? 0
                                  : g_unix_fd_add(
                                        instance.ListenFd(), G_IO_IN,
                                        +[](gint, GIOCondition, gpointer data) -> gboolean {
                                          RunGuarded([data] {
                                            static_cast<SingleInstance*>(data)->ServeRequest([] {
                                              if (mainWindow && mainWindow->Window())
                                                gtk_window_present(mainWindow->Window());
                                            });
                                          });
                                          return G_SOURCE_CONTINUE;
                                        },
                                        &instance);
  // What the audio library reported on the audio thread, which may not write itself.
  g_timeout_add_seconds(
      1,
      +[](gpointer) -> gboolean {
        WriteAudioThreadReports(std::chrono::steady_clock::now());
        return G_SOURCE_CONTINUE;
      },
      nullptr);

  if (mainWindow)
    gtk_main();
  window.Destroy();
  // The stream is closed with the host; what its last blocks and its close reported is written now.
  hostInstance.reset();
  WritePendingAudioThreadReports();
  if (raiseRequests)
    g_source_remove(raiseRequests);
  if (UiFailed())
    return kExitFailure;
  return window.ScreenshotFailed() ? kExitScreenshotFailed : kExitOk;
}

} // namespace

int main(int argc, char** argv) {
  try {
    // A screenshot that can't be written, known before anything starts.
    if (const CommandLine options = ParseCommandLine(argc, argv);
        options.screenshot && options.screenshotPath.empty()) {
      std::fprintf(stderr, "TAMSEL: no screenshot was written: its path is empty\n");
      return kExitScreenshotFailed;
    }
    SingleInstance instance;
    // Without a usable runtime folder the program still runs, only unguarded.
    if (instance.Acquire() == SingleInstance::Status::kRunning) {
      // Another copy runs: it raises its window and this one ends. A screenshot asked of this
      // copy is not taken, which is a failure like any other unwritten screenshot.
      instance.AskToRaise();
      const CommandLine options = ParseCommandLine(argc, argv);
      if (options.screenshotPath.empty())
        return kExitOk;
      std::fprintf(stderr, "TAMSEL: another copy is running; no screenshot was written to %s\n",
                   options.screenshotPath.c_str());
      return kExitScreenshotFailed;
    }
    return Run(argc, argv, instance);
  } catch (const std::exception&) {
    return kExitFailure;
  }
}
