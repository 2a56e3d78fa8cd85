#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "Folders.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

TEST(Folders, ConfigFolderFollowsXdgConfigHome) {
  {
    ScopedEnv config("XDG_CONFIG_HOME", "/somewhere/config/");
    EXPECT_EQ(UserConfigFolder(), "/somewhere/config");
  }
  {
    // A relative value is not a valid setting: the default under the home folder applies.
    ScopedEnv config("XDG_CONFIG_HOME", "relative/config");
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(UserConfigFolder(), "/home/someone/.config");
  }
  {
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", "/home/someone");
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
