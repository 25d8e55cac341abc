// In a file of its own, so that the compiler never sees a new of this file
// freed in another and takes the pair for a mismatch.
#include "failing_new.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

namespace {

std::atomic<FailingCount> gCount{FailingCount::kNone};
std::atomic<int64_t> gLeft{0}, gCounted{0};
std::thread::id gArming;

}  // namespace

FailingNew::FailingNew(FailingCount count, int64_t fails) {
    gArming = std::this_thread::get_id();
    gLeft = fails;
    gCounted = 0;
    gCount = count;
}

FailingNew::~FailingNew() {
    gCount = FailingCount::kNone;
}

int64_t FailingNew::Counted() {
    return gCounted;
}

void* operator new(std::size_t n) {
    const FailingCount count = gCount;
    if (count != FailingCount::kNone &&
        (std::this_thread::get_id() == gArming) == (count == FailingCount::kThisThread)) {
        ++gCounted;
        if (gLeft-- == 0) throw std::bad_alloc();
    }
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
