#include <gtest/gtest.h>

#include <string>

#include "Utf8.h"

namespace {

struct CutCase {
  const char* text;
  std::size_t maxBytes;
  std::size_t expected;
};

} // namespace

TEST(Utf8, PrefixNeverEndsInsideACharacter) {
  const CutCase cases[] = {
      {"abc", 5, 3},               // fits whole
      {"abcdef", 3, 3},            // plain ASCII
      {"ab\xC3\xA9", 3, 2},        // two-byte character cut after its lead byte
      {"ab\xC3\xA9z", 4, 4},       // cut right after it
      {"a\xE2\x82\xAC", 2, 1},     // three-byte character, one byte of it would fit
      {"a\xE2\x82\xAC", 3, 1},     // two bytes of it would fit
      {"a\xE2\x82\xACz", 4, 4},    // whole character fits
      {"\xF0\x9F\x8E\xA4x", 3, 0}, // four-byte character at the start
      {"a\x80\x80\x80\x80", 3, 3}, // stray continuation bytes count as characters
      {"\xC3\xA9\xA9x", 2, 2},     // an extra continuation byte after a whole character
  };
  for (const CutCase& c : cases)
    EXPECT_EQ(Utf8PrefixLength(c.text, c.maxBytes), c.expected) << c.text << " / " << c.maxBytes;
}
