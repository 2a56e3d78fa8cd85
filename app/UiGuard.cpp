#include "UiGuard.h"

#include <gtk/gtk.h>

namespace {
bool failed = false;
}

void RunGuarded(const std::function<void()>& body) noexcept {
  try {
    body();
  } catch (...) {
    failed = true;
    if (gtk_main_level() > 0)
      gtk_main_quit();
  }
}

bool UiFailed() {
  return failed;
}
