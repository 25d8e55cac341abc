// An operator new that fails on purpose, for the tests of running out of
// memory: test_making's own (failing_new.cpp), armed by a test for a span
// of code.  The Nth allocation from the arming, counting only the arming
// thread or only the others, throws std::bad_alloc; all others are malloc's.
#pragma once

#include <cstdint>

enum class FailingCount { kNone, kThisThread, kOtherThreads };

// Armed for its lifetime: allocation number `fails` (from 0) of those
// counted throws; INT64_MAX only counts.  Nothing between arming and
// disarming may be a test assertion, which allocates too.
class FailingNew {
  public:
    FailingNew(FailingCount count, int64_t fails);
    ~FailingNew();
    FailingNew(const FailingNew&) = delete;
    FailingNew& operator=(const FailingNew&) = delete;

    // Allocations counted since the arming.
    static int64_t Counted();
};
