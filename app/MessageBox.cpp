#include "MessageBox.h"

#include <gtk/gtk.h>

bool ShowMessageBox(GtkWindow* owner, const std::string& text, const std::string& caption,
                    MessageButtons buttons) {
  const bool yesNo = buttons == MessageButtons::kYesNo;
  GtkWidget* box = gtk_message_dialog_new(
      owner, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
      yesNo ? GTK_MESSAGE_QUESTION : GTK_MESSAGE_INFO, yesNo ? GTK_BUTTONS_YES_NO : GTK_BUTTONS_OK, "%s",
      text.c_str());
  gtk_window_set_title(GTK_WINDOW(box), caption.c_str());
  const gint answer = gtk_dialog_run(GTK_DIALOG(box));
  gtk_widget_destroy(box);
  return answer == GTK_RESPONSE_OK || answer == GTK_RESPONSE_YES;
}
