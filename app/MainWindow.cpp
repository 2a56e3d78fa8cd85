#include "MainWindow.h"

#include <gdk/gdkx.h>
#include <glib-unix.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <utility>

#include "AboutText.h"
#include "AppHost.h"
#include "IGraphics.h"
#include "KeyMap.h"
#include "OpenURL.h"
#include "PreferencesDialog.h"
#include "Screenshot.h"
#include "TamselConfig.h"
#include "UiGuard.h"

MainWindow* mainWindow = nullptr;

namespace {

constexpr guint kScreenshotDelayMs = 500;
constexpr const char* kTitle = "TAMSEL";

} // namespace

struct MainWindow::Widgets {
  GtkWidget* window = nullptr;
  GtkWidget* editorArea = nullptr;
  guint frameTimer = 0;
  guint editorEvents = 0;
  guint screenshotTimer = 0;
  int displayScale = 1;
};

TrackingLimits MainWindowLimits(float displayScale) {
  const auto scaled = [displayScale](int size) {
    return static_cast<int>(static_cast<float>(size) * displayScale);
  };
  return {scaled(kTamselConfig.plugMinWidth), scaled(kTamselConfig.plugMinHeight),
          scaled(kTamselConfig.plugMaxWidth), scaled(kTamselConfig.plugMaxHeight)};
}

namespace {

IGraphics* OpenEditorGraphics() {
  return hostInstance && hostInstance->plugin ? hostInstance->plugin->GetUI() : nullptr;
}

// A key as the window receives it. The virtual-key code is that of the unshifted key of its
// keycode, so that Ctrl+Shift+S is 'S' and Ctrl + comma the comma key whatever Shift gives; GDK's
// key values are X key symbols.
IKeyPress KeyOfEvent(const GdkEventKey& event) {
  guint plain = 0;
  if (!gdk_keymap_translate_keyboard_state(gdk_keymap_get_for_display(gdk_window_get_display(event.window)),
                                           event.hardware_keycode, static_cast<GdkModifierType>(0),
                                           event.group, &plain, nullptr, nullptr, nullptr))
    plain = event.keyval;
  return IKeyPress(TextFromKeysym(event.keyval).c_str(), VirtualKeyFromKeysym(plain),
                   (event.state & GDK_SHIFT_MASK) != 0, (event.state & GDK_CONTROL_MASK) != 0,
                   (event.state & GDK_MOD1_MASK) != 0);
}

void AddMenu(GtkWidget* menuBar, GtkAccelGroup* accelerators, const char* menuName, MainWindow* owner) {
  GtkWidget* menu = gtk_menu_new();
  gtk_menu_set_accel_group(GTK_MENU(menu), accelerators);
  for (const MenuEntry& entry : MainMenu()) {
    if (std::string(entry.menu) != menuName)
      continue;
    GtkWidget* item = entry.item ? gtk_menu_item_new_with_mnemonic(MnemonicText(entry.item).c_str())
                                 : gtk_separator_menu_item_new();
    if (entry.shortcut) {
      // Shown only: the window's key handler runs the accelerators, also while the editor has focus.
      guint key = 0;
      GdkModifierType mods{};
      for (const Accelerator& a : MainAccelerators())
        if (a.command == entry.command) {
          key = a.vk == kVK_OEM_COMMA ? GDK_KEY_comma : static_cast<guint>(a.vk);
          mods =
              static_cast<GdkModifierType>((a.ctrl ? GDK_CONTROL_MASK : 0) | (a.shift ? GDK_SHIFT_MASK : 0));
        }
      gtk_accel_label_set_accel(GTK_ACCEL_LABEL(gtk_bin_get_child(GTK_BIN(item))), key, mods);
    }
    if (entry.item) {
      g_object_set_data(G_OBJECT(item), "command", GINT_TO_POINTER(entry.command));
      g_signal_connect(item, "activate", G_CALLBACK(+[](GtkMenuItem* activated, gpointer self) {
                         const auto command = static_cast<MainCommand>(
                             GPOINTER_TO_INT(g_object_get_data(G_OBJECT(activated), "command")));
                         RunGuarded([self, command] { static_cast<MainWindow*>(self)->OnCommand(command); });
                       }),
                       owner);
    }
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
  }
  GtkWidget* top = gtk_menu_item_new_with_mnemonic(MnemonicText(menuName).c_str());
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(top), menu);
  gtk_menu_shell_append(GTK_MENU_SHELL(menuBar), top);
}

} // namespace

MainWindow::MainWindow()
    : messageBox([this](const std::string& text, const std::string& caption, MessageButtons buttons) {
        return ShowMessageBox(Window(), text, caption, buttons);
      }),
      runPreferences([](GtkWindow* owner) { return RunPreferencesDialog(owner); }),
      openFile([](const std::string& path) { OpenURL(path.c_str()); }) {}

MainWindow::~MainWindow() {
  Destroy();
}

GtkWindow* MainWindow::Window() const {
  return widgets && widgets->window ? GTK_WINDOW(widgets->window) : nullptr;
}

IGraphics* MainWindow::Editor() const {
  return widgets ? OpenEditorGraphics() : nullptr;
}

bool MainWindow::Create() {
  if (widgets || !hostInstance)
    return false;
  widgets = new Widgets;
  mainWindow = this;
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  widgets->window = window;
  gtk_window_set_title(GTK_WINDOW(window), kTitle);
  // Sized by the editor only: the user neither resizes nor maximises it.
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);

  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_container_add(GTK_CONTAINER(window), box);
  GtkWidget* menuBar = gtk_menu_bar_new();
  GtkAccelGroup* accelerators = gtk_accel_group_new();
  gtk_window_add_accel_group(GTK_WINDOW(window), accelerators);
  g_object_unref(accelerators);
  // The Debug menu is left out; its commands stay reachable through their accelerators.
  for (const char* menu : {"&File", "&Help"})
    AddMenu(menuBar, accelerators, menu, this);
  gtk_box_pack_start(GTK_BOX(box), menuBar, FALSE, FALSE, 0);

  // A drawing area has an X window of its own: the editor's parent.
  widgets->editorArea = gtk_drawing_area_new();
  gtk_box_pack_start(GTK_BOX(box), widgets->editorArea, TRUE, TRUE, 0);
  gtk_widget_set_size_request(widgets->editorArea, kTamselConfig.plugWidth, kTamselConfig.plugHeight);

  g_signal_connect(window, "delete-event", G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer self) -> gboolean {
                     RunGuarded([self] { static_cast<MainWindow*>(self)->RequestClose(); });
                     return TRUE;
                   }),
                   this);
  g_signal_connect(window, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer self) {
                     RunGuarded([self] { static_cast<MainWindow*>(self)->Destroy(); });
                   }),
                   this);
  // The accelerators first, then the editor, as a plug-in host passes keys to its view; the editor
  // reads the keyboard itself only while its text entry is open.
  g_signal_connect(window, "key-press-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEventKey* event, gpointer self) -> gboolean {
                     bool taken = false;
                     RunGuarded([self, event, &taken] {
                       const IKeyPress key = KeyOfEvent(*event);
                       const MainCommand command = AcceleratorCommand(key.VK, key.C, key.S, key.A);
                       if (command != kCommandNone) {
                         taken = true;
                         static_cast<MainWindow*>(self)->OnCommand(command);
                       } else if (IGraphics* editor = static_cast<MainWindow*>(self)->Editor()) {
                         float x = 0.f, y = 0.f;
                         editor->GetMousePosition(x, y);
                         taken = editor->OnKeyDown(x, y, key);
                       }
                     });
                     return taken;
                   }),
                   this);
  g_signal_connect(window, "notify::scale-factor", G_CALLBACK(+[](GObject*, GParamSpec*, gpointer self) {
                     RunGuarded([self] { static_cast<MainWindow*>(self)->FollowDisplayScale(); });
                   }),
                   this);
  g_signal_connect(widgets->editorArea, "size-allocate",
                   G_CALLBACK(+[](GtkWidget* area, GdkRectangle* allocation, gpointer) {
                     RunGuarded([area, allocation] {
                       if (!kTamselConfig.plugHostResize || !hostInstance || !OpenEditorGraphics())
                         return;
                       const int scale = gtk_widget_get_scale_factor(area);
                       hostInstance->plugin->OnParentWindowResize(allocation->width * scale,
                                                                  allocation->height * scale);
                     });
                   }),
                   nullptr);

  gtk_widget_show_all(box);
  gtk_widget_realize(widgets->editorArea);
  widgets->displayScale = std::max(1, gtk_widget_get_scale_factor(window));
  OpenEditor();

  // Centred on the primary monitor by the editor's size.
  int editorWidth = kTamselConfig.plugWidth, editorHeight = kTamselConfig.plugHeight;
  if (IGraphics* editor = Editor()) {
    editorWidth = editor->WindowWidth() / widgets->displayScale;
    editorHeight = editor->WindowHeight() / widgets->displayScale;
  }
  GdkDisplay* display = gtk_widget_get_display(window);
  if (GdkMonitor* monitor = gdk_display_get_primary_monitor(display)
                                ? gdk_display_get_primary_monitor(display)
                                : gdk_display_get_monitor(display, 0)) {
    GdkRectangle screen{};
    gdk_monitor_get_geometry(monitor, &screen);
    gtk_window_move(GTK_WINDOW(window), screen.x + screen.width / 2 - editorWidth / 2,
                    screen.y + screen.height / 2 - editorHeight / 2);
  }
  gtk_widget_show(window);

  if (!hostInstance->screenshotPath.empty())
    widgets->screenshotTimer = g_timeout_add(
        kScreenshotDelayMs,
        +[](gpointer self) -> gboolean {
          RunGuarded([self] { static_cast<MainWindow*>(self)->AutomaticScreenshot(); });
          return G_SOURCE_REMOVE;
        },
        this);
  return true;
}

void MainWindow::OpenEditor() {
  GdkWindow* area = gtk_widget_get_window(widgets->editorArea);
  if (!area || !gdk_window_ensure_native(area))
    return;
  // The editor's view connects to the display on its own: its parent must exist there first.
  gdk_display_sync(gdk_window_get_display(area));
  const auto parent = static_cast<uintptr_t>(gdk_x11_window_get_xid(area));
  if (!hostInstance->plugin->OpenWindow(reinterpret_cast<void*>(parent)))
    return;
  IGraphics* editor = Editor();
  editor->SetScreenScale(static_cast<float>(widgets->displayScale));
  editor->SetPlatformResizeHook(
      [this](int widthPx, int heightPx) { return ResizeEditorArea(widthPx, heightPx); });
  ResizeEditorArea(editor->WindowWidth(), editor->WindowHeight());
  // At idle priority: a frame that takes longer than its interval (software OpenGL) must not
  // starve GTK's redraws and input, nor the editor's events.
  widgets->frameTimer = g_timeout_add_full(
      G_PRIORITY_DEFAULT_IDLE, static_cast<guint>(std::max(1, 1000 / editor->FPS())),
      +[](gpointer) -> gboolean {
        RunGuarded([] {
          if (IGraphics* g = OpenEditorGraphics())
            g->OnTimer();
        });
        return G_SOURCE_CONTINUE;
      },
      nullptr, nullptr);
  widgets->editorEvents = g_unix_fd_add_full(
      G_PRIORITY_DEFAULT, editor->GetEventFd(), G_IO_IN,
      +[](gint, GIOCondition, gpointer) -> gboolean {
        RunGuarded([] {
          if (IGraphics* g = OpenEditorGraphics())
            g->ProcessEvents();
        });
        return G_SOURCE_CONTINUE;
      },
      nullptr, nullptr);
}

void MainWindow::CloseEditor() {
  for (guint* source : {&widgets->frameTimer, &widgets->editorEvents})
    if (*source) {
      g_source_remove(*source);
      *source = 0;
    }
  if (hostInstance && hostInstance->plugin)
    hostInstance->plugin->CloseWindow();
}

bool MainWindow::ResizeEditorArea(int widthPx, int heightPx) {
  const TrackingLimits limits = MainWindowLimits(static_cast<float>(widgets->displayScale));
  if (widthPx < limits.minWidth || widthPx > limits.maxWidth || heightPx < limits.minHeight ||
      heightPx > limits.maxHeight)
    return false;
  gtk_widget_set_size_request(widgets->editorArea, widthPx / widgets->displayScale,
                              heightPx / widgets->displayScale);
  return true;
}

void MainWindow::FollowDisplayScale() {
  if (!widgets || !widgets->window)
    return;
  widgets->displayScale = std::max(1, gtk_widget_get_scale_factor(widgets->window));
  if (IGraphics* editor = Editor())
    editor->SetScreenScale(static_cast<float>(widgets->displayScale));
}

void MainWindow::Destroy() {
  if (!widgets || destroying)
    return;
  destroying = true;
  if (widgets->screenshotTimer)
    g_source_remove(widgets->screenshotTimer);
  CloseEditor();
  GtkWidget* window = std::exchange(widgets->window, nullptr);
  if (window) {
    g_signal_handlers_disconnect_by_data(window, this);
    gtk_widget_destroy(window);
  }
  delete std::exchange(widgets, nullptr);
  if (mainWindow == this)
    mainWindow = nullptr;
  // Stops the stream and the MIDI ports, then deletes the plug-in.
  hostInstance.reset();
  if (gtk_main_level() > 0)
    gtk_main_quit();
  destroying = false;
  closeRequested = false;
}

void MainWindow::RequestClose() {
  if (!widgets)
    return;
  if (commandDepth == 0) {
    Destroy();
    return;
  }
  // The host object must outlive the dialog that works on it: end the dialog, and OnCommand
  // destroys the window when it returns.
  closeRequested = true;
  EndDialogsOf(Window());
}

void MainWindow::AutomaticScreenshot() {
  widgets->screenshotTimer = 0;
  const std::string path = hostInstance ? hostInstance->screenshotPath : std::string();
  if (!CaptureWindowToPng(Editor(), path.c_str())) {
    screenshotFailed = true;
    std::fprintf(stderr, "TAMSEL: the screenshot could not be written to %s\n", path.c_str());
  }
  // A dialog may be running on the host: the close waits for it like any other.
  RequestClose();
}

void MainWindow::SaveScreenshot() {
  const std::string path = ScreenshotPath(std::time(nullptr));
  if (path.empty() || !CaptureWindowToPng(Editor(), path.c_str())) {
    messageBox("Failed to save screenshot", "Error", MessageButtons::kOk);
    return;
  }
  char text[512];
  std::snprintf(text, sizeof text, "Screenshot saved to:\n%s\n\nOpen it?", path.c_str());
  if (messageBox(text, "Screenshot Saved", MessageButtons::kYesNo))
    openFile(path);
}

void MainWindow::OnCommand(MainCommand command) {
  // One command at a time: while a command's dialog runs, a second one (from the editor, which
  // that dialog's modality doesn't cover) would stack its own over it.
  if (!widgets || commandDepth > 0 || ModalRunning())
    return;
  ++commandDepth;
  RunCommand(command);
  if (--commandDepth == 0 && closeRequested)
    Destroy();
}

void MainWindow::RunCommand(MainCommand command) {
  switch (command) {
  case kCommandAbout:
    messageBox(AboutText(), kTitle, MessageButtons::kOk);
    break;
  case kCommandPreferences:
    if (runPreferences(Window()) && hostInstance)
      hostInstance->SaveSettings();
    break;
  case kCommandQuit:
    Destroy();
    break;
  case kCommandReadManual:
    messageBox("See the manual", kTitle, MessageButtons::kOk);
    break;
  case kCommandSaveScreenshot:
    SaveScreenshot();
    break;
  default: // live edit, control bounds, drawn area and FPS do nothing here
    break;
  }
}
