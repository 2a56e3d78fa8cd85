#include "OpenURL.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

extern char** environ;

namespace {

std::function<bool(const char*)>& Hook() {
  static std::function<bool(const char*)> hook;
  return hook;
}

// A shell starts xdg-open in the background and exits at once; we reap only the shell, so the
// handler is adopted by init, never lingers as our zombie, and is never waited for. posix_spawn
// instead of fork: a host process may be large and run many threads.
bool SpawnDetached(const char* url) {
  char sh[] = "sh";
  char dashC[] = "-c";
  char script[] = "xdg-open \"$1\" >/dev/null 2>&1 </dev/null &";
  char* argv[] = {sh, dashC, script, sh, const_cast<char*>(url), nullptr};
  pid_t shell = 0;
  if (posix_spawnp(&shell, "sh", nullptr, nullptr, argv, environ) != 0)
    return false;
  int status = 0;
  while (waitpid(shell, &status, 0) < 0)
    if (errno != EINTR)
      return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool OpenURL(const char* url) {
  if (!url || !*url)
    return false;
  if (Hook())
    return Hook()(url);
  return SpawnDetached(url);
}

void SetOpenURLHook(std::function<bool(const char* url)> hook) {
  Hook() = std::move(hook);
}
