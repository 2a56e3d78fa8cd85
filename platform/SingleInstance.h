// One running copy of the program per user. The copy that runs holds an flock lock on a lock
// file in the user's runtime folder ($XDG_RUNTIME_DIR, else a private folder under /tmp); the
// kernel drops the lock when that process ends, however it ends, so a crashed copy leaves no
// stale lock. The holder also listens on a Unix socket beside the lock file, through which a
// second copy asks it to raise its window.
//
// UI thread only. Nothing blocks without a bound and no exception leaves these functions.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

class SingleInstance {
public:
  enum class Status {
    kHeld,    // this object holds the lock: this copy is the one that runs
    kRunning, // another process (or another object) holds it
    kFailed,  // no lock could be taken or tested (no usable folder, too long a path, ...)
  };

  // baseName: the base name of the lock file and the socket ("Tamsel.lock", "Tamsel.socket").
  explicit SingleInstance(std::string_view baseName = "Tamsel");
  // Stops listening, removes the socket file and releases the lock.
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // Takes the lock without waiting. When it gets it, it listens on the socket as well (a failure
  // to listen leaves the lock held; ListenFd() is -1 then). Calling it again while held gives
  // kHeld at once.
  Status Acquire();
  bool Holds() const { return lockFd >= 0; }

  // The listening socket (non-blocking) for the UI loop to watch for input; -1 when none.
  int ListenFd() const { return listenFd; }
  // Accepts one pending request, if any, calls raise and answers it. True when a request was
  // answered. raise runs on the caller's thread; an exception from it is swallowed.
  bool ServeRequest(const std::function<void()>& raise);

  // In a second copy: asks the running copy to raise its window and waits at most timeout for
  // the answer. After Acquire gave kRunning, a holder that has not begun to listen yet is tried
  // again for a short while. True when the running copy answered.
  bool AskToRaise(std::chrono::milliseconds timeout = std::chrono::milliseconds(3000));

  // The folder of the lock file and the socket: $XDG_RUNTIME_DIR when it is set, absolute and a
  // folder; else the private folder /tmp/Tamsel-<uid>, made and checked. Empty when neither.
  static std::string RuntimeFolder();

private:
  bool Locate();
  void Listen();

  std::string name;
  std::string lockPath, socketPath;
  int lockFd = -1;
  int listenFd = -1;
  bool sawHolder = false;
};
