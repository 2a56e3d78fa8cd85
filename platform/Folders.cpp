#include "Folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home && home[0] == '/')
    return home;
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
      found->pw_dir[0] == '/')
    return found->pw_dir;
  return {};
}

bool IsFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::string UserConfigFolder() {
  std::string folder;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
    folder = config;
  } else {
    const std::string home = HomeFolder();
    if (home.empty())
      return {};
    folder = home + "/.config";
  }
  while (folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
  return folder;
}

bool PathExists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

bool RegularFileExists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool CreateFolders(const std::string& path) {
  if (path.empty())
    return false;
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    mkdir(path.substr(0, slash).c_str(), 0700);
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
    return false;
  return IsFolder(path);
}
