// test_making's operator new (failing_new.cpp) fails on purpose while a
// FailingNew lives: allocation number `fails` (from 0), counting only the
// arming thread or only the others, throws std::bad_alloc.  No test
// assertion may run while armed: assertions allocate too.
#pragma once

#include <cstdint>

enum class FailingCount { kNone, kThisThread, kOtherThreads };

struct FailingNew {
    FailingNew(FailingCount count, int64_t fails);  // INT64_MAX: count only
    ~FailingNew();
    static int64_t Counted();  // allocations counted since the last arming
};
