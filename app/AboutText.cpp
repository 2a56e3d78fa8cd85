#include "AboutText.h"

std::string BuildDateText(const char* compilerDate) {
  std::string text;
  for (const char* c = compilerDate; *c; ++c)
    if (*c != ' ' || (!text.empty() && text.back() != ' '))
      text += *c;
  return text;
}

std::string AboutText() {
  return "Copyright \u00a9 2026 KELDARINE\nBuilt on " + BuildDateText(__DATE__);
}
