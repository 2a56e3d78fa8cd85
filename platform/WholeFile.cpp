#include "WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace {

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = write(fd, text.data() + done, text.size() - done);
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

std::optional<std::string> ReadAll(int fd, std::size_t mostBytes) {
  std::string text;
  char chunk[16384];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      return std::nullopt;
    if (got == 0)
      return text;
    text.append(chunk, static_cast<std::size_t>(got));
    if (text.size() > mostBytes)
      return std::nullopt; // grew since it was measured
  }
}

// Makes the rename itself durable; a folder that cannot be opened is not an error.
void SyncFolderOf(const std::string& path) {
  const int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t mostBytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT)
      return std::string();
    return std::nullopt;
  }
  std::optional<std::string> text;
  struct stat info {};
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && static_cast<std::uint64_t>(info.st_size) <= mostBytes)
    text = ReadAll(fd, mostBytes);
  close(fd);
  return text;
}

bool ReplaceWholeFile(const std::string& path, const std::string& text) {
  std::string temporary = path + ".XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0)
    return false;
  bool written = fchmod(fd, 0644) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
  written = close(fd) == 0 && written;
  if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  SyncFolderOf(path);
  return true;
}
