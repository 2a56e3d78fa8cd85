// Finding the program's own widgets in the tests that drive its real GTK windows.
#pragma once

#include <gtk/gtk.h>

#include <string>

// The first widget under widget (itself included) with the given name, or nullptr.
inline GtkWidget* FindNamed(GtkWidget* widget, const std::string& name) {
  if (name == gtk_widget_get_name(widget))
    return widget;
  if (!GTK_IS_CONTAINER(widget))
    return nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  GtkWidget* found = nullptr;
  for (GList* child = children; child && !found; child = child->next)
    found = FindNamed(GTK_WIDGET(child->data), name);
  g_list_free(children);
  return found;
}
