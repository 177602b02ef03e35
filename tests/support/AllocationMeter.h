#pragma once
// Counts the bytes a test binary asks of operator new, so that a test can bound
// what a reader allocates for a hostile file (by bytes, never by the clock).
//
// Include in exactly one source file of a test binary: it replaces the global
// allocation functions of that binary.
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace AllocationMeter {
inline std::atomic<std::size_t> requested{0};

// Bytes requested since construction (by every thread of the binary).
class TScope {
public:
  TScope() : start(requested.load()) {}
  std::size_t Bytes() const { return requested.load() - start; }

private:
  std::size_t start;
};

inline void* Allocate(std::size_t n)
{
  requested += n;
  if (void* p = std::malloc(n ? n : 1))
    return p;
  throw std::bad_alloc();
}
} // namespace AllocationMeter

// Every unaligned form, so that each allocation and its release meet the same
// allocator (the nothrow forms serve, among others, the stable sorts).
void* operator new(std::size_t n) { return AllocationMeter::Allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
  AllocationMeter::requested += n;
  return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept { return operator new(n, tag); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void* operator new[](std::size_t n) { return AllocationMeter::Allocate(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
