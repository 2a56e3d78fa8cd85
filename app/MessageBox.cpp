#include "MessageBox.h"

#include <gtk/gtk.h>

#include "AppHost.h"
#include "IGraphics.h"

namespace {

int modalDepth = 0;

void BlockEditorInput(bool blocked) {
  if (hostInstance && hostInstance->plugin)
    if (IGraphics* editor = hostInstance->plugin->GetUI())
      editor->SetInputBlocked(blocked);
}

} // namespace

ModalScope::ModalScope() {
  if (modalDepth++ == 0)
    BlockEditorInput(true);
}

ModalScope::~ModalScope() {
  if (--modalDepth == 0)
    BlockEditorInput(false);
}

bool ModalRunning() {
  return modalDepth > 0;
}

void EndDialogsOf(GtkWindow* owner) {
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* w = toplevels; w; w = w->next)
    if (GTK_IS_DIALOG(w->data) && gtk_window_get_transient_for(GTK_WINDOW(w->data)) == owner)
      gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_DELETE_EVENT);
  g_list_free(toplevels);
}

bool ShowMessageBox(GtkWindow* owner, const std::string& text, const std::string& caption,
                    MessageButtons buttons) {
  const bool yesNo = buttons == MessageButtons::kYesNo;
  GtkWidget* box = gtk_message_dialog_new(
      owner, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
      yesNo ? GTK_MESSAGE_QUESTION : GTK_MESSAGE_INFO, yesNo ? GTK_BUTTONS_YES_NO : GTK_BUTTONS_OK, "%s",
      text.c_str());
  gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
  const ModalScope modal;
  const gint answer = gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  return answer == GTK_RESPONSE_OK || answer == GTK_RESPONSE_YES;
}
