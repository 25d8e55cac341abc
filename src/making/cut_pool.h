// Pieces cut ahead on worker threads while the making steps show them one by
// one.  The steps keep their order and their random numbers (the cutting
// order, the scattering) on the calling thread; only the pixel work of
// cutting moves to the workers, so a puzzle comes out the same, byte for
// byte, whatever the number of threads.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
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

// The work arrays of one thread cutting one piece, in bytes per word of the
// piece's rectangle widened by the rim's reach: the piece mask and its
// outline walk's copy (4 + 4), the rim's three running sums (3 x 4), its
// flags and packed percentages (1 + 8), rounded up.
constexpr int64_t kScratchBytesPerWord = 32;

// The work arrays of the threads cutting at once may take this many bytes
// per word of the mask: twice the mask itself, eight times the picture's
// own pixels.  Pieces are about the same size whatever the picture, so
// this comes down to the piece count: from about 150 pieces on, 8 threads;
// 20 pieces, one.
constexpr int64_t kScratchBytesPerMaskWord = 8;

// At most `threads`, and fewer when the threads cutting at once (the
// workers and the making steps' own) could hold more work arrays than
// kScratchBytesPerMaskWord allows: a puzzle of a few large pieces is cut on
// fewer threads, at worst on the steps' thread alone.  Counted for the
// largest pieces, as labelled (m.boxes), with the rim width set.
int CutThreadsWithin(const MakingState& m, int threads);

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
    // A worker that failed (out of memory) has stopped the others, and its
    // exception is thrown here, on the caller's thread, for the making
    // steps to handle.
    void Take(int32_t p);

    // How many workers were started: fewer than asked when the system
    // would start no more threads.
    int Workers() const { return static_cast<int>(workers_.size()); }

  private:
    enum : uint8_t { kWaiting, kCutting, kCut };
    bool Claim(int32_t p);
    void Done(int32_t p);
    void Work();
    void ThrowIfFailed();

    MakingState& m_;
    std::vector<int32_t> order_;
    int32_t edgeLight_;
    std::unique_ptr<std::atomic<uint8_t>[]> state_;
    std::atomic<int32_t> next_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable done_;
    std::exception_ptr failure_;  // under mutex_; the first worker's that failed
    std::atomic<bool> failed_{false};
    std::vector<std::thread> workers_;
};
