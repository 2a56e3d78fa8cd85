#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "FileSizeLimit.h"
#include "IniFile.h"

namespace fs = std::filesystem;

namespace {

class IniFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("tamsel-ini-" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    path = (folder / "settings.ini").string();
  }
  void TearDown() override { fs::remove_all(folder); }

  void Write(const std::string& text) const { std::ofstream(path, std::ios::binary) << text; }
  std::string Read() const {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  IniFile Loaded() const {
    IniFile file;
    EXPECT_TRUE(file.Load(path));
    return file;
  }

  fs::path folder;
  std::string path;
};

} // namespace

TEST_F(IniFileTest, MissingFileIsAnEmptyDocument) {
  IniFile file;
  EXPECT_TRUE(file.Load(path));
  EXPECT_EQ(file.Text(), "");
  EXPECT_EQ(file.GetString("audio", "indev", "Built-in Input", 100), "Built-in Input");
  EXPECT_EQ(file.GetInt("audio", "sr", 44100), 44100u);
}

TEST_F(IniFileTest, ReadsKeysOfTheirOwnSectionOnly) {
  Write("; a comment\n[Audio]\n  SR = 48000 \nindev=Card: One\n\n[midi]\nindev=Port A\nsr=1\n");
  const IniFile file = Loaded();
  EXPECT_EQ(file.GetInt("audio", "sr", 0), 48000u); // names match without regard to case
  EXPECT_EQ(file.GetString("audio", "indev", "", 100), "Card: One");
  EXPECT_EQ(file.GetString("midi", "indev", "", 100), "Port A");
  EXPECT_EQ(file.GetInt("midi", "sr", 7), 1u);
  EXPECT_EQ(file.GetString("midi", "outdev", "no output", 100), "no output");
  EXPECT_EQ(file.GetString("video", "indev", "none", 100), "none");
}

TEST_F(IniFileTest, IntegersReadAsTheWindowsProfileReadDoes) {
  struct IntCase {
    const char* value;
    std::uint32_t expected;
  };
  const IntCase cases[] = {
      {"512", 512u},
      {"  64", 64u},
      {"12abc", 12u},
      {"abc", 0u},
      {"-1", 0xFFFFFFFFu},
      {"+7", 7u},
      {"99999999999", 0xFFFFFFFFu},
      {"\"64\"", 64u},
      {"", 33u},   // empty: the default
      {"''", 33u}, // empty within its quotes
  };
  for (const IntCase& c : cases) {
    Write(std::string("[a]\nk=") + c.value + "\n");
    EXPECT_EQ(Loaded().GetInt("a", "k", 33), c.expected) << c.value;
  }
}

TEST_F(IniFileTest, StringsAreCutToTheBufferAtACharacterBoundary) {
  // 98 ASCII bytes and a two-byte character: a 100-byte buffer keeps 99 bytes, which would split it.
  const std::string name = std::string(98, 'n') + "\xC3\xA9" + "tail";
  Write("[audio]\nindev=" + name + "\nempty=\n");
  const IniFile file = Loaded();
  EXPECT_EQ(file.GetString("audio", "indev", "", 100), std::string(98, 'n'));
  EXPECT_EQ(file.GetString("audio", "indev", "", 101), std::string(98, 'n') + "\xC3\xA9");
  EXPECT_EQ(file.GetString("audio", "empty", "default", 100), "");
}

TEST_F(IniFileTest, OnePairOfQuotesAroundAStringIsDropped) {
  struct QuoteCase {
    const char* value;
    const char* expected;
  };
  const QuoteCase cases[] = {
      {"\"system\"", "system"},
      {"'system'", "system"},
      {"  \" two words \"  ", " two words "}, // the spaces inside the quotes stay
      {"\"\"twice\"\"", "\"twice\""},
      {"\"\"", ""},
      {"\"", "\""},
      {"\"mixed'", "\"mixed'"},
      {"in \"the\" middle", "in \"the\" middle"},
  };
  for (const QuoteCase& c : cases) {
    Write(std::string("[a]\nk=") + c.value + "\n");
    EXPECT_EQ(Loaded().GetString("a", "k", "", 100), c.expected) << c.value;
  }
  // The quotes do not count against the buffer.
  Write("[a]\nk=\"" + std::string(99, 'q') + "\"\n");
  EXPECT_EQ(Loaded().GetString("a", "k", "", 100), std::string(99, 'q'));
}

TEST_F(IniFileTest, SettingKeepsEveryOtherLine) {
  Write("# written by hand\n[audio]\nsr=44100\nfavourite=yes\n\n[other]\nkeep=this\n");
  IniFile file = Loaded();
  file.Set("audio", "sr", "48000");
  file.Set("audio", "buffer", "256");
  file.Set("midi", "indev", "off");
  file.Set("other", "line", "a\nb");
  EXPECT_TRUE(file.Save(path));
  EXPECT_EQ(Read(), "# written by hand\n[audio]\nsr=48000\nfavourite=yes\nbuffer=256\n\n[other]\nkeep=this\n"
                    "line=a b\n[midi]\nindev=off\n");
}

TEST_F(IniFileTest, SaveLeavesTheOldFileWhenTheNewOneCannotBeWritten) {
  const std::string old = "[audio]\nsr=44100\n";
  Write(old);
  IniFile file = Loaded();
  file.Set("audio", "indev", std::string(4096, 'x'));

  bool saved_ok = true;
  {
    const FileSizeLimit limit(1024); // below the new text
    saved_ok = file.Save(path);
  }
  EXPECT_FALSE(saved_ok);
  EXPECT_EQ(Read(), old);
  int entries = 0;
  for (const auto& entry : fs::directory_iterator(folder))
    entries += entry.exists() ? 1 : 0;
  EXPECT_EQ(entries, 1); // no temporary file left behind

  EXPECT_TRUE(file.Save(path));
  EXPECT_NE(Read().find(std::string(4096, 'x')), std::string::npos);
}

TEST_F(IniFileTest, SaveIntoAMissingFolderFails) {
  IniFile file;
  file.Set("audio", "sr", "1");
  EXPECT_FALSE(file.Save((folder / "absent" / "settings.ini").string()));
}

TEST_F(IniFileTest, SaveWritesOnlyWhatLoadReads) {
  const std::string old = "[audio]\nsr=44100\n";
  for (const std::size_t size : {IniFile::kMostBytes, IniFile::kMostBytes + 1}) {
    SCOPED_TRACE(size);
    Write(old);
    IniFile file = Loaded();
    file.Set("audio", "sr", "48000");
    file.Set("audio", "pad", "");
    file.Set("audio", "pad", std::string(size - file.Text().size(), 'x'));
    ASSERT_EQ(file.Text().size(), size);
    const bool fits = size <= IniFile::kMostBytes;
    EXPECT_EQ(file.Save(path), fits);
    EXPECT_EQ(Loaded().GetInt("audio", "sr", 0), fits ? 48000u : 44100u);
    if (!fits) {
      EXPECT_EQ(Read(), old);
    }
  }
}
