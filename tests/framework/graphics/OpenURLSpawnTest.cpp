// OpenURL without a hook: the desktop handler (here a stand-in found first on PATH) is started
// and not waited for, and no child process of ours is left behind.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "OpenURL.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(OpenURLSpawn, StartsTheHandlerWithoutWaitingForIt) {
  const fs::path dir = fs::temp_directory_path() / ("openurl-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const fs::path seen = dir / "seen", release = dir / "release", done = dir / "done";
  {
    // Writes its argument, then stays until the test releases it.
    std::ofstream script(dir / "xdg-open");
    script << "#!/bin/sh\nprintf '%s' \"$1\" > '" << seen.string() << "'\n"
           << "i=0; while [ ! -e '" << release.string()
           << "' ] && [ $i -lt 1200 ]; do sleep 0.05; i=$((i+1)); done\n"
           << "touch '" << done.string() << "'\n";
  }
  fs::permissions(dir / "xdg-open", fs::perms::owner_all);
  const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
  setenv("PATH", (dir.string() + ":" + oldPath).c_str(), 1);

  EXPECT_TRUE(OpenURL("https://example.org/?q='a b'&x=1"));
  const bool returnedFirst = !fs::exists(done); // the handler was still running
  std::ofstream(release).put('x');
  // A busy machine may take seconds to start a shell; the limit is one that only a hang reaches.
  for (int i = 0; i < 3000 && ReadAll(seen).empty(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  setenv("PATH", oldPath.c_str(), 1);

  EXPECT_TRUE(returnedFirst);
  EXPECT_EQ(ReadAll(seen), "https://example.org/?q='a b'&x=1");
  // The shell in between was reaped, and the handler was never our child.
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  fs::remove_all(dir);
}

} // namespace
