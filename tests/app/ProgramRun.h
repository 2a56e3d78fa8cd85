// The built standalone program as a child process of a test, with a runtime folder of its own so
// that its single-instance lock meets no other test's copy. Killed when the object goes.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// XDG_RUNTIME_DIR points at a fresh private folder while the object lives.
class RuntimeFolder {
public:
  RuntimeFolder();
  ~RuntimeFolder();
  RuntimeFolder(const RuntimeFolder&) = delete;
  RuntimeFolder& operator=(const RuntimeFolder&) = delete;
  const std::filesystem::path& Path() const { return root; }

private:
  std::filesystem::path root;
};

class ProgramRun {
public:
  // With errors, the program's standard error goes to that file.
  explicit ProgramRun(const std::vector<std::string>& args, const std::filesystem::path& errors = {});
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  bool Started() const { return pid > 0; }
  // The exit code once the program has ended; nullopt when it still runs at the limit or ended
  // by a signal.
  std::optional<int> Wait(std::chrono::milliseconds limit);
  bool Running();
  void Signal(int signal);

private:
  pid_t pid = -1;
  bool reaped = false;
  int status = 0;
};

// Whether a window with this title is shown on the test's display.
bool WindowShown(const char* title);
