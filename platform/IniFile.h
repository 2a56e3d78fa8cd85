// INI profile files with the semantics of the Windows private-profile functions: sections
// "[name]", lines "key=value", names matched without regard to ASCII case. A missing key gives
// the caller's default; writing changes one key and keeps every other line, known or not, as it
// was. The file is replaced atomically, so an interrupted write never leaves half a file; a link is
// written through to the file it leads to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class IniFile {
public:
  // Larger files are not read: no profile file of ours grows near this.
  static constexpr std::size_t kMostBytes = 1 << 20;

  // Reads the file at path without waiting. A missing file gives an empty document and true; an
  // entry that cannot be read, is no regular file or holds more than kMostBytes gives an empty
  // document and false.
  bool Load(const std::string& path);

  // The value of the first matching key of the first matching section, spaces around it removed.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // A string read into a buffer of bufferSize bytes: at most bufferSize - 1 bytes are kept, cut at
  // a UTF-8 character boundary. One pair of matching quotes (" or ') around the value is dropped. A
  // key present with an empty value gives an empty string.
  std::string GetString(std::string_view section, std::string_view key, std::string_view fallback,
                        std::size_t bufferSize) const;

  // An unsigned integer: optional sign and decimal digits, up to the first other character (none
  // read as 0); a negative number wraps as the Windows read does, a larger one than 32 bits gives
  // the largest value. Quotes are dropped as by GetString. A missing key or an empty value gives
  // fallback.
  std::uint32_t GetInt(std::string_view section, std::string_view key, std::uint32_t fallback) const;

  // Sets key in section, adding either when missing. Line breaks in value become spaces.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The document as it would be written.
  std::string Text() const;

  // Writes the document to a new file beside path (beside the file a link at path leads to) and
  // renames it over that file, keeping its permissions. False, with the old file untouched and no
  // new file left behind, when the document holds more than kMostBytes, that file is no regular
  // file, this user may not write it, or any step fails.
  bool Save(const std::string& path) const;

private:
  std::vector<std::string> lines;
};
