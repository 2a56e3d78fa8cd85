// Screenshots of the editor as PNG files: the automatic one of "--screenshot" and the "Save
// Screenshot" command's, which goes into a private folder of ours.
#pragma once

#include <ctime>
#include <string>

class IGraphics;

// Renders one full frame of the editor offscreen and writes it to path as an RGBA PNG of the
// editor's window size in pixels, every pixel opaque. The file is written beside its final name
// and renamed into place: an existing file, or a symbolic link, at path is replaced (a link is
// never followed), and a failed write leaves nothing behind. The new file has the usual mode
// (0666 less the umask). False for a null editor or path, a zero-size editor, a failed render,
// encoding or write.
bool CaptureWindowToPng(IGraphics* editor, const char* path);

// The temporary folder's private folder for our screenshots (TemporaryFolder()/Tamsel-<uid>),
// made when missing; empty when it can't be made or isn't ours.
std::string ScreenshotFolder();
// "TAMSEL_screenshot_YYYYmmdd_HHMMSS.png" for when, in local time: two screenshots within one
// second share the name, so the second replaces the first. Empty when the time can't be converted.
std::string ScreenshotFileName(std::time_t when);
// ScreenshotFolder() and ScreenshotFileName(when) joined; empty when either is empty or the
// path is longer than 511 bytes.
std::string ScreenshotPath(std::time_t when);
