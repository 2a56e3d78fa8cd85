// A fresh folder of the test's own under the temporary folder, removed with everything in it,
// and an environment variable set for one test.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

class ScratchFolder {
public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tamsel-test-XXXXXX").string();
    if (mkdtemp(pattern.data()))
      root = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!root.empty())
      std::filesystem::remove_all(root, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return root; }
  std::filesystem::path operator/(const std::string& name) const { return root / name; }
  bool Empty() const { return std::filesystem::is_empty(root); }

private:
  std::filesystem::path root;
};

class ScopedEnv {
public:
  // value nullptr unsets the variable.
  ScopedEnv(const char* variable, const char* value) : name(variable) {
    if (const char* old = getenv(variable))
      saved = old;
    if (value)
      setenv(variable, value, 1);
    else
      unsetenv(variable);
  }
  ~ScopedEnv() {
    if (saved)
      setenv(name.c_str(), saved->c_str(), 1);
    else
      unsetenv(name.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
  std::string name;
  std::optional<std::string> saved;
};
