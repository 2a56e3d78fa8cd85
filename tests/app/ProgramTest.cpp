// The built program, run as a user runs it: the automatic screenshot and the single instance.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "HostRig.h"
#include "PngFile.h"
#include "ProgramRun.h"
#include "SingleInstance.h"
#include "Waits.h"

namespace {

using namespace std::chrono_literals;

struct Rgba {
  int r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

Rgba At(const PngImage& png, int x, int y) {
  const std::uint8_t* p = &png.rgba[(static_cast<std::size_t>(y) * png.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

class Program : public testing::Test {
protected:
  RuntimeFolder runtime;
  ConfigFolder config;
  std::filesystem::path shots = runtime.Path() / "shots";

  // Runs the program for its automatic screenshot, which must succeed, and reads the file back.
  std::optional<PngImage> Screenshot(const std::string& name, std::vector<std::string> args = {}) {
    std::filesystem::create_directories(shots);
    args.insert(args.begin(), {"--screenshot", (shots / name).string()});
    ProgramRun run(args);
    EXPECT_TRUE(run.Started());
    EXPECT_EQ(run.Wait(kHangLimit), 0);
    return ReadPng(shots / name);
  }
};

} // namespace

TEST_F(Program, ScreenshotOfTheEditorThenExit) {
  const std::optional<PngImage> png = Screenshot("a.png", {"--no-io"});
  ASSERT_TRUE(png);
  ASSERT_EQ(png->width, 1180);
  ASSERT_EQ(png->height, 800);
  for (std::size_t i = 3; i < png->rgba.size(); i += 4)
    ASSERT_EQ(png->rgba[i], 255) << "pixel " << i / 4;
  EXPECT_EQ(At(*png, 10, 2), (Rgba{32, 37, 50, 255}));    // the backdrop's top colour
  EXPECT_EQ(At(*png, 10, 798), (Rgba{15, 21, 30, 255}));  // and its bottom colour
  EXPECT_EQ(At(*png, 52, 8), (Rgba{225, 179, 114, 255})); // the brand's tile
}

// The display's scale factor scales the editor's window, and with it the screenshot.
TEST_F(Program, ScreenshotFollowsTheDisplayScale) {
  setenv("GDK_SCALE", "2", 1);
  const std::optional<PngImage> png = Screenshot("scaled.png");
  unsetenv("GDK_SCALE");
  ASSERT_TRUE(png);
  EXPECT_EQ(png->width, 2360);
  EXPECT_EQ(png->height, 1600);
  EXPECT_EQ(At(*png, 20, 4), (Rgba{32, 37, 50, 255}));
}

TEST_F(Program, ScreenshotIntoAMissingFolderFailsAndWritesNothing) {
  const std::filesystem::path path = shots / "missing" / "a.png";
  ProgramRun run({"--screenshot", path.string()});
  ASSERT_TRUE(run.Started());
  const std::optional<int> code = run.Wait(kHangLimit);
  ASSERT_TRUE(code);
  EXPECT_NE(*code, 0);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_FALSE(std::filesystem::exists(shots));
}

TEST_F(Program, AnEmptyScreenshotPathIsReportedAndFails) {
  const std::filesystem::path errors = runtime.Path() / "errors.txt";
  ProgramRun run({"--screenshot", ""}, errors);
  ASSERT_TRUE(run.Started());
  EXPECT_EQ(run.Wait(kHangLimit), 2);
  std::ifstream file(errors);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("path is empty"), std::string::npos) << text;
}

// The test holds the running copy's place: a second copy must ask it to raise its window.
TEST_F(Program, ASecondCopyAsksTheRunningCopyToRaiseItsWindow) {
  SingleInstance running;
  ASSERT_EQ(running.Acquire(), SingleInstance::Status::kHeld);
  ASSERT_GE(running.ListenFd(), 0);
  ProgramRun second({"--no-io"});
  ASSERT_TRUE(second.Started());
  int raises = 0;
  for (int attempt = 0; attempt < 3000 && raises == 0 && second.Running(); ++attempt) {
    running.ServeRequest([&raises] { ++raises; });
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(second.Wait(kHangLimit), 0);
  EXPECT_EQ(raises, 1);
}

TEST_F(Program, ASecondCopyRaisesTheFirstAndEnds) {
  ProgramRun first({"--no-io"});
  ASSERT_TRUE(first.Started());
  // A probe may only ask once the first copy holds the lock, or it would take the lock itself.
  for (int attempt = 0; attempt < 1200 && !std::filesystem::exists(runtime.Path() / "Tamsel.socket");
       ++attempt)
    std::this_thread::sleep_for(50ms);
  bool answered = false;
  for (int attempt = 0; attempt < 100 && !answered && first.Running(); ++attempt) {
    SingleInstance probe;
    answered = probe.Acquire() == SingleInstance::Status::kRunning && probe.AskToRaise(1s);
    if (!answered)
      std::this_thread::sleep_for(100ms);
  }
  ASSERT_TRUE(answered);

  ProgramRun second({"--no-io"});
  ASSERT_TRUE(second.Started());
  EXPECT_EQ(second.Wait(kHangLimit), 0);
  EXPECT_TRUE(first.Running());

  // A copy that was to take a screenshot takes none, and says so in its exit code.
  std::filesystem::create_directories(shots);
  ProgramRun third({"--screenshot", (shots / "c.png").string()});
  ASSERT_TRUE(third.Started());
  const std::optional<int> code = third.Wait(kHangLimit);
  ASSERT_TRUE(code);
  EXPECT_NE(*code, 0);
  EXPECT_FALSE(std::filesystem::exists(shots / "c.png"));
  EXPECT_TRUE(first.Running());

  first.Signal(SIGTERM);
  EXPECT_EQ(first.Wait(kHangLimit), 0);
}

// Settings that name devices of a JACK server that doesn't run: the start-up shows its box, before
// the main window exists. A close asked for then is kept: the program ends, as for any TERM with
// exit 0, and never shows its main window.
TEST_F(Program, ACloseWhileTheStartUpBoxShowsEndsTheProgram) {
  if (DriverIndex("JACK") < 0)
    GTEST_SKIP() << "the audio library has no JACK driver";
  const std::string serverName = "tamsel-absent-" + std::to_string(getpid());
  ScopedEnv server("JACK_DEFAULT_SERVER", serverName.c_str());
  ScopedEnv noStart("JACK_NO_START_SERVER", "1");
  config.Write(JackSettings("nowhere", "nowhere"));
  for (int signal : {SIGTERM, SIGINT}) {
    ProgramRun run({}, runtime.Path() / "errors.txt"); // the audio and MIDI libraries' complaints
    ASSERT_TRUE(run.Started());
    bool boxShown = false;
    for (int attempt = 0; attempt < 3000 && !boxShown && run.Running(); ++attempt) {
      boxShown = WindowShown("Error");
      if (!boxShown)
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(boxShown) << "signal " << signal;
    run.Signal(signal);
    bool mainWindowShown = false;
    for (int attempt = 0; attempt < 3000 && run.Running(); ++attempt) {
      mainWindowShown = mainWindowShown || WindowShown("TAMSEL");
      std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(run.Wait(0ms), 0) << "signal " << signal;
    EXPECT_FALSE(mainWindowShown) << "signal " << signal;
  }
}
