#include "Utf16.h"

#include <cstdint>

using Steinberg::char16;

void CopyUtf8ToUtf16(const char* utf8, char16* out, int capacity) {
  if (!out || capacity < 1)
    return;
  int n = 0;
  const auto* s = reinterpret_cast<const unsigned char*>(utf8 ? utf8 : "");
  while (*s && n < capacity - 1) {
    std::uint32_t cp = *s++;
    int more = 0;
    if (cp >= 0xF0) {
      cp &= 0x07;
      more = 3;
    } else if (cp >= 0xE0) {
      cp &= 0x0F;
      more = 2;
    } else if (cp >= 0xC0) {
      cp &= 0x1F;
      more = 1;
    } else if (cp >= 0x80) {
      cp = 0xFFFD;
    } // stray continuation byte
    for (; more > 0 && (*s & 0xC0) == 0x80; --more)
      cp = (cp << 6) | (*s++ & 0x3Fu);
    if (more > 0)
      cp = 0xFFFD; // truncated sequence
    if (cp >= 0x10000) {
      if (n + 2 > capacity - 1)
        break;
      cp -= 0x10000;
      out[n++] = static_cast<char16>(0xD800 + (cp >> 10));
      out[n++] = static_cast<char16>(0xDC00 + (cp & 0x3FF));
    } else {
      out[n++] = static_cast<char16>(cp);
    }
  }
  out[n] = 0;
}

std::string Utf16ToUtf8(const char16* text) {
  std::string out;
  if (!text)
    return out;
  for (const char16* p = text; *p; ++p) {
    std::uint32_t cp = static_cast<std::uint16_t>(*p);
    if (cp >= 0xD800 && cp < 0xDC00 && p[1] >= 0xDC00 && p[1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<std::uint16_t>(p[1]) - 0xDC00u);
      ++p;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}
