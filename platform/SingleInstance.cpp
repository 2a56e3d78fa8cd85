#include "SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "PrivateFolder.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kRequest = "raise\n";
constexpr std::string_view kAnswer = "raised\n";
// How long a second copy keeps trying a holder that has not begun to listen yet, and how long
// the holder waits for the request of a copy that has connected.
constexpr std::chrono::milliseconds kConnectRetry{500};
constexpr std::chrono::milliseconds kConnectPause{20};
constexpr std::chrono::milliseconds kRequestWait{250};

bool FitsSocketAddress(const std::string& path) {
  return !path.empty() && path.size() < sizeof(sockaddr_un::sun_path);
}

sockaddr_un SocketAddress(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 60000));
}

// Reads one line of at most a few bytes from a non-blocking socket, waiting until deadline.
std::string ReadLine(int fd, Clock::time_point deadline) {
  char buffer[16];
  std::size_t got = 0;
  while (got < sizeof buffer) {
    const ssize_t n = recv(fd, buffer + got, sizeof buffer - got, 0);
    if (n > 0) {
      got += static_cast<std::size_t>(n);
      if (buffer[got - 1] == '\n')
        break;
      continue;
    }
    if (n == 0)
      break;
    if (errno == EINTR)
      continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK)
      break;
    pollfd wait{fd, POLLIN, 0};
    const int ready = poll(&wait, 1, MillisecondsUntil(deadline));
    if (ready < 0 && errno == EINTR)
      continue;
    if (ready <= 0)
      break;
  }
  return std::string(buffer, got);
}

bool SendAll(int fd, std::string_view text) {
  ssize_t sent;
  do
    sent = send(fd, text.data(), text.size(), MSG_NOSIGNAL);
  while (sent < 0 && errno == EINTR);
  return sent == static_cast<ssize_t>(text.size());
}

} // namespace

SingleInstance::SingleInstance(std::string_view baseName) : name(baseName) {}

SingleInstance::~SingleInstance() {
  // The socket file goes while the lock is still ours, so it never removes a successor's.
  if (listenFd >= 0) {
    unlink(socketPath.c_str());
    close(listenFd);
  }
  if (lockFd >= 0)
    close(lockFd);
}

std::string SingleInstance::RuntimeFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
    struct stat info {};
    if (stat(runtime, &info) == 0 && S_ISDIR(info.st_mode)) {
      std::string folder = runtime;
      while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
      return folder;
    }
  }
  return PrivateFolder("/tmp", PerUserFolderName());
}

bool SingleInstance::Locate() {
  if (!lockPath.empty())
    return true;
  const std::string folder = RuntimeFolder();
  if (folder.empty() || name.empty())
    return false;
  const std::string base = folder == "/" ? "/" + name : folder + "/" + name;
  lockPath = base + ".lock";
  socketPath = base + ".socket";
  return true;
}

SingleInstance::Status SingleInstance::Acquire() {
  try {
    if (lockFd >= 0)
      return Status::kHeld;
    if (!Locate())
      return Status::kFailed;
    // Close-on-exec: a program we start (a file viewer, say) must not keep our lock alive.
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
      return Status::kFailed;
    int locked;
    do
      locked = flock(fd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
      const int error = errno;
      close(fd);
      if (error == EWOULDBLOCK) {
        sawHolder = true;
        return Status::kRunning;
      }
      return Status::kFailed;
    }
    lockFd = fd;
    Listen();
    return Status::kHeld;
  } catch (...) {
    return lockFd >= 0 ? Status::kHeld : Status::kFailed;
  }
}

void SingleInstance::Listen() {
  if (!FitsSocketAddress(socketPath))
    return;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0)
    return;
  // A socket file left by a copy that crashed: removing it is safe, the lock is ours.
  unlink(socketPath.c_str());
  const sockaddr_un address = SocketAddress(socketPath);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(fd, 16) != 0) {
    close(fd);
    return;
  }
  listenFd = fd;
}

bool SingleInstance::ServeRequest(const std::function<void()>& raise) {
  if (listenFd < 0)
    return false;
  int connection;
  do
    connection = accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
  while (connection < 0 && errno == EINTR);
  if (connection < 0)
    return false;
  bool answered = false;
  try {
    ucred peer{};
    socklen_t size = sizeof peer;
    const bool sameUser =
        getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
    if (sameUser && ReadLine(connection, Clock::now() + kRequestWait) == kRequest) {
      try {
        if (raise)
          raise();
      } catch (...) {
      }
      answered = SendAll(connection, kAnswer);
    }
  } catch (...) {
  }
  close(connection);
  return answered;
}

bool SingleInstance::AskToRaise(std::chrono::milliseconds timeout) {
  try {
    if (lockFd >= 0 || !Locate() || !FitsSocketAddress(socketPath))
      return false;
    const auto start = Clock::now();
    const auto deadline = start + std::max(timeout, std::chrono::milliseconds(0));
    // Only a copy that saw the lock taken waits for the holder to listen; otherwise a missing
    // socket means nobody runs.
    const auto connectDeadline = sawHolder ? std::min(deadline, start + kConnectRetry) : start;
    const sockaddr_un address = SocketAddress(socketPath);
    int fd = -1;
    for (;;) {
      fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      if (fd < 0)
        return false;
      if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        break;
      const int error = errno;
      close(fd);
      fd = -1;
      // A full backlog means a holder listens: worth the whole timeout. No socket, or nobody
      // behind it, only while a holder may still be starting.
      const auto now = Clock::now();
      bool retry = false;
      if (error == EAGAIN || error == EINTR)
        retry = now < deadline;
      else if (error == ENOENT || error == ECONNREFUSED)
        retry = now < connectDeadline;
      if (!retry)
        return false;
      poll(nullptr, 0, std::min(static_cast<int>(kConnectPause.count()), MillisecondsUntil(deadline)));
    }
    const bool answered = SendAll(fd, kRequest) && ReadLine(fd, deadline) == kAnswer;
    close(fd);
    return answered;
  } catch (...) {
    return false;
  }
}
