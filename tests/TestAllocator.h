// The test programs' own operator new and delete (malloc underneath), which can make one thread's
// allocations fail or count them. Link tamsel_test_allocator into the program to use them.
#pragma once

#include <cstddef>

// While one exists, every operator new on this thread (the test's and a loaded module's alike)
// throws std::bad_alloc, and the nothrow form returns null.
class FailingAllocations {
public:
  FailingAllocations();
  ~FailingAllocations();
  FailingAllocations(const FailingAllocations&) = delete;
  FailingAllocations& operator=(const FailingAllocations&) = delete;
};

// Counts the allocations of the constructing thread while the object lives.
class CountAllocations {
public:
  CountAllocations();
  ~CountAllocations();
  CountAllocations(const CountAllocations&) = delete;
  CountAllocations& operator=(const CountAllocations&) = delete;
  std::size_t Count() const;
};
