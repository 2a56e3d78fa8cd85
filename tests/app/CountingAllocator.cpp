#include "CountingAllocator.h"

#include <cstdlib>
#include <new>

namespace {
thread_local bool counting = false;
thread_local std::size_t allocations = 0;
} // namespace

void* operator new(std::size_t size) {
  if (counting)
    ++allocations;
  if (void* p = std::malloc(size ? size : 1))
    return p;
  throw std::bad_alloc();
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (counting)
    ++allocations;
  return std::malloc(size ? size : 1);
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
