// The single running copy: the lock between objects and processes, a holder that dies, copies
// that race, and the raise request over the socket. Every test has a runtime folder of its own.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "PrivateFolder.h"
#include "ScratchFolder.h"
#include "SingleInstance.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Status = SingleInstance::Status;

namespace {

// The socket file a crashed copy leaves: bound once, with nobody listening on it.
bool PlantStaleSocket(const fs::path& file) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = file.string();
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const bool bound = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return bound;
}

class SingleInstanceTest : public testing::Test {
protected:
  ScratchFolder runtime;
  ScopedEnv runtimeVariable{"XDG_RUNTIME_DIR", runtime.Path().c_str()};
};

// A pipe whose ends a parent and its children share: one byte a message.
struct Pipe {
  int read = -1, write = -1;
  Pipe() {
    int ends[2];
    if (pipe(ends) == 0) {
      read = ends[0];
      write = ends[1];
    }
  }
  ~Pipe() {
    CloseRead();
    CloseWrite();
  }
  void CloseRead() {
    if (read >= 0)
      close(read);
    read = -1;
  }
  void CloseWrite() {
    if (write >= 0)
      close(write);
    write = -1;
  }
  void Send(char c) const { (void)!::write(write, &c, 1); }
  // The next byte; 0 at the end or on error.
  char Receive() const {
    char c = 0;
    return ::read(read, &c, 1) == 1 ? c : 0;
  }
};

char StatusByte(Status status) {
  return status == Status::kHeld ? 'H' : status == Status::kRunning ? 'R' : 'F';
}

int ExitCodeOf(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child)
    return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Waits for a request on the holder's socket and serves it; the number of raises.
int ServeOne(SingleInstance& holder, int waitMs = 10000) {
  int raises = 0;
  pollfd wait{holder.ListenFd(), POLLIN, 0};
  if (poll(&wait, 1, waitMs) == 1)
    holder.ServeRequest([&] { ++raises; });
  return raises;
}

} // namespace

TEST_F(SingleInstanceTest, RuntimeFolderIsXdgRuntimeDirWhenUsable) {
  EXPECT_EQ(SingleInstance::RuntimeFolder(), runtime.Path().string());
  const std::string fallback = "/tmp/" + PerUserFolderName();
  for (const char* value : {"relative/run", "", static_cast<const char*>(nullptr)}) {
    ScopedEnv other("XDG_RUNTIME_DIR", value);
    EXPECT_EQ(SingleInstance::RuntimeFolder(), fallback);
  }
  ScopedEnv missing("XDG_RUNTIME_DIR", (runtime / "missing").c_str());
  EXPECT_EQ(SingleInstance::RuntimeFolder(), fallback);
  struct stat info {};
  ASSERT_EQ(lstat(fallback.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 077, 0u);
}

TEST_F(SingleInstanceTest, SecondObjectWaitsUntilTheFirstIsGone) {
  auto first = std::make_unique<SingleInstance>();
  ASSERT_EQ(first->Acquire(), Status::kHeld);
  EXPECT_TRUE(first->Holds());
  EXPECT_GE(first->ListenFd(), 0);
  EXPECT_EQ(first->Acquire(), Status::kHeld);
  EXPECT_TRUE(fs::exists(runtime / "Tamsel.lock"));
  EXPECT_TRUE(fs::is_socket(runtime / "Tamsel.socket"));

  SingleInstance second;
  EXPECT_EQ(second.Acquire(), Status::kRunning);
  EXPECT_FALSE(second.Holds());
  EXPECT_EQ(second.ListenFd(), -1);

  first.reset();
  EXPECT_FALSE(fs::exists(runtime / "Tamsel.socket"));
  EXPECT_EQ(second.Acquire(), Status::kHeld);
}

TEST_F(SingleInstanceTest, HolderThatDiesLeavesNoStaleLock) {
  for (const bool crash : {false, true}) {
    SCOPED_TRACE(crash ? "killed" : "_exit");
    Pipe report;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      SingleInstance holder;
      report.Send(StatusByte(holder.Acquire()));
      if (crash)
        kill(getpid(), SIGKILL);
      _exit(0);
    }
    EXPECT_EQ(report.Receive(), 'H');
    ExitCodeOf(child);
    SingleInstance next;
    EXPECT_EQ(next.Acquire(), Status::kHeld);
  }
}

TEST_F(SingleInstanceTest, CopiesStartedTogetherGiveOneHolder) {
  constexpr int kCopies = 8;
  Pipe start, report, finish;
  std::vector<pid_t> children;
  for (int i = 0; i < kCopies; ++i) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      start.CloseWrite();
      finish.CloseWrite();
      start.Receive(); // all go when the parent closes the pipe
      SingleInstance copy;
      report.Send(StatusByte(copy.Acquire()));
      finish.Receive(); // the holder keeps its lock until every copy has tried
      _exit(0);
    }
    children.push_back(child);
  }
  start.CloseWrite();
  std::string statuses;
  for (int i = 0; i < kCopies; ++i)
    statuses += report.Receive();
  finish.CloseWrite();
  for (const pid_t child : children)
    EXPECT_EQ(ExitCodeOf(child), 0);
  std::sort(statuses.begin(), statuses.end());
  EXPECT_EQ(statuses, "H" + std::string(kCopies - 1, 'R'));
}

TEST_F(SingleInstanceTest, RaiseRequestIsAnsweredAndRaisesOnce) {
  SingleInstance holder;
  ASSERT_EQ(holder.Acquire(), Status::kHeld);
  EXPECT_FALSE(holder.ServeRequest([] {})); // nothing pending
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    SingleInstance second;
    const bool running = second.Acquire() == Status::kRunning;
    _exit(running && second.AskToRaise(10s) ? 0 : 1);
  }
  EXPECT_EQ(ServeOne(holder), 1);
  EXPECT_EQ(ExitCodeOf(child), 0);
  EXPECT_FALSE(holder.ServeRequest([] { ADD_FAILURE() << "raised twice"; }));
  EXPECT_FALSE(holder.AskToRaise(1s)); // the holder doesn't ask itself
}

TEST_F(SingleInstanceTest, RaiseThatThrowsIsStillAnswered) {
  SingleInstance holder;
  ASSERT_EQ(holder.Acquire(), Status::kHeld);
  std::thread asker([] {
    SingleInstance second;
    EXPECT_EQ(second.Acquire(), Status::kRunning);
    EXPECT_TRUE(second.AskToRaise(10s));
  });
  pollfd wait{holder.ListenFd(), POLLIN, 0};
  ASSERT_EQ(poll(&wait, 1, 10000), 1);
  EXPECT_TRUE(holder.ServeRequest([] { throw std::runtime_error("no window"); }));
  asker.join();
}

TEST_F(SingleInstanceTest, HolderNotYetListeningIsTriedAgain) {
  // The lock taken by hand stands for a first copy between its lock and its listen.
  const int early = open((runtime / "Tamsel.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_EQ(flock(early, LOCK_EX | LOCK_NB), 0);
  Pipe report;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(early); // the parent's descriptor still holds the lock
    SingleInstance second;
    report.Send(StatusByte(second.Acquire()));
    _exit(second.AskToRaise(10s) ? 0 : 1);
  }
  ASSERT_EQ(report.Receive(), 'R');
  std::this_thread::sleep_for(50ms);
  close(early);
  SingleInstance holder;
  ASSERT_EQ(holder.Acquire(), Status::kHeld);
  EXPECT_EQ(ServeOne(holder), 1);
  EXPECT_EQ(ExitCodeOf(child), 0);
}

TEST_F(SingleInstanceTest, AskingWhenNobodyRunsFailsAtOnce) {
  // No socket at all, then the socket file a crashed copy left with nobody behind it.
  for (const bool staleSocket : {false, true}) {
    SCOPED_TRACE(staleSocket ? "stale socket" : "no socket");
    if (staleSocket) {
      ASSERT_TRUE(PlantStaleSocket(runtime / "Tamsel.socket"));
    }
    SingleInstance second;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(second.AskToRaise(120s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 60s); // only a wait for the answer takes that long
  }
}

TEST_F(SingleInstanceTest, NewHolderReplacesAStaleSocketAndAnswers) {
  ASSERT_TRUE(PlantStaleSocket(runtime / "Tamsel.socket"));

  SingleInstance holder;
  ASSERT_EQ(holder.Acquire(), Status::kHeld);
  ASSERT_GE(holder.ListenFd(), 0);
  std::thread asker([] {
    SingleInstance second;
    EXPECT_TRUE(second.AskToRaise(10s));
  });
  EXPECT_EQ(ServeOne(holder), 1);
  asker.join();
}

TEST_F(SingleInstanceTest, HolderThatNeverAnswersTimesOut) {
  SingleInstance holder;
  ASSERT_EQ(holder.Acquire(), Status::kHeld);
  SingleInstance second;
  EXPECT_EQ(second.Acquire(), Status::kRunning);
  EXPECT_FALSE(second.AskToRaise(200ms));
}

TEST_F(SingleInstanceTest, FolderTooDeepForASocketStillLocks) {
  // A Unix socket's path holds at most 107 bytes; the lock has no such limit.
  const fs::path deep = runtime / std::string(60, 'd') / std::string(60, 'e');
  fs::create_directories(deep);
  ScopedEnv deepRuntime("XDG_RUNTIME_DIR", deep.c_str());
  SingleInstance holder;
  ASSERT_EQ(holder.Acquire(), Status::kHeld);
  EXPECT_EQ(holder.ListenFd(), -1);
  SingleInstance second;
  EXPECT_EQ(second.Acquire(), Status::kRunning);
  EXPECT_FALSE(second.AskToRaise(1s));
}

TEST_F(SingleInstanceTest, ProgramStartedByTheHolderDoesNotKeepTheLock) {
  auto holder = std::make_unique<SingleInstance>();
  ASSERT_EQ(holder->Acquire(), Status::kHeld);
  int started[2];
  ASSERT_EQ(pipe2(started, O_CLOEXEC), 0);
  const pid_t viewer = fork();
  ASSERT_GE(viewer, 0);
  if (viewer == 0) {
    execlp("sleep", "sleep", "30", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(started[1]);
  char ignored;
  EXPECT_EQ(read(started[0], &ignored, 1), 0); // the end of the pipe: the child has run exec
  close(started[0]);
  holder.reset();
  SingleInstance next;
  EXPECT_EQ(next.Acquire(), Status::kHeld);
  kill(viewer, SIGKILL);
  ExitCodeOf(viewer);
}
