#include "CLocaleFormat.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <locale.h>

int FormatC(char* buffer, std::size_t size, const char* format, ...) {
  // glibc hands out its built-in C locale object here, so this allocates nothing.
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  const locale_t previous = cLocale ? uselocale(cLocale) : static_cast<locale_t>(nullptr);
  va_list args;
  va_start(args, format);
  const int written = std::vsnprintf(buffer, size, format, args);
  va_end(args);
  if (previous)
    uselocale(previous);
  return written;
}
