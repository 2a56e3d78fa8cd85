#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <unistd.h>

#include "Folders.h"

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for one test and puts the old value back.
class EnvValue {
public:
  EnvValue(const char* variable, const char* value) : name(variable) {
    if (const char* old = std::getenv(variable))
      saved = old;
    if (value)
      setenv(variable, value, 1);
    else
      unsetenv(variable);
  }
  ~EnvValue() {
    if (saved)
      setenv(name, saved->c_str(), 1);
    else
      unsetenv(name);
  }

private:
  const char* name;
  std::optional<std::string> saved;
};

} // namespace

TEST(Folders, ConfigFolderFollowsXdgConfigHome) {
  {
    EnvValue config("XDG_CONFIG_HOME", "/somewhere/config/");
    EXPECT_EQ(UserConfigFolder(), "/somewhere/config");
  }
  {
    // A relative value is not a valid setting: the default under the home folder applies.
    EnvValue config("XDG_CONFIG_HOME", "relative/config");
    EnvValue home("HOME", "/home/someone");
    EXPECT_EQ(UserConfigFolder(), "/home/someone/.config");
  }
  {
    EnvValue config("XDG_CONFIG_HOME", nullptr);
    EnvValue home("HOME", "/home/someone");
    EXPECT_EQ(UserConfigFolder(), "/home/someone/.config");
  }
}

TEST(Folders, CreateFoldersMakesMissingParents) {
  const fs::path root = fs::temp_directory_path() / ("tamsel-folders-" + std::to_string(getpid()));
  fs::remove_all(root);
  const std::string nested = (root / "a" / "b" / "Tamsel").string() + "/";
  EXPECT_FALSE(PathExists(nested));
  EXPECT_TRUE(CreateFolders(nested));
  EXPECT_TRUE(fs::is_directory(nested));
  EXPECT_TRUE(CreateFolders(nested)); // already there
  EXPECT_FALSE(RegularFileExists(nested));

  const std::string file = (root / "file").string();
  { std::ofstream(file) << "x"; }
  EXPECT_TRUE(RegularFileExists(file));
  EXPECT_FALSE(CreateFolders(file));
  fs::remove_all(root);
}
