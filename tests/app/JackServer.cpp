#include "JackServer.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "Waits.h"

namespace {

bool Exited(pid_t pid) {
  int status = 0;
  return waitpid(pid, &status, WNOHANG) == pid;
}

// On time, the server gives up on a late client after two periods: on a loaded machine a MIDI
// event written in that cycle is then overwritten before its reader ran. Waiting, it gives up
// only after this.
constexpr const char* kClientTimeoutMs = "5000";

void Quiet(const char*) {}

void ToStandardError(const char* message) {
  std::fprintf(stderr, "%s\n", message);
}

} // namespace

// A server name is taken from a small pool, each guarded by a lock file in the temporary folder
// that every test process on the machine uses: JACK keeps a server's entry in its registry after
// an unclean end and reclaims it only for a server of the same name, and the registry holds
// eight. A slot whose name still answers belongs to a server nobody holds: it is left alone.
bool JackServer::TakeName() {
  for (int slot = 0; slot < kSlots; ++slot) {
    const std::string candidate = "tamsel-test-" + std::to_string(slot);
    const std::string lockPath =
        (std::filesystem::temp_directory_path() / ("tamsel-jack-" + std::to_string(slot) + ".lock")).string();
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
      continue;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      close(fd);
      continue;
    }
    setenv("JACK_DEFAULT_SERVER", candidate.c_str(), 1);
    jack_status_t status{};
    if (jack_client_t* orphan = jack_client_open("tamsel-probe", JackNoStartServer, &status)) {
      jack_client_close(orphan);
      close(fd);
      continue;
    }
    name = candidate;
    lockFd = fd;
    return true;
  }
  return false;
}

// One that finds no room in the registry exits at once, so a start that fails early is tried
// again. Ready once a client could open: a busy machine may take many seconds to get there.
JackServer::JackServer(unsigned period, unsigned rate, Cycles cycles) {
  setenv("JACK_NO_START_SERVER", "1", 1);
  const std::string periodText = std::to_string(period), rateText = std::to_string(rate);
  jack_set_error_function(&Quiet); // the probes below fail until the server is up
  const auto deadline = std::chrono::steady_clock::now() + kHangLimit;
  while (!TakeName() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  if (lockFd < 0) {
    jack_set_error_function(&ToStandardError);
    return;
  }
  // Built before the fork: the child only execs.
  std::vector<const char*> arguments{"jackd", "--no-realtime"};
  if (cycles == Cycles::kWaiting)
    arguments.insert(arguments.end(), {"--sync", "--timeout", kClientTimeoutMs});
  arguments.insert(arguments.end(), {"--name", name.c_str(), "-d", "dummy", "-r", rateText.c_str(), "-p",
                                     periodText.c_str(), nullptr});
  while (!ready && std::chrono::steady_clock::now() < deadline) {
    pid = fork();
    if (pid == 0) {
      prctl(PR_SET_PDEATHSIG, SIGTERM); // never outlive a test that crashed
      const int quiet = open("/dev/null", O_WRONLY);
      if (quiet >= 0) {
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
      }
      execvp("jackd", const_cast<char* const*>(arguments.data()));
      _exit(127);
    }
    if (pid < 0)
      break;
    while (!ready && std::chrono::steady_clock::now() < deadline) {
      if (Exited(pid)) {
        pid = -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        break;
      }
      jack_status_t status{};
      if (jack_client_t* probe = jack_client_open("tamsel-probe", JackNoStartServer, &status)) {
        jack_client_close(probe);
        ready = true;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    }
  }
  jack_set_error_function(&ToStandardError);
}

JackServer::~JackServer() {
  Stop();
  if (lockFd >= 0)
    close(lockFd);
}

void JackServer::Stop() {
  if (pid <= 0)
    return;
  kill(pid, SIGTERM);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < deadline) {
    if (Exited(pid)) {
      pid = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  pid = -1;
}
