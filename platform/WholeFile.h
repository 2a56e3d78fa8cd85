// Small files read and replaced whole. Settings files are placed, linked and protected by hand, so
// neither function trusts what it finds at the path.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The text of the regular file at path (links followed); a missing file reads as empty text.
// Nothing when the entry is no regular file, holds more than mostBytes or cannot be read. The read
// never waits: a FIFO or a device at path is refused without being opened.
std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t mostBytes);

// Replaces the file at path with text: a new file written beside it and renamed over it, with the
// old file's permissions (0644 for a file that is new) and its owner and group where this user may
// set them. A link at path is written through: the file it leads to is replaced in that file's own
// folder and the link stays. False, with the old file untouched and no new file left behind, when
// the entry is no regular file, this user may not write it, or any step fails.
bool ReplaceWholeFile(const std::string& path, const std::string& text);
