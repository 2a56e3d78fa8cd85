#include "ProgramRun.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

RuntimeFolder::RuntimeFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tamsel-runtime-XXXXXX").string();
  if (mkdtemp(pattern.data()))
    root = pattern;
  setenv("XDG_RUNTIME_DIR", root.c_str(), 1);
}

RuntimeFolder::~RuntimeFolder() {
  unsetenv("XDG_RUNTIME_DIR");
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
}

ProgramRun::ProgramRun(const std::vector<std::string>& args, const std::filesystem::path& errors) {
  std::vector<std::string> words{TAMSEL_PROGRAM_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  argv.push_back(nullptr);
  // The leak checker's tracer can crash at the exit of a program whose software OpenGL threads
  // are still winding down; the window's code is leak-checked in the tests' own processes.
  std::vector<std::string> variables;
  std::string sanitizer = "ASAN_OPTIONS=detect_leaks=0";
  for (char** v = environ; *v; ++v) {
    if (std::string(*v).rfind("ASAN_OPTIONS=", 0) == 0)
      sanitizer = *v + std::string(":detect_leaks=0");
    else
      variables.emplace_back(*v);
  }
  variables.push_back(sanitizer);
  std::vector<char*> env;
  for (std::string& variable : variables)
    env.push_back(variable.data());
  env.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!errors.empty())
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()) != 0)
    pid = -1;
  posix_spawn_file_actions_destroy(&actions);
}

ProgramRun::~ProgramRun() {
  if (Running()) {
    kill(pid, SIGKILL);
    Wait(std::chrono::seconds(5));
  }
}

std::optional<int> ProgramRun::Wait(std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!reaped && pid > 0) {
    if (waitpid(pid, &status, WNOHANG) == pid)
      reaped = true;
    else if (std::chrono::steady_clock::now() >= deadline)
      return std::nullopt;
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (reaped && WIFEXITED(status))
    return WEXITSTATUS(status);
  return std::nullopt;
}

bool ProgramRun::Running() {
  return pid > 0 && !reaped && !Wait(std::chrono::milliseconds(0)) && !reaped;
}

void ProgramRun::Signal(int signal) {
  if (Running())
    kill(pid, signal);
}

// No window manager runs on the test display: the top-level windows are the root's children.
bool WindowShown(const char* title) {
  static Display* display = [] {
    XSetErrorHandler(+[](Display*, XErrorEvent*) { return 0; }); // a window may go while we look
    return XOpenDisplay(nullptr);
  }();
  if (!display)
    return false;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
    return false;
  bool shown = false;
  for (unsigned i = 0; i < count && !shown; ++i) {
    XWindowAttributes attributes;
    char* name = nullptr;
    if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable &&
        XFetchName(display, children[i], &name) && name)
      shown = std::strcmp(name, title) == 0;
    if (name)
      XFree(name);
  }
  if (children)
    XFree(children);
  return shown;
}
