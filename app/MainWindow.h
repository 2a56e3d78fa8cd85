// The standalone program's main window (GTK 3 on X11): a menu bar over the plug-in's editor, whose
// pugl view is a child of the window's editor area. It places the window around the editor, follows
// the display's scale, runs the menu and accelerator commands and the automatic screenshot, and
// destroys the host object when it is destroyed. UI thread only.
#pragma once

#include <functional>
#include <string>

#include "MainCommands.h"
#include "MessageBox.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;
class IGraphics;

// The window's minimum and maximum size in pixels: the editor's limits times the display scale,
// the fraction dropped.
struct TrackingLimits {
  int minWidth, minHeight, maxWidth, maxHeight;
};
TrackingLimits MainWindowLimits(float displayScale);

class MainWindow {
public:
  MainWindow();
  ~MainWindow(); // destroys the window if it still exists
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Builds and shows the window with the editor inside, centred on the primary monitor, and arms
  // the automatic screenshot when the host has a screenshot path. Needs hostInstance.
  bool Create();
  // Closes the editor, then the window; the destruction destroys the host object and ends the
  // main loop. Safe to call more than once.
  void Destroy();
  // The close box, the automatic screenshot or a request from outside (a signal): Destroy, but
  // while a command's modal dialog runs, that dialog is ended first and the window goes once the
  // command is done.
  void RequestClose();
  void OnCommand(MainCommand command);

  GtkWindow* Window() const;
  // The open editor, nullptr when it could not be opened.
  IGraphics* Editor() const;
  // The automatic screenshot was attempted and nothing was written.
  bool ScreenshotFailed() const { return screenshotFailed; }

  // The window's message boxes; tests replace it. true for OK or Yes.
  std::function<bool(const std::string& text, const std::string& caption, MessageButtons buttons)> messageBox;
  // The preferences dialog, modal; true when it ended with OK. Tests replace it.
  std::function<bool(GtkWindow* owner)> runPreferences;
  // Opens a saved screenshot with the desktop's viewer.
  std::function<void(const std::string& path)> openFile;

  struct Widgets;

private:
  void RunCommand(MainCommand command);
  void OpenEditor();
  void CloseEditor();
  void SaveScreenshot();
  void AutomaticScreenshot();
  bool ResizeEditorArea(int widthPx, int heightPx);
  void FollowDisplayScale();

  Widgets* widgets = nullptr;
  bool screenshotFailed = false;
  bool destroying = false;
  int commandDepth = 0; // commands running, with their modal dialogs
  bool closeRequested = false;
};

// The main window while it exists.
extern MainWindow* mainWindow;
