#include "TestAllocator.h"

#include <cstdlib>
#include <new>

namespace {
thread_local bool failing = false;
thread_local bool counting = false;
thread_local std::size_t allocations = 0;

void* Allocate(std::size_t size) noexcept {
  if (counting)
    ++allocations;
  return failing ? nullptr : std::malloc(size ? size : 1);
}
} // namespace

void* operator new(std::size_t size) {
  if (void* p = Allocate(size))
    return p;
  throw std::bad_alloc();
}

// Mesa's compiler allocates with the nothrow form and frees with the plain delete below, so
// both forms must come from the same allocator.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}

void operator delete(void* p) noexcept {
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}

FailingAllocations::FailingAllocations() {
  failing = true;
}

FailingAllocations::~FailingAllocations() {
  failing = false;
}

CountAllocations::CountAllocations() {
  allocations = 0;
  counting = true;
}

CountAllocations::~CountAllocations() {
  counting = false;
}

std::size_t CountAllocations::Count() const {
  return allocations;
}
