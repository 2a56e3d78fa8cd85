// The preferences dialog on a display: the real GTK dialog, driven through its widgets from the
// main loop it runs, with a host in no-I/O mode.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <functional>
#include <stdexcept>

#include "GtkWidgets.h"
#include "HostRig.h"
#include "MessageBox.h"
#include "PreferencesDialog.h"

namespace {

bool GtkReady() {
  static const bool ready = [] {
    // No accessibility bus on a private display: the bridge would only wait for it and keep
    // its connection for the process's lifetime.
    setenv("NO_AT_BRIDGE", "1", 1);
    gdk_set_allowed_backends("x11");
    return gtk_init_check(nullptr, nullptr) != FALSE;
  }();
  return ready;
}

GtkDialog* ShownPreferences() {
  GList* windows = gtk_window_list_toplevels();
  GtkDialog* found = nullptr;
  for (GList* window = windows; window; window = window->next)
    if (GTK_IS_DIALOG(window->data) && gtk_widget_get_visible(GTK_WIDGET(window->data)) &&
        g_strcmp0(gtk_window_get_title(GTK_WINDOW(window->data)), "Preferences") == 0)
      found = GTK_DIALOG(window->data);
  g_list_free(windows);
  return found;
}

// What the test does in the open dialog, one action per turn of the dialog's loop: an edit, then
// the button it presses (the close box for GTK_RESPONSE_DELETE_EVENT).
struct Action {
  std::function<void(GtkDialog*)> edit;
  gint button;
};

struct Script {
  std::vector<Action> actions;
  std::size_t done = 0;
};

gboolean Step(gpointer data) {
  Script& script = *static_cast<Script*>(data);
  GtkDialog* dialog = ShownPreferences();
  if (!dialog)
    return G_SOURCE_CONTINUE;
  const Action& action = script.actions[script.done++];
  if (action.edit)
    action.edit(dialog);
  if (action.button == GTK_RESPONSE_DELETE_EVENT)
    gtk_window_close(GTK_WINDOW(dialog));
  else
    gtk_button_clicked(GTK_BUTTON(gtk_dialog_get_widget_for_response(dialog, action.button)));
  return script.done < script.actions.size() ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void Choose(GtkDialog* dialog, const char* id, int position) {
  GtkWidget* combo = FindNamed(GTK_WIDGET(dialog), id);
  ASSERT_TRUE(GTK_IS_COMBO_BOX(combo)) << id;
  gtk_combo_box_set_active(GTK_COMBO_BOX(combo), position);
}

void ChooseBuffer8192(GtkDialog* dialog) {
  Choose(dialog, "40012", 10);
  EXPECT_EQ(hostInstance->state.bufferSize, 8192u);
}

class PreferencesDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!GtkReady())
      GTEST_SKIP() << "no X display";
    host = CreateHost();
    host->noIO = true;
    ASSERT_TRUE(host->InitHost());
    host->activeState = host->state;
    opened = host->state;
    std::filesystem::remove(config.File());
  }
  void TearDown() override { hostInstance.reset(); }

  bool Run(std::vector<Action> actions) {
    Script script{std::move(actions)};
    const guint source = g_timeout_add(20, Step, &script);
    const bool ok = RunPreferencesDialog(nullptr);
    if (script.done < script.actions.size())
      g_source_remove(source);
    EXPECT_EQ(script.done, script.actions.size());
    EXPECT_EQ(ShownPreferences(), nullptr);
    return ok;
  }
  bool FileWritten() const { return std::filesystem::exists(config.File()); }

  ConfigFolder config;
  AppHost* host = nullptr;
  AppState opened;
};

TEST_F(PreferencesDialogTest, ShowsTheListsAndADisabledConfigButton) {
  const bool ok =
      Run({{[](GtkDialog* dialog) {
              GtkWidget* buffer = FindNamed(GTK_WIDGET(dialog), "40012");
              ASSERT_TRUE(GTK_IS_COMBO_BOX_TEXT(buffer));
              gchar* text = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(buffer));
              EXPECT_STREQ(text, "512");
              g_free(text);
              GtkWidget* midiChannel = FindNamed(GTK_WIDGET(dialog), "40020");
              ASSERT_NE(midiChannel, nullptr);
              EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(midiChannel)), -1); // no MIDI objects
              GtkWidget* configButton = FindNamed(GTK_WIDGET(dialog), "40022");
              ASSERT_NE(configButton, nullptr);
              EXPECT_FALSE(gtk_widget_get_sensitive(configButton));
              EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(dialog)));
              for (gint response : {GTK_RESPONSE_OK, GTK_RESPONSE_CANCEL})
                EXPECT_NE(gtk_dialog_get_widget_for_response(dialog, response), nullptr);
            },
            GTK_RESPONSE_CANCEL}});
  EXPECT_FALSE(ok);
}

TEST_F(PreferencesDialogTest, CancelPutsBackTheSettingsAndWritesNothing) {
  EXPECT_FALSE(Run({{ChooseBuffer8192, GTK_RESPONSE_CANCEL}}));
  EXPECT_EQ(host->state, opened);
  EXPECT_FALSE(FileWritten());
}

TEST_F(PreferencesDialogTest, CloseBoxIsCancel) {
  EXPECT_FALSE(Run({{ChooseBuffer8192, GTK_RESPONSE_DELETE_EVENT}}));
  EXPECT_EQ(host->state, opened);
  EXPECT_FALSE(FileWritten());
}

TEST_F(PreferencesDialogTest, OkKeepsTheSettingsAndLeavesSavingToTheCaller) {
  EXPECT_TRUE(Run({{ChooseBuffer8192, GTK_RESPONSE_OK}}));
  EXPECT_EQ(host->state.bufferSize, 8192u);
  EXPECT_FALSE(FileWritten());
}

TEST_F(PreferencesDialogTest, ApplyKeepsTheDialogOpenAndTheEdits) {
  EXPECT_FALSE(
      Run({{ChooseBuffer8192, GTK_RESPONSE_APPLY},
           {[](GtkDialog*) { EXPECT_EQ(hostInstance->state.bufferSize, 8192u); }, GTK_RESPONSE_CANCEL}}));
  EXPECT_EQ(host->state, opened);
  EXPECT_FALSE(FileWritten());
}

// An exception inside a handler, here from the device information a device choice asks for, is
// not swallowed: it ends the dialog and leaves it, for the main loop's handler to end the program.
TEST_F(PreferencesDialogTest, AnExceptionInsideEndsTheDialogAndLeavesIt) {
  host->audioInputIds = {0, 1};
  host->audioOutputIds = {0, 1};
  bool deviceGone = false;
  const auto deviceInfo = [&deviceGone](std::uint32_t id) {
    if (deviceGone)
      throw std::runtime_error("the device has gone");
    RtAudio::DeviceInfo info{};
    info.probed = true;
    info.name = "Device " + std::to_string(id);
    info.inputChannels = info.outputChannels = 2;
    info.sampleRates = {48000};
    return info;
  };
  Script script{{{[&deviceGone](GtkDialog* dialog) {
                    deviceGone = true;
                    Choose(dialog, "40010", 1);
                  },
                  GTK_RESPONSE_OK}}};
  g_timeout_add(20, Step, &script); // removed after its one action
  EXPECT_THROW(RunPreferencesDialog(nullptr, deviceInfo), std::runtime_error);
  EXPECT_EQ(script.done, 1u);
  EXPECT_EQ(ShownPreferences(), nullptr);
  EXPECT_FALSE(FileWritten());
}

// Apply's message box (the audio settings name a JACK server that doesn't run) is where a close
// from outside finds the program: it ends the box and the dialog, which must not wait for another
// answer once the box is gone.
TEST_F(PreferencesDialogTest, ACloseWhileApplysMessageBoxShowsEndsTheDialog) {
  if (DriverIndex("JACK") < 0)
    GTEST_SKIP() << "the audio library has no JACK driver";
  hostInstance.reset();
  const std::string serverName = "tamsel-absent-" + std::to_string(getpid());
  ScopedEnv server("JACK_DEFAULT_SERVER", serverName.c_str());
  ScopedEnv noStart("JACK_NO_START_SERVER", "1");
  config.Write(JackSettings("nowhere", "nowhere"));
  host = CreateHost();
  ASSERT_TRUE(host->InitHost());
  int boxes = 0;
  host->messageBox = [&boxes](const std::string&, const std::string&) {
    ++boxes;
    EndDialogsOf(nullptr); // the close, as it ends every dialog of the window
  };
  Script script{{{nullptr, GTK_RESPONSE_APPLY}, {nullptr, GTK_RESPONSE_OK}}};
  const guint source = g_timeout_add(20, Step, &script);
  const bool ok = RunPreferencesDialog(nullptr);
  if (script.done < script.actions.size())
    g_source_remove(source);
  EXPECT_FALSE(ok);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(script.done, 1u); // no second answer was waited for
  EXPECT_EQ(ShownPreferences(), nullptr);
}

} // namespace
