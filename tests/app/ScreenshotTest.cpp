// Screenshots of a real editor rendered offscreen: the PNG's size, opacity and pixels, the write
// that fails or is refused, the private folder and the file name. TMPDIR is a fresh folder.
#include <gtest/gtest.h>

#include <stb_image.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "EditorRig.h"
#include "FileSizeLimit.h"
#include "Pixels.h"
#include "PrivateFolder.h"
#include "ScratchFolder.h"
#include "Screenshot.h"

namespace fs = std::filesystem;

namespace {

struct Png {
  int width = 0, height = 0;
  std::unique_ptr<unsigned char, void (*)(void*)> pixels{nullptr, stbi_image_free};

  explicit Png(const fs::path& path) {
    int channels = 0;
    pixels.reset(stbi_load(path.c_str(), &width, &height, &channels, 4));
  }
  const unsigned char* At(int x, int y) const {
    return pixels.get() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * 4;
  }
  bool AllOpaque() const {
    for (std::size_t i = 3; i < static_cast<std::size_t>(width) * height * 4; i += 4)
      if (pixels.get()[i] != 255)
        return false;
    return true;
  }
};

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

class Screenshot : public testing::Test {
protected:
  void SetUp() override { rig.ui->Resize(1180, 800, 1.f, false); }

  ScratchFolder tmp;
  ScopedEnv tmpdir{"TMPDIR", tmp.Path().c_str()};
  EditorRig rig;
};

} // namespace

TEST_F(Screenshot, PngHoldsTheEditorOpaque) {
  const fs::path path = tmp / "shot.png";
  const mode_t oldMask = umask(027);
  const bool written = CaptureWindowToPng(rig.ui, path.c_str());
  umask(oldMask);
  ASSERT_TRUE(written);
  struct stat info {};
  ASSERT_EQ(lstat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0640u); // 0666 less the umask, not a private temporary's 0600

  const Png png(path);
  ASSERT_TRUE(png.pixels);
  EXPECT_EQ(png.width, 1180);
  EXPECT_EQ(png.height, 800);
  EXPECT_TRUE(png.AllOpaque());

  Frame frame;
  ASSERT_TRUE(frame.Render(*rig.ui));
  // The gradient's top in the margin, and a panel's ink fill.
  for (const auto& [x, y] : {std::pair{10, 2}, std::pair{40, 480}, std::pair{600, 660}}) {
    SCOPED_TRACE(testing::Message() << x << ", " << y);
    const unsigned char* p = png.At(x, y);
    EXPECT_EQ(Rgb(p[0], p[1], p[2]), frame.At(static_cast<float>(x), static_cast<float>(y)));
  }
  EXPECT_EQ(fs::directory_iterator(tmp.Path())->path(), path); // nothing else left in the folder
}

TEST_F(Screenshot, ScaledEditorGivesItsPixelSize) {
  rig.ui->Resize(1180, 800, 1.5f, false);
  const fs::path path = tmp / "large.png";
  ASSERT_TRUE(CaptureWindowToPng(rig.ui, path.c_str()));
  const Png png(path);
  EXPECT_EQ(png.width, 1770);
  EXPECT_EQ(png.height, 1200);
}

TEST_F(Screenshot, ExistingFileIsReplaced) {
  const fs::path path = tmp / "shot.png";
  std::ofstream(path) << "an older file";
  ASSERT_TRUE(CaptureWindowToPng(rig.ui, path.c_str()));
  EXPECT_EQ(Png(path).width, 1180);
}

TEST_F(Screenshot, MissingFolderWritesNothing) {
  const fs::path path = tmp / "missing" / "shot.png";
  EXPECT_FALSE(CaptureWindowToPng(rig.ui, path.c_str()));
  EXPECT_FALSE(fs::exists(tmp / "missing"));
  EXPECT_TRUE(tmp.Empty());
}

TEST_F(Screenshot, FailedWriteLeavesNoFile) {
  const fs::path path = tmp / "shot.png";
  bool written = true;
  {
    const FileSizeLimit limit(4096); // far below the PNG's size
    written = CaptureWindowToPng(rig.ui, path.c_str());
  }
  EXPECT_FALSE(written);
  EXPECT_TRUE(tmp.Empty());
}

TEST_F(Screenshot, FolderInPlaceOfTheFileIsAFailure) {
  fs::create_directory(tmp / "shot.png");
  EXPECT_FALSE(CaptureWindowToPng(rig.ui, (tmp / "shot.png").c_str()));
  EXPECT_TRUE(fs::is_empty(tmp / "shot.png"));
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp.Path()), fs::directory_iterator()), 1);
}

TEST_F(Screenshot, NothingToCaptureOrNoPathFails) {
  const fs::path path = tmp / "shot.png";
  EXPECT_FALSE(CaptureWindowToPng(nullptr, path.c_str()));
  EXPECT_FALSE(CaptureWindowToPng(rig.ui, nullptr));
  EXPECT_FALSE(CaptureWindowToPng(rig.ui, ""));
  const std::unique_ptr<IGraphics> flat(MakeGraphics(*rig.plugin, 1180, 0));
  EXPECT_FALSE(CaptureWindowToPng(flat.get(), path.c_str()));
  EXPECT_TRUE(tmp.Empty());
}

TEST_F(Screenshot, PrivateFolderIsOursAlone) {
  const std::string folder = ScreenshotFolder();
  EXPECT_EQ(folder, (tmp / PerUserFolderName()).string());
  struct stat info {};
  ASSERT_EQ(lstat(folder.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(Screenshot, LinkInPlaceOfThePrivateFolderIsRefused) {
  fs::create_directory(tmp / "elsewhere");
  fs::create_directory_symlink(tmp / "elsewhere", tmp / PerUserFolderName());
  EXPECT_EQ(ScreenshotFolder(), "");
  EXPECT_EQ(ScreenshotPath(std::time(nullptr)), "");
  EXPECT_TRUE(fs::is_empty(tmp / "elsewhere"));
}

TEST_F(Screenshot, LinkPlantedAtThePrivateNameIsReplacedNotFollowed) {
  const std::string path = ScreenshotPath(std::time(nullptr));
  ASSERT_FALSE(path.empty());
  const fs::path victim = tmp / "victim.txt";
  std::ofstream(victim) << "keep";
  fs::create_symlink(victim, path);
  ASSERT_TRUE(CaptureWindowToPng(rig.ui, path.c_str()));
  EXPECT_FALSE(fs::is_symlink(path));
  EXPECT_EQ(Png(path).width, 1180);
  EXPECT_EQ(ReadFile(victim), "keep");
}

TEST_F(Screenshot, FileNameIsTheLocalTime) {
  constexpr std::time_t k20261011_142530Utc = 1791728730;
  const struct {
    const char* tz;
    const char* name;
  } cases[] = {
      {"UTC", "TAMSEL_screenshot_20261011_142530.png"},
      {"UTC-2", "TAMSEL_screenshot_20261011_162530.png"},  // two hours east
      {"UTC+15", "TAMSEL_screenshot_20261010_232530.png"}, // across midnight
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tz);
    ScopedEnv tz("TZ", c.tz);
    tzset();
    EXPECT_EQ(ScreenshotFileName(k20261011_142530Utc), c.name);
    EXPECT_EQ(ScreenshotPath(k20261011_142530Utc), ScreenshotFolder() + "/" + c.name);
  }
  tzset();
}

TEST_F(Screenshot, PathTooLongForItsBufferIsRefused) {
  fs::path deep = tmp.Path();
  while (deep.string().size() < 520)
    deep /= std::string(100, 'd');
  fs::create_directories(deep);
  ScopedEnv deepTmp("TMPDIR", deep.c_str());
  EXPECT_FALSE(ScreenshotFolder().empty());
  EXPECT_EQ(ScreenshotPath(std::time(nullptr)), "");
}
