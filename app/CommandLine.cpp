#include "CommandLine.h"

#include <string_view>

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine result;
  if (!argv)
    return result;
  for (int i = 1; i < argc && argv[i]; ++i) {
    const std::string_view argument = argv[i];
    if (argument == "--screenshot") {
      if (i + 1 < argc && argv[i + 1]) {
        result.screenshotPath = argv[++i];
        result.screenshot = true;
      }
    } else if (argument == "--no-io") {
      result.noIO = true;
    }
  }
  if (result.screenshot)
    result.noIO = true;
  return result;
}
