#include "GraphicsResources.h"

#include <cstdio>

bool ReadResourceOrFile(const char* nameOrPath, std::vector<unsigned char>& bytes) {
  bytes.clear();
  if (!nameOrPath || !*nameOrPath)
    return false;
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  if (FindEmbeddedResource(nameOrPath, data, size)) {
    bytes.assign(data, data + size);
    return size > 0;
  }
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
