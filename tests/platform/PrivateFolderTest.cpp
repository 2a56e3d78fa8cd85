// The private folders: made for the user alone, and refused when a link, a file or someone
// else's folder stands in their place.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "PrivateFolder.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

// The access bits of a real folder (not a link); 0 for anything else.
mode_t ModeOf(const fs::path& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? info.st_mode & 07777 : 0;
}

} // namespace

TEST(TemporaryFolder, IsAnAbsoluteTmpdirElseTmp) {
  const struct {
    const char* tmpdir;
    const char* folder;
  } cases[] = {
      {"/var/scratch", "/var/scratch"},
      {"/var/scratch//", "/var/scratch"},
      {"relative/tmp", "/tmp"},
      {"", "/tmp"},
      {nullptr, "/tmp"},
      {"/", "/"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tmpdir ? c.tmpdir : "(unset)");
    ScopedEnv tmpdir("TMPDIR", c.tmpdir);
    EXPECT_EQ(TemporaryFolder(), c.folder);
  }
}

TEST(PerUserFolderName, NamesTheUser) {
  EXPECT_EQ(PerUserFolderName(), "Tamsel-" + std::to_string(geteuid()));
}

TEST(PrivateFolder, IsMadeForTheUserAlone) {
  ScratchFolder scratch;
  const mode_t oldMask = umask(0);
  const std::string folder = PrivateFolder(scratch.Path(), "mine");
  umask(oldMask);
  EXPECT_EQ(folder, (scratch / "mine").string());
  EXPECT_EQ(ModeOf(folder), 0700u);
  EXPECT_EQ(PrivateFolder(scratch.Path(), "mine"), folder); // found again
}

TEST(PrivateFolder, OursWithWiderAccessIsNarrowed) {
  ScratchFolder scratch;
  fs::create_directory(scratch / "mine");
  chmod((scratch / "mine").c_str(), 0777);
  EXPECT_EQ(PrivateFolder(scratch.Path(), "mine"), (scratch / "mine").string());
  EXPECT_EQ(ModeOf(scratch / "mine"), 0700u);
}

TEST(PrivateFolder, LinkInItsPlaceIsRefusedAndItsTargetLeftAlone) {
  ScratchFolder scratch;
  fs::create_directory(scratch / "elsewhere");
  chmod((scratch / "elsewhere").c_str(), 0755);
  fs::create_directory_symlink(scratch / "elsewhere", scratch / "mine");
  EXPECT_EQ(PrivateFolder(scratch.Path(), "mine"), "");
  EXPECT_EQ(ModeOf(scratch / "elsewhere"), 0755u);
  EXPECT_TRUE(fs::is_symlink(scratch / "mine"));
}

TEST(PrivateFolder, FileInItsPlaceIsRefused) {
  ScratchFolder scratch;
  std::ofstream(scratch / "mine") << "not a folder";
  EXPECT_EQ(PrivateFolder(scratch.Path(), "mine"), "");
}

TEST(PrivateFolder, SomeoneElsesFolderIsRefused) {
  if (geteuid() != 0)
    GTEST_SKIP() << "only root can give a folder to another user";
  ScratchFolder scratch;
  fs::create_directory(scratch / "theirs");
  ASSERT_EQ(chown((scratch / "theirs").c_str(), 4321, 4321), 0);
  chmod((scratch / "theirs").c_str(), 0700);
  EXPECT_EQ(PrivateFolder(scratch.Path(), "theirs"), "");
}

TEST(PrivateFolder, MissingParentOrBadNameGivesNothing) {
  ScratchFolder scratch;
  EXPECT_EQ(PrivateFolder((scratch / "missing").string(), "mine"), "");
  EXPECT_EQ(PrivateFolder(scratch.Path(), "a/b"), "");
  EXPECT_EQ(PrivateFolder(scratch.Path(), ""), "");
  EXPECT_EQ(PrivateFolder("", "mine"), "");
  EXPECT_FALSE(fs::exists(scratch / "missing"));
}
