#include "IniFile.h"

#include <algorithm>
#include <limits>
#include <sstream>

#include "Utf8.h"
#include "WholeFile.h"

namespace {

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos)
    return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z')
      x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z')
      y = static_cast<char>(y - 'A' + 'a');
    if (x != y)
      return false;
  }
  return true;
}

// "[name]" gives name.
std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view text = Trim(line);
  if (text.empty() || text.front() != '[')
    return std::nullopt;
  const std::size_t close = text.find(']');
  if (close == std::string_view::npos)
    return std::nullopt;
  return Trim(text.substr(1, close - 1));
}

struct KeyLine {
  std::string_view key;
  std::string_view value;
};

// "key = value" gives both, trimmed; comments and lines without '=' give nothing.
std::optional<KeyLine> ParseKey(std::string_view line) {
  const std::string_view text = Trim(line);
  if (text.empty() || text.front() == ';' || text.front() == '#' || text.front() == '[')
    return std::nullopt;
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos)
    return std::nullopt;
  return KeyLine{Trim(text.substr(0, equals)), Trim(text.substr(equals + 1))};
}

// One pair of matching quotes around a value is dropped, as the Windows profile read does.
std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

} // namespace

bool IniFile::Load(const std::string& path) {
  lines.clear();
  const std::optional<std::string> text = ReadWholeFile(path, kMostBytes);
  if (!text)
    return false;
  for (std::size_t start = 0; start < text->size();) {
    const std::size_t end = std::min(text->find('\n', start), text->size());
    lines.emplace_back(*text, start, end - start);
    start = end + 1;
  }
  return true;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (const std::string& line : lines) {
    if (const auto name = SectionName(line)) {
      if (inSection)
        return std::nullopt; // only the first section of that name is read
      inSection = SameName(*name, section);
      continue;
    }
    if (!inSection)
      continue;
    if (const auto entry = ParseKey(line); entry && SameName(entry->key, key))
      return std::string(entry->value);
  }
  return std::nullopt;
}

std::string IniFile::GetString(std::string_view section, std::string_view key, std::string_view fallback,
                               std::size_t bufferSize) const {
  const std::optional<std::string> found = Find(section, key);
  const std::string_view value = found ? Unquoted(*found) : fallback;
  if (bufferSize == 0)
    return {};
  return std::string(value.substr(0, Utf8PrefixLength(value, bufferSize - 1)));
}

std::uint32_t IniFile::GetInt(std::string_view section, std::string_view key, std::uint32_t fallback) const {
  const std::optional<std::string> found = Find(section, key);
  if (!found)
    return fallback;
  const std::string_view text = Unquoted(*found); // the integer read goes through the string read
  if (text.empty())
    return fallback;
  std::size_t i = 0;
  bool negative = false;
  if (text[i] == '-' || text[i] == '+')
    negative = text[i++] == '-';
  std::uint64_t magnitude = 0;
  constexpr std::uint64_t kMost = std::numeric_limits<std::uint32_t>::max();
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    magnitude = std::min(magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0'), kMost + 1);
  if (magnitude > kMost)
    return static_cast<std::uint32_t>(kMost);
  const auto value = static_cast<std::uint32_t>(magnitude);
  return negative ? static_cast<std::uint32_t>(0u - value) : value;
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string entry = std::string(key) + "=" + std::string(value);
  for (char& c : entry)
    if (c == '\n' || c == '\r')
      c = ' ';

  std::size_t header = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionName(lines[i]);
    if (name && SameName(*name, section)) {
      header = i;
      break;
    }
  }
  if (header == lines.size()) {
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(entry);
    return;
  }
  // New keys go after the section's last non-blank line, so blank separators stay where they are.
  std::size_t insertAt = header + 1;
  for (std::size_t i = header + 1; i < lines.size() && !SectionName(lines[i]); ++i) {
    if (const auto found = ParseKey(lines[i]); found && SameName(found->key, key)) {
      lines[i] = entry;
      return;
    }
    if (!Trim(lines[i]).empty())
      insertAt = i + 1;
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
}

std::string IniFile::Text() const {
  std::ostringstream text;
  for (const std::string& line : lines)
    text << line << '\n';
  return text.str();
}

bool IniFile::Save(const std::string& path) const {
  const std::string text = Text();
  // A file that Load refuses would leave every later run on its defaults.
  if (text.size() > kMostBytes)
    return false;
  return ReplaceWholeFile(path, text);
}
