#include "GraphicsResources.h"

#include <cstdio>
#include <cstring>

bool ReadResourceOrFile(const char* nameOrPath, std::vector<unsigned char>& bytes) {
  bytes.clear();
  if (!nameOrPath || !*nameOrPath)
    return false;
  std::FILE* f = std::fopen(nameOrPath, "rb");
  if (!f)
    return false;
  unsigned char buffer[16384];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok && !bytes.empty();
}

const FontStore::Font* FontStore::Find(const char* id) const {
  if (fonts.empty())
    return nullptr;
  if (id && *id)
    for (const Font& f : fonts)
      if (f.id == id)
        return &f;
  return &fonts.front();
}
