// The command line as the system splits it: options match exactly, the screenshot path is the
// next argument whatever it holds, unknown arguments are ignored.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CommandLine.h"

namespace {

struct Case {
  const char* name;
  std::vector<const char*> arguments; // after the program's name
  std::string screenshotPath;
  bool screenshot;
  bool noIO;
};

CommandLine Parse(const std::vector<const char*>& arguments) {
  std::vector<const char*> argv{"TAMSEL"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  argv.push_back(nullptr);
  return ParseCommandLine(static_cast<int>(argv.size()) - 1, argv.data());
}

} // namespace

TEST(CommandLine, Table) {
  const Case cases[] = {
      {"path then no-io", {"--screenshot", "/shots/a.png", "--no-io"}, "/shots/a.png", true, true},
      {"screenshot alone", {"--screenshot"}, "", false, false},
      {"no-io alone", {"--no-io"}, "", false, true},
      {"nothing", {}, "", false, false},
      {"quoted path with a space", {"--screenshot", "/shots/my shot.png"}, "/shots/my shot.png", true, true},
      {"capitals", {"--SCREENSHOT", "a.png", "--No-IO"}, "", false, false},
      {"later screenshot replaces", {"--screenshot", "a.png", "--screenshot", "b.png"}, "b.png", true, true},
      {"last screenshot without a path keeps the earlier",
       {"--screenshot", "a.png", "--screenshot"},
       "a.png",
       true,
       true},
      {"the next argument is the path", {"--screenshot", "--no-io"}, "--no-io", true, true},
      {"scanning goes on after the path", {"--screenshot", "a.png", "extra", "--no-io"}, "a.png", true, true},
      {"empty path", {"--screenshot", ""}, "", true, true},
      {"a later empty path replaces", {"--screenshot", "a.png", "--screenshot", ""}, "", true, true},
      {"unknown", {"-no-io", "--no-io=1", "--screenshot=a.png", "--verbose", "x"}, "", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CommandLine line = Parse(c.arguments);
    EXPECT_EQ(line.screenshotPath, c.screenshotPath);
    EXPECT_EQ(line.screenshot, c.screenshot);
    EXPECT_EQ(line.noIO, c.noIO);
  }
}

TEST(CommandLine, ProgramNameIsSkipped) {
  const char* argv[] = {"--no-io", nullptr};
  EXPECT_FALSE(ParseCommandLine(1, argv).noIO);
  EXPECT_FALSE(ParseCommandLine(0, nullptr).noIO);
}
