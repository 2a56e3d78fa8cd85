#include "PrivateFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

std::string TemporaryFolder() {
  std::string folder = "/tmp";
  if (const char* tmp = std::getenv("TMPDIR"); tmp && tmp[0] == '/')
    folder = tmp;
  while (folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
  return folder;
}

std::string PerUserFolderName() {
  char name[32];
  std::snprintf(name, sizeof name, "Tamsel-%lu", static_cast<unsigned long>(geteuid()));
  return name;
}

std::string PrivateFolder(const std::string& parent, const std::string& name) {
  if (parent.empty() || name.empty() || name.find('/') != std::string::npos)
    return {};
  const std::string path = parent == "/" ? "/" + name : parent + "/" + name;
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
    return {};
  // Checked through a descriptor opened without following a link, so what we check is what we
  // use: in a sticky folder like /tmp nobody else can rename or remove our entry afterwards.
  const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0)
    return {};
  struct stat info {};
  bool ours = fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid();
  if (ours && (info.st_mode & 077) != 0)
    ours = fchmod(fd, 0700) == 0;
  close(fd);
  return ours ? path : std::string();
}
