#include "Screenshot.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "IGraphics.h"
#include "PrivateFolder.h"

// From libstb; its header declares this only in the implementation part.
extern "C" unsigned char* stbi_write_png_to_mem(const unsigned char* pixels, int stride_bytes, int x, int y,
                                                int n, int* out_len);

namespace {

struct FreeDeleter {
  void operator()(unsigned char* p) const { std::free(p); }
};

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A new file beside path, created exclusively (so never through a link) with the mode 0666 that
// the umask then narrows. -1 when none could be made; name holds its path otherwise.
int CreateSibling(const std::string& path, std::string& name) {
  const std::string folder = FolderOf(path);
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 64; ++attempt) {
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    char leaf[96];
    std::snprintf(leaf, sizeof leaf, "/.TAMSEL_screenshot-%ld-%u-%llx.tmp", static_cast<long>(getpid()),
                  ++counter, static_cast<unsigned long long>(ticks) & 0xffffffULL);
    name = folder + leaf;
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0)
      return fd;
    if (errno != EEXIST)
      return -1;
  }
  return -1;
}

bool WriteAll(int fd, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteFileReplacing(const std::string& path, const unsigned char* data, std::size_t size) {
  std::string temporary;
  const int fd = CreateSibling(path, temporary);
  if (fd < 0)
    return false;
  bool written = WriteAll(fd, data, size);
  written = fsync(fd) == 0 && written;
  written = close(fd) == 0 && written;
  // rename replaces whatever entry has the name, a link included, without following it.
  if (written && rename(temporary.c_str(), path.c_str()) == 0)
    return true;
  unlink(temporary.c_str());
  return false;
}

} // namespace

bool CaptureWindowToPng(IGraphics* editor, const char* path) {
  if (!editor || !path || !path[0] || editor->WindowWidth() <= 0 || editor->WindowHeight() <= 0)
    return false;
  try {
    std::vector<std::uint8_t> rgba;
    int width = 0, height = 0;
    if (!editor->RenderOffscreen(rgba, width, height) || width <= 0 || height <= 0 ||
        rgba.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4)
      return false;
    for (std::size_t i = 3; i < rgba.size(); i += 4)
      rgba[i] = 255;
    int length = 0;
    const std::unique_ptr<unsigned char, FreeDeleter> png(
        stbi_write_png_to_mem(rgba.data(), width * 4, width, height, 4, &length));
    if (!png || length <= 0)
      return false;
    return WriteFileReplacing(path, png.get(), static_cast<std::size_t>(length));
  } catch (...) {
    return false;
  }
}

std::string ScreenshotFolder() {
  try {
    return PrivateFolder(TemporaryFolder(), PerUserFolderName());
  } catch (...) {
    return {};
  }
}

std::string ScreenshotFileName(std::time_t when) {
  std::tm local{};
  if (!localtime_r(&when, &local))
    return {};
  char name[64];
  if (std::strftime(name, sizeof name, "TAMSEL_screenshot_%Y%m%d_%H%M%S.png", &local) == 0)
    return {};
  return name;
}

std::string ScreenshotPath(std::time_t when) {
  const std::string folder = ScreenshotFolder();
  const std::string name = ScreenshotFileName(when);
  if (folder.empty() || name.empty())
    return {};
  char path[512];
  const int length = std::snprintf(path, sizeof path, "%s/%s", folder.c_str(), name.c_str());
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof path)
    return {};
  return path;
}
