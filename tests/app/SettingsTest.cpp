#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <functional>
#include <future>
#include <vector>

#include "FileSizeLimit.h"
#include "HostRig.h"
#include "IniFile.h"
#include "ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

const char* const kFirstRunFile =
    "[audio]\ndriver=0\nindev=Default Device\noutdev=Default Device\nin1=1\nin2=2\n"
    "out1=1\nout2=2\nbuffer=512\nsr=44100\n[midi]\nindev=off\noutdev=off\ninchan=0\n"
    "outchan=0\n";

AppHost* LoadedHost() {
  AppHost* host = CreateHost();
  host->noIO = true;
  EXPECT_TRUE(host->LoadSettings());
  return host;
}

// Runs work on a thread of its own and tells whether it ended within a minute, which only a hang
// reaches. While it runs late, the entry at path is opened for writing and closed again: a read
// waiting on a FIFO there then sees the FIFO's end, so a load that blocks fails the test instead of
// hanging the suite.
bool EndsInTime(const std::function<void()>& work, const fs::path& path) {
  auto done = std::async(std::launch::async, work);
  if (done.wait_for(std::chrono::seconds(60)) == std::future_status::ready)
    return true;
  while (done.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
      close(fd);
  }
  return false;
}

// What lies at path itself (not where a link leads): replacing it changes the inode.
struct EntryIdentity {
  explicit EntryIdentity(const fs::path& path) { lstat(path.c_str(), &info); }
  bool operator==(const EntryIdentity& other) const {
    return info.st_ino == other.info.st_ino && info.st_mode == other.info.st_mode &&
           info.st_size == other.info.st_size;
  }
  struct stat info {};
};

// Counts how often the entry at path (or what a link there leads to) is opened while it lives.
class OpenWatch {
public:
  explicit OpenWatch(const fs::path& path) : fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    watching = fd >= 0 && inotify_add_watch(fd, path.c_str(), IN_OPEN) >= 0;
  }
  ~OpenWatch() {
    if (fd >= 0)
      close(fd);
  }
  OpenWatch(const OpenWatch&) = delete;
  OpenWatch& operator=(const OpenWatch&) = delete;

  bool Watching() const { return watching; }
  // The opens so far; the kernel queues each event before the open returns.
  int Opens() {
    alignas(inotify_event) char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0)
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        opens += (event->mask & IN_OPEN) ? 1 : 0;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    return opens;
  }

private:
  int fd;
  bool watching = false;
  int opens = 0;
};

std::string TextOf(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::size_t EntriesIn(const fs::path& folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
    ++count;
  return count;
}

} // namespace

TEST(Settings, FirstRunCreatesTheFolderAndWritesTheDefaults) {
  ConfigFolder config;
  ASSERT_FALSE(std::filesystem::exists(config.Folder()));
  AppHost* host = LoadedHost();
  EXPECT_TRUE(std::filesystem::is_directory(config.Folder()));
  EXPECT_EQ(host->iniPath, config.File().string());
  EXPECT_EQ(config.Read(), kFirstRunFile);
  EXPECT_EQ(host->state, AppState{});
}

TEST(Settings, FolderWithoutFileWritesTheSameFile) {
  ConfigFolder config;
  std::filesystem::create_directories(config.Folder());
  AppHost* host = LoadedHost();
  EXPECT_EQ(config.Read(), kFirstRunFile);
  EXPECT_EQ(host->state, AppState{});
}

TEST(Settings, MissingKeysTakeTheFileDefaults) {
  ConfigFolder config;
  config.Write("[audio]\nsr=48000\n");
  AppHost* host = LoadedHost();
  AppState expected;
  expected.sampleRate = 48000;
  expected.audioInputDevice = "Built-in Input";
  expected.audioOutputDevice = "Built-in Output";
  expected.midiInputDevice = "no input";
  expected.midiOutputDevice = "no output";
  EXPECT_EQ(host->state, expected);
  EXPECT_EQ(config.Read(),
            "[audio]\nsr=48000\ndriver=0\nindev=Built-in Input\noutdev=Built-in Output\nin1=1\n"
            "in2=2\nout1=1\nout2=2\nbuffer=512\n[midi]\nindev=no input\noutdev=no output\n"
            "inchan=0\noutchan=0\n");
}

TEST(Settings, LongNameIsCutAndWrittenBack) {
  ConfigFolder config;
  // 150 bytes whose 99th and 100th form one character: the name keeps 98 bytes, not half of it.
  const std::string longName = std::string(98, 'a') + "\xC3\xA9" + std::string(50, 'b');
  ASSERT_EQ(longName.size(), 150u);
  config.Write("[audio]\nindev=" + longName + "\noutdev=" + std::string(150, 'c') + "\n");
  AppHost* host = LoadedHost();
  EXPECT_EQ(host->state.audioInputDevice, std::string(98, 'a'));
  EXPECT_EQ(host->state.audioOutputDevice, std::string(99, 'c'));
  IniFile written;
  ASSERT_TRUE(written.Load(config.File().string()));
  EXPECT_EQ(written.Find("audio", "indev"), std::string(98, 'a'));
  EXPECT_EQ(written.Find("audio", "outdev"), std::string(99, 'c'));
}

TEST(Settings, EmptyMidiNameStaysEmpty) {
  ConfigFolder config;
  config.Write("[midi]\nindev=\n");
  AppHost* host = LoadedHost();
  EXPECT_EQ(host->state.midiInputDevice, "");
  EXPECT_EQ(host->state.midiOutputDevice, "no output");
  EXPECT_NE(config.Read().find("[midi]\nindev=\n"), std::string::npos);
}

TEST(Settings, QuotedNamesAreReadWithoutTheirQuotes) {
  ConfigFolder config;
  config.Write("[audio]\nindev=\"system\"\nsr='48000'\n[midi]\noutdev='Port 1'\n");
  AppHost* host = LoadedHost();
  EXPECT_EQ(host->state.audioInputDevice, "system");
  EXPECT_EQ(host->state.sampleRate, 48000u);
  EXPECT_EQ(host->state.midiOutputDevice, "Port 1");
  const std::string text = config.Read();
  EXPECT_NE(text.find("\nindev=system\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\noutdev=Port 1\n"), std::string::npos) << text;
}

TEST(Settings, ForeignLinesAndSectionsAreKept) {
  ConfigFolder config;
  config.Write("; my notes\n[audio]\nsr=48000\ncolour=blue\n\n[window]\nx=10\n");
  LoadedHost();
  const std::string text = config.Read();
  EXPECT_EQ(text.rfind("; my notes\n[audio]\nsr=48000\ncolour=blue\ndriver=0\n", 0), 0u) << text;
  EXPECT_NE(text.find("\n\n[window]\nx=10\n[midi]\n"), std::string::npos) << text;
}

TEST(Settings, InvalidValuesFallBackAndAreWrittenBack) {
  struct InvalidCase {
    const char* line;
    const char* section;
    const char* key;
    std::uint32_t AppState::*field;
    std::uint32_t expected;
  };
  const InvalidCase cases[] = {
      {"buffer=0", "audio", "buffer", &AppState::bufferSize, 512},
      {"buffer=100000", "audio", "buffer", &AppState::bufferSize, 512},
      {"sr=0", "audio", "sr", &AppState::sampleRate, 44100},
      {"sr=-48000", "audio", "sr", &AppState::sampleRate, 44100},
      {"in1=-1", "audio", "in1", &AppState::inputChannelLeft, 1},
      {"in2=0", "audio", "in2", &AppState::inputChannelRight, 2},
      {"out1=-3", "audio", "out1", &AppState::outputChannelLeft, 1},
      {"out2=abc", "audio", "out2", &AppState::outputChannelRight, 2},
      {"driver=99", "audio", "driver", &AppState::audioDriverType, 0},
      {"inchan=17", "midi", "inchan", &AppState::midiInputChannel, 0},
      {"outchan=-1", "midi", "outchan", &AppState::midiOutputChannel, 0},
  };
  for (const InvalidCase& c : cases) {
    ConfigFolder config;
    config.Write(std::string("[") + c.section + "]\n" + c.line + "\n");
    AppHost* host = LoadedHost();
    EXPECT_EQ(host->state.*c.field, c.expected) << c.line;
    IniFile written;
    ASSERT_TRUE(written.Load(config.File().string()));
    EXPECT_EQ(written.Find(c.section, c.key), std::to_string(c.expected)) << c.line;
  }
  // Values inside the ranges are kept as they are.
  ConfigFolder config;
  config.Write("[audio]\nbuffer=96\nsr=96000\nin1=3\nin2=4\n[midi]\ninchan=16\n");
  AppHost* host = LoadedHost();
  EXPECT_EQ(host->state.bufferSize, 96u);
  EXPECT_EQ(host->state.sampleRate, 96000u);
  EXPECT_EQ(host->state.inputChannelLeft, 3u);
  EXPECT_EQ(host->state.inputChannelRight, 4u);
  EXPECT_EQ(host->state.midiInputChannel, 16u);
}

TEST(Settings, ARewriteThatFailsLeavesTheOldFile) {
  ConfigFolder config;
  AppHost* host = LoadedHost();
  const std::string before = config.Read();
  host->state.audioInputDevice = std::string(3000, 'x');

  bool written = true;
  {
    const FileSizeLimit limit(1024);
    written = host->SaveSettings();
  }
  EXPECT_FALSE(written);
  EXPECT_EQ(config.Read(), before);
  EXPECT_TRUE(host->SaveSettings()); // the next save tries again
  EXPECT_NE(config.Read().find(std::string(3000, 'x')), std::string::npos);
}

TEST(Settings, AnEntryThatIsNoSmallRegularFileIsLeftAlone) {
  struct EntryCase {
    const char* name;
    std::function<void(const fs::path&)> make;
    // No other process opens it, so it can be watched: opening a FIFO or a device may do
    // something of its own, so neither is opened at all.
    bool neverOpened;
  };
  ScratchFolder elsewhere;
  const EntryCase cases[] = {
      {"FIFO", [](const fs::path& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }, true},
      {"link to a FIFO",
       [&elsewhere](const fs::path& path) {
         ASSERT_EQ(mkfifo((elsewhere / "fifo").c_str(), 0600), 0);
         fs::create_symlink(elsewhere / "fifo", path);
       },
       true},
      {"link to /dev/zero", [](const fs::path& path) { fs::create_symlink("/dev/zero", path); }, false},
      {"file one byte over the bound",
       [](const fs::path& path) {
         const std::string head = "[audio]\nsr=48000\n;";
         std::ofstream(path, std::ios::binary)
             << head << std::string(IniFile::kMostBytes + 1 - head.size(), 'x');
       },
       false},
  };
  for (const EntryCase& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigFolder config;
    fs::create_directories(config.Folder());
    c.make(config.File());
    const EntryIdentity before(config.File());
    OpenWatch watch(config.File());
    ASSERT_TRUE(watch.Watching());
    AppHost* host = CreateHost();
    host->noIO = true;
    bool loaded = false;
    EXPECT_TRUE(EndsInTime([&] { loaded = host->LoadSettings(); }, config.File()));
    EXPECT_TRUE(loaded);
    EXPECT_EQ(host->state, AppState{});
    bool saved = true;
    EXPECT_TRUE(EndsInTime([&] { saved = host->SaveSettings(); }, config.File()));
    EXPECT_FALSE(saved);
    EXPECT_TRUE(EntryIdentity(config.File()) == before);
    EXPECT_EQ(EntriesIn(config.Folder()), 1u); // no new file left beside it
    if (c.neverOpened) {
      EXPECT_EQ(watch.Opens(), 0);
    }
  }
}

TEST(Settings, AFileNearTheLargestSizeIsReadAndNeverOutgrowsIt) {
  // Twenty bytes below the bound: the keys the program adds do not fit, so the file stays.
  for (const std::size_t size : {IniFile::kMostBytes, IniFile::kMostBytes - 20}) {
    SCOPED_TRACE(size);
    ConfigFolder config;
    const std::string head = "[audio]\nsr=48000\n;";
    const std::string text = head + std::string(size - head.size(), 'x');
    config.Write(text);
    AppHost* host = LoadedHost();
    EXPECT_EQ(host->state.sampleRate, 48000u);
    EXPECT_FALSE(host->SaveSettings());
    EXPECT_EQ(config.Read(), text);
    EXPECT_EQ(LoadedHost()->state.sampleRate, 48000u); // the next run reads it again
  }
}

TEST(Settings, ASaveThatSucceedsIsReadByTheNextRun) {
  ConfigFolder config;
  const std::string keys = "[audio]\ndriver=0\nindev=In\noutdev=Out\nin1=1\nin2=2\nout1=1\nout2=2\n"
                           "buffer=512\nsr=48000\n[midi]\nindev=off\noutdev=off\ninchan=0\noutchan=0\n;";
  const std::string text = keys + std::string(IniFile::kMostBytes - keys.size() - 1, 'x') + "\n";
  config.Write(text);
  AppHost* host = LoadedHost();
  EXPECT_EQ(config.Read(), text); // rewritten as it was
  host->state.bufferSize = 256;
  EXPECT_TRUE(host->SaveSettings());
  host->state.audioInputDevice = "Input";
  EXPECT_FALSE(host->SaveSettings()); // one byte too many
  AppState expected = host->state;
  expected.audioInputDevice = "In";
  EXPECT_EQ(LoadedHost()->state, expected);
}

TEST(Settings, ALinkIsWrittenThroughToItsTarget) {
  struct LinkCase {
    const char* name;
    std::string targetName;
    // Makes the link at the settings path to target; gives the link's own text.
    std::function<fs::path(const fs::path& link, const fs::path& target)> make;
  };
  const auto absolute = [](const fs::path& link, const fs::path& target) {
    fs::create_symlink(target, link);
    return target;
  };
  const LinkCase cases[] = {
      {"absolute link", "mine.ini", absolute},
      // No name beside it may be longer.
      {"link to a name of the longest length", std::string(NAME_MAX - 4, 'n') + ".ini", absolute},
      {"relative link", "mine.ini",
       [](const fs::path& link, const fs::path& target) {
         const fs::path text = fs::relative(target, link.parent_path());
         fs::create_symlink(text, link);
         return text;
       }},
      {"link to a link", "mine.ini",
       [](const fs::path& link, const fs::path& target) {
         const fs::path middle = target.parent_path() / "middle.ini";
         fs::create_symlink(target.filename(), middle);
         fs::create_symlink(middle, link);
         return middle;
       }},
  };
  for (const LinkCase& c : cases) {
    SCOPED_TRACE(c.name);
    ConfigFolder config;
    ScratchFolder elsewhere;
    const fs::path target = elsewhere / c.targetName;
    std::ofstream(target, std::ios::binary) << "[audio]\nsr=48000\n";
    fs::create_directories(config.Folder());
    const fs::path linkText = c.make(config.File(), target);
    const std::size_t elsewhereEntries = EntriesIn(elsewhere.Path());

    AppHost* host = LoadedHost();
    EXPECT_EQ(host->state.sampleRate, 48000u);
    host->state.bufferSize = 256;
    EXPECT_TRUE(host->SaveSettings());

    std::error_code noLink;
    EXPECT_EQ(fs::read_symlink(config.File(), noLink), linkText);
    const std::string written = TextOf(target);
    EXPECT_EQ(written.rfind("[audio]\nsr=48000\ndriver=0\n", 0), 0u);
    EXPECT_NE(written.find("\nbuffer=256\n"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target)));
    EXPECT_EQ(EntriesIn(config.Folder()), 1u);
    EXPECT_EQ(EntriesIn(elsewhere.Path()), elsewhereEntries);
  }
}

TEST(Settings, AReplacedFileKeepsItsPermissions) {
  ConfigFolder config;
  config.Write("[audio]\nsr=48000\n");
  fs::permissions(config.File(), fs::perms::owner_read | fs::perms::owner_write);
  LoadedHost();
  EXPECT_NE(config.Read().find("driver=0\n"), std::string::npos);
  EXPECT_EQ(fs::status(config.File()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(Settings, AReplacedFileKeepsItsOwnerAndGroup) {
  ConfigFolder config;
  config.Write("[audio]\nsr=48000\n");
  uid_t owner = geteuid();
  gid_t group = getegid();
  if (geteuid() == 0) {
    owner = 4242; // root may give the file to anyone
    group = 4243;
  } else {
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
    groups.resize(
        static_cast<std::size_t>(std::max(getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    const auto other = std::find_if(groups.begin(), groups.end(), [](gid_t g) { return g != getegid(); });
    if (other == groups.end())
      GTEST_SKIP() << "this user belongs to no second group to give the file to";
    group = *other;
  }
  ASSERT_EQ(chown(config.File().c_str(), owner, group), 0);
  LoadedHost();
  EXPECT_NE(config.Read().find("driver=0\n"), std::string::npos); // replaced
  struct stat info {};
  ASSERT_EQ(stat(config.File().c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, owner);
  EXPECT_EQ(info.st_gid, group);
}

TEST(Settings, AFileThatMayNotBeWrittenIsLeftAsItIs) {
  if (geteuid() == 0)
    GTEST_SKIP() << "root may write any file, so no file is read-only to it";
  ConfigFolder config;
  const std::string text = "[audio]\nsr=48000\n";
  config.Write(text);
  const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  fs::permissions(config.File(), readOnly);

  AppHost* host = LoadedHost();
  EXPECT_EQ(host->state.sampleRate, 48000u); // the state as read
  EXPECT_FALSE(host->SaveSettings());
  EXPECT_EQ(config.Read(), text);
  EXPECT_EQ(fs::status(config.File()).permissions(), readOnly);
  EXPECT_EQ(EntriesIn(config.Folder()), 1u);

  fs::permissions(config.File(), fs::perms::owner_write, fs::perm_options::add);
  EXPECT_TRUE(host->SaveSettings()); // a later save tries again
  EXPECT_EQ(config.Read().rfind("[audio]\nsr=48000\ndriver=0\n", 0), 0u);
}

TEST(Settings, RecordComparisons) {
  AppState a, b;
  EXPECT_TRUE(a == b);
  b.midiOutputChannel = 3;
  EXPECT_FALSE(a == b);
  EXPECT_FALSE(MidiSettingsEqual(a, b));
  EXPECT_TRUE(AudioSettingsEqual(a, b));
  b = a;
  b.outputChannelRight = 5;
  EXPECT_FALSE(AudioSettingsEqual(a, b));
  EXPECT_TRUE(MidiSettingsEqual(a, b));
  b = a;
  a.audioInputDevice = b.audioInputDevice = "";
  EXPECT_TRUE(a == b);
}
