// The main window in the test's own process under a private X server: the editor inside it, its
// menu, the keys (accelerators, then the editor), the commands and the teardown.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "GtkWidgets.h"
#include "HostRig.h"
#include "IGraphics.h"
#include "MainWindow.h"
#include "Params.h"
#include "PngFile.h"
#include "PreferencesDialog.h"
#include "ProgramRun.h"
#include "Waits.h"

namespace {

struct Box {
  std::string text, caption;
  MessageButtons buttons;
};

IGraphics* OpenEditor() {
  return hostInstance && hostInstance->plugin ? hostInstance->plugin->GetUI() : nullptr;
}

// Runs what the loop has pending, in a bounded number of turns: the editor's frame timer may
// always be ready. It has idle priority, so once it has drawn two frames all that was queued before
// has run; on a busy machine every turn may draw one, and each is slow.
void Pump(int iterations = 50) {
  const IGraphics* editor = OpenEditor();
  const std::uint64_t frames = editor ? editor->FrameCount() : 0;
  for (int i = 0; i < iterations; ++i) {
    g_main_context_iteration(nullptr, FALSE);
    if (editor && OpenEditor() == editor && editor->FrameCount() >= frames + 2)
      return;
  }
}

// Runs the loop until done() holds; false only at a limit that a hang reaches.
template <typename Done> bool PumpUntil(Done done) {
  const auto giveUp = std::chrono::steady_clock::now() + kHangLimit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= giveUp)
      return false;
    Pump(1);
    g_usleep(2000);
  }
  return true;
}

class MainWindowTest : public testing::Test {
protected:
  void SetUp() override {
    gdk_set_allowed_backends("x11");
    if (!gtk_init_check(nullptr, nullptr))
      GTEST_SKIP() << "no display";
    setenv("TMPDIR", runtime.Path().c_str(), 1);
    AppHost* host = CreateHost();
    host->noIO = true;
    ASSERT_TRUE(host->InitHost());
    window.messageBox = [this](const std::string& text, const std::string& caption, MessageButtons buttons) {
      boxes.push_back({text, caption, buttons});
      return answerYes;
    };
    window.runPreferences = [this](GtkWindow* owner) {
      ++preferencesRuns;
      EXPECT_EQ(owner, window.Window());
      return preferencesOk;
    };
    window.openFile = [this](const std::string& path) { opened.push_back(path); };
    ASSERT_TRUE(window.Create());
    Pump();
  }
  void TearDown() override {
    window.Destroy();
    hostInstance.reset();
    unsetenv("TMPDIR");
  }

  // A key press as the window receives it while it has the focus. The window acts on it at once;
  // no loop runs after it, since every turn of the loop may draw a frame, slow on a busy machine.
  void PressOnWindow(guint keyval, GdkModifierType mods) {
    GdkKeymapKey* keys = nullptr;
    gint n = 0;
    GdkDisplay* display = gtk_widget_get_display(GTK_WIDGET(window.Window()));
    ASSERT_TRUE(gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), keyval, &keys, &n));
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(window.Window()))));
    event->key.keyval = keyval;
    event->key.state = mods;
    event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    event->key.group = static_cast<guint8>(keys[0].group);
    g_free(keys);
    gtk_widget_event(GTK_WIDGET(window.Window()), event);
    gdk_event_free(event);
  }
  // Puts the real pointer at a place of the editor's, in design points (scale 1), and waits until
  // the editor has it there: the crossing the X server owes for the window that opened under the
  // resting pointer may still be on its way.
  void PointAt(float x, float y) {
    IGraphics* editor = window.Editor();
    ASSERT_NE(editor, nullptr);
    Display* display = gdk_x11_display_get_xdisplay(gtk_widget_get_display(GTK_WIDGET(window.Window())));
    XWarpPointer(display, None, reinterpret_cast<Window>(editor->GetWindow()), 0, 0, 0, 0,
                 static_cast<int>(x), static_cast<int>(y));
    XSync(display, False);
    ASSERT_TRUE(PumpUntil([&] {
      const IControl* over = editor->GetMouseOverControl();
      return over && over->GetRECT().Contains(x, y);
    }));
  }
  static double Mix() { return hostInstance->plugin->GetParam(kMix)->GetNormalized(); }

  RuntimeFolder runtime;
  ConfigFolder config;
  MainWindow window;
  std::vector<Box> boxes;
  std::vector<std::string> opened;
  int preferencesRuns = 0;
  bool preferencesOk = false;
  bool answerYes = false;
};

// The preferences dialogs on screen, in the order GTK lists them.
std::vector<GtkDialog*> ShownPreferences() {
  std::vector<GtkDialog*> shown;
  GList* windows = gtk_window_list_toplevels();
  for (GList* w = windows; w; w = w->next)
    if (GTK_IS_DIALOG(w->data) && gtk_widget_get_visible(GTK_WIDGET(w->data)) &&
        g_strcmp0(gtk_window_get_title(GTK_WINDOW(w->data)), "Preferences") == 0)
      shown.push_back(GTK_DIALOG(w->data));
  g_list_free(windows);
  return shown;
}

// Ends every running dialog, should a test's own way of ending them fail: a hang guard only.
struct DialogGuard {
  explicit DialogGuard(guint seconds)
      : source(g_timeout_add_seconds(
            seconds,
            +[](gpointer) -> gboolean {
              GList* windows = gtk_window_list_toplevels();
              for (GList* w = windows; w; w = w->next)
                if (GTK_IS_DIALOG(w->data))
                  gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_DELETE_EVENT);
              g_list_free(windows);
              return G_SOURCE_CONTINUE;
            },
            nullptr)) {}
  ~DialogGuard() { g_source_remove(source); }
  DialogGuard(const DialogGuard&) = delete;
  DialogGuard& operator=(const DialogGuard&) = delete;
  guint source;
};

std::vector<std::string> MenuTitles(GtkWindow* window) {
  std::vector<std::string> titles;
  GtkWidget* box = gtk_bin_get_child(GTK_BIN(window));
  GList* children = gtk_container_get_children(GTK_CONTAINER(box));
  GList* items = gtk_container_get_children(GTK_CONTAINER(children->data));
  for (GList* item = items; item; item = item->next)
    titles.push_back(gtk_menu_item_get_label(GTK_MENU_ITEM(item->data)));
  g_list_free(items);
  g_list_free(children);
  return titles;
}

} // namespace

TEST_F(MainWindowTest, HoldsTheEditorAtItsSizeUnderTheFileAndHelpMenus) {
  EXPECT_STREQ(gtk_window_get_title(window.Window()), "TAMSEL");
  EXPECT_FALSE(gtk_window_get_resizable(window.Window()));
  EXPECT_EQ(MenuTitles(window.Window()), (std::vector<std::string>{"_File", "_Help"}));
  IGraphics* editor = window.Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->WindowIsOpen());
  EXPECT_EQ(editor->WindowWidth(), 1180);
  EXPECT_EQ(editor->WindowHeight(), 800);
  EXPECT_EQ(mainWindow, &window);
  const std::uint64_t frames = editor->FrameCount();
  EXPECT_TRUE(PumpUntil([&] { return editor->FrameCount() > frames; })); // the window's loop drives them
}

TEST_F(MainWindowTest, TheCornerResizerScalesTheWindowWithTheEditor) {
  IGraphics* editor = window.Editor();
  ASSERT_NE(editor, nullptr);
  editor->Resize(1180, 800, 1.25f);
  int width = 0, height = 0;
  PumpUntil([&] {
    gtk_window_get_size(window.Window(), &width, &height);
    return width != 1180;
  });
  EXPECT_EQ(editor->WindowWidth(), 1475);
  EXPECT_EQ(width, 1475);
  EXPECT_GT(height, 1000); // the editor and the menu bar
}

// Wherever the mouse is, over the editor's knobs too.
TEST_F(MainWindowTest, AcceleratorsWorkFromTheWindow) {
  for (const bool overKnob : {false, true}) {
    if (overKnob)
      PointAt(1072.f, 470.f);
    PressOnWindow(GDK_KEY_comma, GDK_CONTROL_MASK);
    for (guint key : {GDK_KEY_e, GDK_KEY_b, GDK_KEY_d, GDK_KEY_f, GDK_KEY_s})
      PressOnWindow(key, GDK_CONTROL_MASK); // the debug views do nothing; plain Ctrl+S is no accelerator
    PressOnWindow(GDK_KEY_S, static_cast<GdkModifierType>(GDK_CONTROL_MASK | GDK_SHIFT_MASK));
  }
  EXPECT_EQ(preferencesRuns, 2);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "Screenshot Saved");
  EXPECT_EQ(boxes[1].caption, "Screenshot Saved");
  EXPECT_EQ(Mix(), 1.0);
}

// The window passes the keys it doesn't use to the editor, as a plug-in host does: the knob
// under the mouse steps, Return opens its value entry, and what is typed then goes into it.
TEST_F(MainWindowTest, OtherKeysReachTheEditor) {
  PointAt(1072.f, 470.f); // the MIX knob
  PressOnWindow(GDK_KEY_Down, static_cast<GdkModifierType>(0));
  EXPECT_NEAR(Mix(), 0.99, 1e-9);
  PressOnWindow(GDK_KEY_Return, static_cast<GdkModifierType>(0));
  ASSERT_NE(window.Editor()->GetControlInTextEntry(), nullptr);
  for (guint key : {GDK_KEY_5, GDK_KEY_0, GDK_KEY_Return})
    PressOnWindow(key, static_cast<GdkModifierType>(0));
  EXPECT_EQ(window.Editor()->GetControlInTextEntry(), nullptr);
  EXPECT_NEAR(Mix(), 0.5, 1e-9);
  window.Editor()->OnMouseOut(); // nothing under the mouse takes the key
  PressOnWindow(GDK_KEY_Down, static_cast<GdkModifierType>(0));
  EXPECT_NEAR(Mix(), 0.5, 1e-9);
}

TEST_F(MainWindowTest, PreferencesSaveTheSettingsOnlyAfterOk) {
  std::filesystem::remove(config.File());
  window.OnCommand(kCommandPreferences);
  EXPECT_FALSE(std::filesystem::exists(config.File()));
  preferencesOk = true;
  window.OnCommand(kCommandPreferences);
  EXPECT_TRUE(std::filesystem::exists(config.File()));
  EXPECT_EQ(preferencesRuns, 2);
}

TEST_F(MainWindowTest, SaveScreenshotWritesIntoAPrivateFolderAndOffersToOpenIt) {
  answerYes = true;
  window.OnCommand(kCommandSaveScreenshot);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].buttons, MessageButtons::kYesNo);
  ASSERT_EQ(opened.size(), 1u);
  const std::filesystem::path path = opened[0];
  EXPECT_EQ(boxes[0].text, "Screenshot saved to:\n" + path.string() + "\n\nOpen it?");
  EXPECT_EQ(path.parent_path().parent_path(), runtime.Path());
  EXPECT_EQ(path.filename().string().rfind("TAMSEL_screenshot_", 0), 0u);
  EXPECT_EQ(std::filesystem::status(path.parent_path()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);
  const std::optional<PngImage> png = ReadPng(path);
  ASSERT_TRUE(png);
  EXPECT_EQ(png->width, 1180);
  EXPECT_EQ(png->height, 800);

  answerYes = false;
  window.OnCommand(kCommandSaveScreenshot);
  EXPECT_EQ(opened.size(), 1u); // No opens nothing
}

TEST_F(MainWindowTest, AScreenshotThatCantBeWrittenIsReported) {
  setenv("TMPDIR", "/dev/null/none", 1); // no folder can be made under a device file
  window.OnCommand(kCommandSaveScreenshot);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed to save screenshot");
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_TRUE(opened.empty());
}

TEST_F(MainWindowTest, AboutAndManualBoxes) {
  window.OnCommand(kCommandAbout);
  window.OnCommand(kCommandReadManual);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, "TAMSEL");
  EXPECT_NE(boxes[0].text.find("\nBuilt on "), std::string::npos);
  EXPECT_EQ(boxes[1].text, "See the manual");
  EXPECT_EQ(boxes[1].caption, "TAMSEL");
}

TEST_F(MainWindowTest, ClosingTheWindowDestroysTheHost) {
  gtk_window_close(window.Window()); // the close box
  Pump();
  EXPECT_EQ(window.Window(), nullptr);
  EXPECT_EQ(mainWindow, nullptr);
  EXPECT_EQ(hostInstance, nullptr);
  window.OnCommand(kCommandQuit); // nothing left to do
}

// A close from outside (a signal, the close box) while a command's dialog runs: the dialog works
// on the host object, so the window and the host go only once the dialog has ended.
TEST_F(MainWindowTest, ACloseWhileADialogRunsWaitsForIt) {
  window.runPreferences = [this](GtkWindow*) {
    window.RequestClose();
    EXPECT_NE(hostInstance, nullptr);
    EXPECT_NE(window.Window(), nullptr);
    return true;
  };
  window.OnCommand(kCommandPreferences);
  EXPECT_EQ(window.Window(), nullptr);
  EXPECT_EQ(hostInstance, nullptr);
}

TEST_F(MainWindowTest, ACloseEndsAnOpenMessageBox) {
  window.messageBox = [this](const std::string& text, const std::string& caption, MessageButtons buttons) {
    return ShowMessageBox(window.Window(), text, caption, buttons);
  };
  g_timeout_add(
      100,
      +[](gpointer self) -> gboolean {
        static_cast<MainWindow*>(self)->RequestClose();
        return G_SOURCE_REMOVE;
      },
      &window);
  window.OnCommand(kCommandAbout); // returns once the box has been ended
  EXPECT_EQ(window.Window(), nullptr);
  EXPECT_EQ(hostInstance, nullptr);
}

// The editor is a window of its own, which the dialog's modality doesn't cover: while the dialog
// runs, a click in the editor and its Ctrl + comma must neither reach a control nor start a second
// dialog over the first, whose Cancel then puts back what it found.
TEST_F(MainWindowTest, WhileADialogRunsTheEditorTakesNoInputAndNoSecondCommandStarts) {
  IGraphics* editor = window.Editor();
  ASSERT_NE(editor, nullptr);
  IControl* bypass = nullptr;
  for (int i = 0; i < editor->NControls() && !bypass; ++i)
    if (editor->GetControl(i)->GetParamIdx() == kBypass)
      bypass = editor->GetControl(i);
  ASSERT_NE(bypass, nullptr);
  const double bypassBefore = hostInstance->plugin->GetParam(kBypass)->Value();
  const std::uint32_t bufferBefore = hostInstance->state.bufferSize;
  ASSERT_NE(bufferBefore, 256u);

  window.runPreferences = [this](GtkWindow* owner) {
    ++preferencesRuns;
    return RunPreferencesDialog(owner);
  };
  struct Script {
    IGraphics* editor;
    IControl* bypass;
    bool edited = false;
    std::vector<GtkDialog*> cancelled;
  } script{editor, bypass, false, {}};
  // One step per turn of the running loops: the edit and the editor's input first, then Cancel on
  // the topmost dialog until none is left.
  const guint steps = g_timeout_add(
      50,
      +[](gpointer data) -> gboolean {
        Script& s = *static_cast<Script*>(data);
        const std::vector<GtkDialog*> shown = ShownPreferences();
        if (shown.empty())
          return G_SOURCE_CONTINUE;
        if (!s.edited) {
          s.edited = true;
          gtk_combo_box_set_active(GTK_COMBO_BOX(FindNamed(GTK_WIDGET(shown.back()), "40012")), 5); // "256"
          const IRECT r = s.bypass->GetRECT();
          IMouseMod left;
          left.L = true;
          s.editor->OnMouseDown(r.MW(), r.MH(), left);
          s.editor->OnMouseUp(r.MW(), r.MH(), left);
          s.editor->OnKeyDown(r.MW(), r.MH(), IKeyPress("", kVK_OEM_COMMA, false, true));
          return G_SOURCE_CONTINUE;
        }
        for (GtkDialog* dialog : shown)
          if (std::find(s.cancelled.begin(), s.cancelled.end(), dialog) == s.cancelled.end()) {
            s.cancelled.push_back(dialog);
            gtk_button_clicked(GTK_BUTTON(gtk_dialog_get_widget_for_response(dialog, GTK_RESPONSE_CANCEL)));
            break;
          }
        return G_SOURCE_CONTINUE;
      },
      &script);
  const DialogGuard guard(60);
  window.OnCommand(kCommandPreferences);
  Pump(); // a command the editor may have queued
  g_source_remove(steps);

  EXPECT_TRUE(script.edited);
  EXPECT_EQ(preferencesRuns, 1);
  EXPECT_TRUE(ShownPreferences().empty());
  EXPECT_EQ(hostInstance->state.bufferSize, bufferBefore);
  EXPECT_EQ(hostInstance->plugin->GetParam(kBypass)->Value(), bypassBefore);
  EXPECT_FALSE(editor->InputBlocked());
}

// The same for a message box: the editor's accelerators start nothing while it runs.
TEST_F(MainWindowTest, WhileAMessageBoxRunsTheEditorStartsNoCommand) {
  window.messageBox = [this](const std::string& text, const std::string& caption, MessageButtons buttons) {
    return ShowMessageBox(window.Window(), text, caption, buttons);
  };
  IGraphics* editor = window.Editor();
  ASSERT_NE(editor, nullptr);
  g_timeout_add(
      50,
      +[](gpointer data) -> gboolean {
        GtkDialog* box = nullptr;
        GList* windows = gtk_window_list_toplevels();
        for (GList* w = windows; w; w = w->next)
          if (GTK_IS_MESSAGE_DIALOG(w->data) && gtk_widget_get_visible(GTK_WIDGET(w->data)))
            box = GTK_DIALOG(w->data);
        g_list_free(windows);
        if (!box)
          return G_SOURCE_CONTINUE;
        auto* g = static_cast<IGraphics*>(data);
        g->OnKeyDown(10.f, 10.f, IKeyPress("", kVK_OEM_COMMA, false, true));
        Pump(); // what the keys may have queued runs while the box is still there
        gtk_dialog_response(box, GTK_RESPONSE_OK);
        return G_SOURCE_REMOVE;
      },
      editor);
  const DialogGuard guard(60);
  window.OnCommand(kCommandAbout); // the step ends the box, and with it its source
  Pump();
  EXPECT_EQ(preferencesRuns, 0);
  EXPECT_FALSE(editor->InputBlocked());
}

// The automatic screenshot closes the window the way every close goes: a dialog that works on the
// host ends first, and the host goes last.
TEST_F(MainWindowTest, TheAutomaticScreenshotEndsARunningDialogBeforeTheHostGoes) {
  window.Destroy();
  const std::filesystem::path shot = runtime.Path() / "auto.png";
  AppHost* host = CreateHost();
  host->screenshotPath = shot.string();
  ASSERT_TRUE(host->InitHost());
  MainWindow shooting;
  bool hostOutlivedTheDialog = false;
  shooting.runPreferences = [&](GtkWindow* owner) {
    const bool ok = RunPreferencesDialog(owner); // open when the screenshot is due
    hostOutlivedTheDialog = hostInstance != nullptr && shooting.Window() != nullptr;
    return ok;
  };
  ASSERT_TRUE(shooting.Create());
  const DialogGuard guard(60);
  shooting.OnCommand(kCommandPreferences);
  EXPECT_TRUE(hostOutlivedTheDialog);
  EXPECT_TRUE(std::filesystem::exists(shot));
  EXPECT_FALSE(shooting.ScreenshotFailed());
  EXPECT_EQ(shooting.Window(), nullptr);
  EXPECT_EQ(hostInstance, nullptr);
}
