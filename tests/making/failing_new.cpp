// The test program's operator new and delete (see failing_new.h).  In a
// file of their own, so that the compiler never sees a new of this file
// freed in another.
#include "failing_new.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

namespace {

std::atomic<FailingCount> gCount{FailingCount::kNone};
std::atomic<int64_t> gLeft{0};     // allocations counted before the one that fails
std::atomic<int64_t> gCounted{0};  // allocations counted since armed
std::thread::id gArming;

bool FailThisOne() {
    const FailingCount count = gCount.load(std::memory_order_acquire);
    if (count == FailingCount::kNone ||
        (std::this_thread::get_id() == gArming) != (count == FailingCount::kThisThread))
        return false;
    gCounted.fetch_add(1, std::memory_order_relaxed);
    return gLeft.fetch_sub(1, std::memory_order_relaxed) == 0;
}

}  // namespace

FailingNew::FailingNew(FailingCount count, int64_t fails) {
    gArming = std::this_thread::get_id();
    gLeft = fails;
    gCounted = 0;
    gCount.store(count, std::memory_order_release);
}

FailingNew::~FailingNew() {
    gCount.store(FailingCount::kNone, std::memory_order_release);
}

int64_t FailingNew::Counted() {
    return gCounted;
}

void* operator new(std::size_t n) {
    if (FailThisOne()) throw std::bad_alloc();
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
