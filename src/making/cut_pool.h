// Pieces cut ahead on worker threads while the making steps show them one by
// one.  The steps keep their order and their random numbers (the cutting
// order, the scattering) on the calling thread; only the pixel work of
// cutting moves to the workers, so a puzzle comes out the same, byte for
// byte, whatever the number of threads.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "making/making_state.h"

struct CutScratch;

// The most workers a making starts, whatever the machine.
constexpr int kMaxCutThreads = 8;

// How many threads cut: `setting` when it is 1 or more (at most
// kMaxCutThreads), else one per core of the machine, at most kMaxCutThreads.
int CutThreadCount(int32_t setting);

class CuttingPool {
  public:
    // Starts `workers` threads on the pieces of order[0 .. n - 1], in that
    // order.  The making record must not change but through the pool until
    // the pool is gone.
    CuttingPool(MakingState& m, const int32_t* order, int32_t n, int32_t edgeLight, int workers);
    // Stops the workers once the pieces they are cutting are done, and joins
    // them: a piece not yet begun is never begun.
    ~CuttingPool();
    CuttingPool(const CuttingPool&) = delete;
    CuttingPool& operator=(const CuttingPool&) = delete;

    // The piece at order position p, cut: here (with the calling thread's
    // own scratch), when no worker has begun it, else when the worker cutting
    // it is done (at most one piece's time).  For the user-interface thread.
    void Take(int32_t p);

  private:
    enum : uint8_t { kWaiting, kCutting, kCut };
    bool Claim(int32_t p);
    void Cut(int32_t p, CutScratch& scratch);
    void Work();

    MakingState& m_;
    std::vector<int32_t> order_;
    int32_t edgeLight_;
    std::unique_ptr<std::atomic<uint8_t>[]> state_;
    std::atomic<int32_t> next_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable done_;
    std::vector<std::thread> workers_;
};
