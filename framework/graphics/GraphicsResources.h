// Where the bytes of fonts and images come from: the resources embedded at build time (by file
// name) first, then the file system.
#pragma once

#include <cstddef>
#include <vector>

// Defined by the embedded resources library; false when no resource has that file name.
bool FindEmbeddedResource(const char* name, const unsigned char*& data, std::size_t& size);

// The bytes of an embedded resource or of a file; false when neither exists or it is empty.
bool ReadResourceOrFile(const char* nameOrPath, std::vector<unsigned char>& bytes);
