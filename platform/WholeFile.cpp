#include "WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

// As the kernel allows when it resolves a path.
constexpr int kMostLinks = 40;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// path with the links of its last component followed; a missing entry ends the chain, so a link
// that leads nowhere gives the file it names. Empty for a loop or a link that cannot be read.
std::string LinkTarget(std::string path) {
  std::vector<char> target(PATH_MAX);
  for (int link = 0; link <= kMostLinks; ++link) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
      return path;
    const ssize_t length = readlink(path.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size())
      return {};
    const std::string next(target.data(), static_cast<std::size_t>(length));
    path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
  }
  return {};
}

// A template for mkostemp beside target: its own name with ".XXXXXX", the name cut so that the
// whole still fits the folder's limit on names.
std::string TemporaryTemplate(const std::string& target) {
  constexpr std::string_view kRandom = ".XXXXXX";
  const std::size_t slash = target.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  long most = pathconf(FolderOf(target).c_str(), _PC_NAME_MAX);
  if (most <= 0)
    most = NAME_MAX;
  const std::size_t keep =
      static_cast<std::size_t>(std::max<long>(most - static_cast<long>(kRandom.size()), 1));
  return target.substr(0, nameStart) + target.substr(nameStart, keep) + std::string(kRandom);
}

// Gives the new file the old one's owner and group. Only root may give a file away, while an owner
// may pass it to any group of its own; what may not be set stays this user's, as for any new file.
void KeepOwner(int fd, const struct stat& old) {
  if (fchown(fd, old.st_uid, old.st_gid) == 0)
    return;
  [[maybe_unused]] const int groupOnly = fchown(fd, static_cast<uid_t>(-1), old.st_gid);
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
  // The type is known before the open: opening a device or a FIFO may itself do something.
  struct stat entry {};
  if (stat(path.c_str(), &entry) != 0)
    return errno == ENOENT ? std::optional<std::string>(std::string()) : std::nullopt;
  if (!S_ISREG(entry.st_mode) || static_cast<std::uint64_t>(entry.st_size) > mostBytes)
    return std::nullopt;
  // Still without waiting: the entry may have been replaced since.
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
  const std::string target = LinkTarget(path);
  if (target.empty())
    return false;
  mode_t mode = 0644;
  struct stat info {};
  const bool replacing = lstat(target.c_str(), &info) == 0;
  if (replacing) {
    // The rename needs only the folder's permission; the file's own says whether we may change it.
    if (!S_ISREG(info.st_mode) || faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
      return false;
    mode = info.st_mode & 07777;
  } else if (errno != ENOENT) {
    return false;
  }

  std::string temporary = TemporaryTemplate(target);
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0)
    return false;
  if (replacing)
    KeepOwner(fd, info); // before the mode: a change of owner clears the set-id bits
  bool written = fchmod(fd, mode) == 0 && WriteAll(fd, text) && fsync(fd) == 0;
  written = close(fd) == 0 && written;
  if (!written || rename(temporary.c_str(), target.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  SyncFolderOf(target);
  return true;
}
