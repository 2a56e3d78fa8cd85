// printf-style formatting of texts shown to the user, always with the C locale's decimal point,
// whatever locale the process (or a host) set. Formats into the caller's buffer; allocates nothing.
#pragma once

#include <cstddef>

// Returns what snprintf returns. Any thread; the locale switch is the calling thread's own.
int FormatC(char* buffer, std::size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));
