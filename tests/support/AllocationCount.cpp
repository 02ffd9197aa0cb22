#include "support/AllocationCount.h"

#include <cstdio>
#include <cstdlib>
#include <execinfo.h>
#include <new>

namespace {
long s_allocations = 0;
int s_traceLeft = 0; // call stacks still to print
} // namespace

long AllocationCount() { return s_allocations; }

void TraceAllocations(int count) { s_traceLeft = count; }

void* operator new(std::size_t size) {
  ++s_allocations;
  if (s_traceLeft > 0) {
    --s_traceLeft;
    void* frames[24];
    const int n = backtrace(frames, 24);
    std::fprintf(stderr, "allocation of %zu bytes:\n", size);
    backtrace_symbols_fd(frames, n, 2);
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
