// UTF-8 helpers for texts that are stored in fixed-size fields.
#pragma once

#include <cstddef>
#include <string_view>

// The length of the longest prefix of text that fits in maxBytes and does not end inside a
// multi-byte character. Bytes that are not valid UTF-8 count as single characters.
std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes);
