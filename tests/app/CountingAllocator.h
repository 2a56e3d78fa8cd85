// The test program's own allocator, which counts what one thread allocates while asked to.
#pragma once

#include <cstddef>

// Counts the allocations of the constructing thread while the object lives.
class CountAllocations {
public:
  CountAllocations();
  ~CountAllocations();
  CountAllocations(const CountAllocations&) = delete;
  CountAllocations& operator=(const CountAllocations&) = delete;
  std::size_t Count() const;
};
