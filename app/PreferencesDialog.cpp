// The preferences dialog's GTK view: one drop-down per list of the dialog's model, mirrored from
// it after every change. UI thread only.
#include "PreferencesDialog.h"

#include <gtk/gtk.h>

#include <exception>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "AppHost.h"
#include "MessageBox.h"
#include "PreferencesModel.h"

namespace {

using namespace PreferencesControl;

// Apply keeps the dialog open; its response only hands the command to the model.
constexpr gint kApplyResponse = GTK_RESPONSE_APPLY;

// Each list under its label, in one of the dialog's two frames: the label's column and row (the
// list goes one row below it) and how many columns both span. Audio columns: the left channels,
// the right channels, then buffer size, rate and "Config..."; the device lists span the first two.
struct ListField {
  bool midi;
  const char* label;
  int list;
  int column, row, width;
};
constexpr ListField kListFields[] = {
    {false, "Driver Type", kDriverList, 0, 0, 2},
    {false, "Buffer Size", kBufferSizeList, 2, 0, 1},
    {false, "Input Device", kInputDeviceList, 0, 2, 2},
    {false, "Output Device", kOutputDeviceList, 0, 4, 2},
    {false, "Sampling Rate", kSampleRateList, 2, 4, 1},
    {false, "Input 1 (L)", kInputLeftList, 0, 6, 1},
    {false, "Input 2 (R)", kInputRightList, 1, 6, 1},
    {false, "Output 1 (L)", kOutputLeftList, 0, 8, 1},
    {false, "Output 2 (R)", kOutputRightList, 1, 8, 1},
    {true, "Input Device", kMidiInputList, 0, 0, 1},
    {true, "Input Channel", kMidiInputChannelList, 1, 0, 1},
    {true, "Output Device", kMidiOutputList, 0, 2, 1},
    {true, "Output Channel", kMidiOutputChannelList, 1, 2, 1},
};

class PreferencesView;

struct Combo {
  PreferencesView* view;
  int id;
  GtkComboBoxText* widget;
  gulong changed = 0;
  std::vector<std::string> shown;
};

class PreferencesView {
public:
  PreferencesView(GtkWindow* parent, PreferencesModel& model);
  ~PreferencesView();
  PreferencesView(const PreferencesView&) = delete;
  PreferencesView& operator=(const PreferencesView&) = delete;

  bool Run();

private:
  GtkWidget* AddFrame(GtkBox* box, const char* title);
  void AddLabel(GtkGrid* grid, const char* text, int column, int row, int width = 1);
  void AddCombo(GtkGrid* grid, int id, int column, int row, int width = 1);
  void Refresh();
  void Changed(Combo& combo);
  static void OnChanged(GtkComboBox* widget, gpointer data);
  static void OnResponse(GtkDialog* widget, gint response, gpointer data);

  PreferencesModel& model;
  GtkWidget* dialog;
  // What a change handler threw: it ends the dialog and leaves Run, never crossing into GTK.
  std::exception_ptr failure;
  // A close came while the dialog waited for no answer (Apply's message box ran).
  bool closeAsked = false;
  GtkWidget* config = nullptr;
  std::vector<std::unique_ptr<Combo>> combos;
};

PreferencesView::PreferencesView(GtkWindow* parent, PreferencesModel& model_) : model(model_) {
  dialog = gtk_dialog_new();
  g_object_ref(dialog); // kept until we destroy it, even when its parent goes first
  GtkWindow* window = GTK_WINDOW(dialog);
  gtk_window_set_title(window, "Preferences");
  gtk_window_set_transient_for(window, parent);
  gtk_window_set_modal(window, TRUE);
  gtk_window_set_destroy_with_parent(window, TRUE);
  gtk_window_set_resizable(window, FALSE);
  gtk_window_set_position(window, GTK_WIN_POS_CENTER_ON_PARENT);

  GtkBox* content = GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog)));
  gtk_box_set_spacing(content, 10);
  gtk_container_set_border_width(GTK_CONTAINER(content), 6);

  GtkGrid* audio = GTK_GRID(AddFrame(content, "Audio Device Settings"));
  GtkGrid* midi = GTK_GRID(AddFrame(content, "MIDI Device Settings"));
  for (const ListField& field : kListFields) {
    GtkGrid* grid = field.midi ? midi : audio;
    AddLabel(grid, field.label, field.column, field.row, field.width);
    AddCombo(grid, field.list, field.column, field.row + 1, field.width);
  }
  config = gtk_button_new_with_label("Config...");
  gtk_widget_set_name(config, std::to_string(kConfigButton).c_str());
  gtk_widget_set_valign(config, GTK_ALIGN_END);
  gtk_grid_attach(audio, config, 2, 9, 1, 1);

  GtkDialog* buttons = GTK_DIALOG(dialog);
  gtk_dialog_add_button(buttons, "Apply", kApplyResponse);
  gtk_dialog_add_button(buttons, "OK", GTK_RESPONSE_OK);
  gtk_dialog_add_button(buttons, "Cancel", GTK_RESPONSE_CANCEL);
  gtk_dialog_set_default_response(buttons, GTK_RESPONSE_OK);
  g_signal_connect(dialog, "response", G_CALLBACK(OnResponse), this);
}

PreferencesView::~PreferencesView() {
  for (const std::unique_ptr<Combo>& combo : combos)
    g_signal_handler_disconnect(combo->widget, combo->changed);
  g_signal_handlers_disconnect_by_data(dialog, this);
  gtk_widget_destroy(dialog);
  for (const std::unique_ptr<Combo>& combo : combos)
    g_object_unref(combo->widget);
  g_object_unref(dialog);
}

GtkWidget* PreferencesView::AddFrame(GtkBox* box, const char* title) {
  GtkWidget* frame = gtk_frame_new(title);
  GtkWidget* grid = gtk_grid_new();
  gtk_grid_set_row_spacing(GTK_GRID(grid), 3);
  gtk_grid_set_column_spacing(GTK_GRID(grid), 12);
  gtk_container_set_border_width(GTK_CONTAINER(grid), 10);
  gtk_container_add(GTK_CONTAINER(frame), grid);
  gtk_box_pack_start(box, frame, FALSE, FALSE, 0);
  return grid;
}

void PreferencesView::AddLabel(GtkGrid* grid, const char* text, int column, int row, int width) {
  GtkWidget* label = gtk_label_new(text);
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  if (row > 0)
    gtk_widget_set_margin_top(label, 6);
  gtk_grid_attach(grid, label, column, row, width, 1);
}

void PreferencesView::AddCombo(GtkGrid* grid, int id, int column, int row, int width) {
  auto combo = std::make_unique<Combo>();
  combo->view = this;
  combo->id = id;
  combo->widget = GTK_COMBO_BOX_TEXT(gtk_combo_box_text_new());
  GtkWidget* widget = GTK_WIDGET(combo->widget);
  // Ours until the view goes, so its handler can be disconnected even after a parent that was
  // destroyed took the dialog with it.
  g_object_ref_sink(widget);
  // Named by its control id, so tests find it.
  gtk_widget_set_name(widget, std::to_string(id).c_str());
  gtk_widget_set_hexpand(widget, TRUE);
  if (id == kInputDeviceList || id == kOutputDeviceList || id == kMidiInputList || id == kMidiOutputList) {
    // Long device names are cut rather than widening the dialog.
    GList* cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(widget));
    for (GList* cell = cells; cell; cell = cell->next)
      g_object_set(cell->data, "ellipsize", PANGO_ELLIPSIZE_END, "width-chars", 26, nullptr);
    g_list_free(cells);
  }
  combo->changed = g_signal_connect(widget, "changed", G_CALLBACK(OnChanged), combo.get());
  gtk_grid_attach(grid, widget, column, row, width, 1);
  combos.push_back(std::move(combo));
}

// Only what differs is rebuilt; the handlers stay blocked, so refreshing never re-enters.
void PreferencesView::Refresh() {
  for (const std::unique_ptr<Combo>& combo : combos) {
    const PreferencesList& list = model.List(combo->id);
    g_signal_handler_block(combo->widget, combo->changed);
    if (combo->shown != list.texts) {
      gtk_combo_box_text_remove_all(combo->widget);
      for (const std::string& text : list.texts) {
        // A name from a device may be any bytes; GTK takes UTF-8 only.
        gchar* valid = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
        gtk_combo_box_text_append_text(combo->widget, valid);
        g_free(valid);
      }
      combo->shown = list.texts;
    }
    gtk_combo_box_set_active(GTK_COMBO_BOX(combo->widget), list.selected);
    gtk_widget_set_sensitive(GTK_WIDGET(combo->widget), list.enabled);
    g_signal_handler_unblock(combo->widget, combo->changed);
  }
  gtk_widget_set_sensitive(config, model.configEnabled);
}

void PreferencesView::Changed(Combo& combo) {
  model.Choose(combo.id, gtk_combo_box_get_active(GTK_COMBO_BOX(combo.widget)));
  Refresh();
}

void PreferencesView::OnChanged(GtkComboBox*, gpointer data) {
  Combo& combo = *static_cast<Combo*>(data);
  PreferencesView& view = *combo.view;
  if (view.failure)
    return;
  try {
    view.Changed(combo);
  } catch (...) {
    view.failure = std::current_exception();
    gtk_dialog_response(GTK_DIALOG(view.dialog), GTK_RESPONSE_DELETE_EVENT);
  }
}

void PreferencesView::OnResponse(GtkDialog*, gint response, gpointer data) {
  if (response == GTK_RESPONSE_DELETE_EVENT)
    static_cast<PreferencesView*>(data)->closeAsked = true;
}

// The close box answers like Cancel.
bool PreferencesView::Run() {
  const ModalScope modal;
  PreferencesDialogProc(model, DialogMessage::kInitDialog);
  Refresh();
  gtk_widget_show_all(dialog);
  for (;;) {
    gint response = gtk_dialog_run(GTK_DIALOG(dialog));
    if (failure)
      std::rethrow_exception(failure);
    if (response == kApplyResponse) {
      PreferencesDialogProc(model, DialogMessage::kCommand, kApplyButton);
      Refresh();
      if (!closeAsked)
        continue;
      response = GTK_RESPONSE_DELETE_EVENT;
    }
    PreferencesDialogProc(model, DialogMessage::kCommand, response == GTK_RESPONSE_OK ? kOk : kCancel);
    return model.endResult == kOk;
  }
}

} // namespace

bool RunPreferencesDialog(GtkWindow* parent, PreferencesModel::DeviceInfoSource deviceInfo) {
  if (!hostInstance)
    return false;
  PreferencesModel model(*hostInstance, std::move(deviceInfo));
  PreferencesView view(parent, model);
  return view.Run();
}
