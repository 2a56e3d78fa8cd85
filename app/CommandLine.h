// The standalone program's command line, as the system split it into arguments.
#pragma once

#include <string>

struct CommandLine {
  // PNG path of the automatic screenshot; empty when none was asked for, or an empty path was.
  std::string screenshotPath;
  // "--screenshot" came with a path, even an empty one.
  bool screenshot = false;
  // Run without audio or MIDI devices: "--no-io", or any screenshot.
  bool noIO = false;
};

// argv[0] is the program and is skipped. "--screenshot" takes the next argument as the path when
// there is one (a later one replaces it; scanning goes on after the path), "--no-io" sets noIO,
// anything else is ignored. Options match exactly, capitals included.
CommandLine ParseCommandLine(int argc, const char* const* argv);
