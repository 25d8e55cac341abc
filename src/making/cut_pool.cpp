#include "making/cut_pool.h"

#include <algorithm>
#include <functional>
#include <system_error>

#include "making/cutting.h"

int CutThreadCount(int32_t setting) {
    if (setting >= 1) return std::min<int32_t>(setting, kMaxCutThreads);
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp<unsigned>(cores, 1, kMaxCutThreads));
}

int CutThreadsWithin(const MakingState& m, int threads) {
    threads = std::clamp(threads, 1, kMaxCutThreads);
    if (threads == 1) return 1;
    // The largest pieces' work arrays, largest first: with t workers, the
    // t + 1 largest may be cut at once.
    std::vector<int64_t> largest;
    const int64_t reach = 2 * (2 * static_cast<int64_t>(std::max(m.edgeWidth, 0)) + 1);
    for (int k = 0; k < m.areaCount; ++k) {
        const AreaBox& b = m.boxes[k];
        const int64_t w = b.maxX - b.minX + 3, h = b.maxY - b.minY + 3;
        largest.push_back((w + reach) * (h + reach + 1) * kScratchBytesPerWord);
    }
    const size_t kept = std::min(largest.size(), static_cast<size_t>(threads) + 1);
    std::partial_sort(largest.begin(), largest.begin() + kept, largest.end(), std::greater<>());
    const int64_t budget = static_cast<int64_t>(m.maskWidth) * m.maskHeight * kScratchBytesPerMaskWord;
    for (; threads > 1; --threads) {
        int64_t scratch = 0;
        for (size_t i = 0; i < std::min(kept, static_cast<size_t>(threads) + 1); ++i) scratch += largest[i];
        if (scratch <= budget) break;
    }
    return threads;
}

CuttingPool::CuttingPool(MakingState& m, const int32_t* order, int32_t n, int32_t edgeLight, int workers)
    : m_(m), order_(order, order + std::max(n, 0)), edgeLight_(edgeLight),
      state_(std::make_unique<std::atomic<uint8_t>[]>(order_.size())) {
    for (size_t p = 0; p < order_.size(); ++p) state_[p].store(kWaiting, std::memory_order_relaxed);
    // A system that starts no more threads leaves the pieces to those
    // started and to the steps.
    try {
        workers_.reserve(workers);
        for (int i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
    } catch (const std::bad_alloc&) {
    }
}

CuttingPool::~CuttingPool() {
    stop_.store(true);
    for (std::thread& t : workers_) t.join();
}

bool CuttingPool::Claim(int32_t p) {
    uint8_t waiting = kWaiting;
    return state_[p].compare_exchange_strong(waiting, kCutting, std::memory_order_acq_rel);
}

void CuttingPool::Done(int32_t p) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        state_[p].store(kCut, std::memory_order_release);
    }
    done_.notify_all();
}

void CuttingPool::Work() {
    const int32_t n = static_cast<int32_t>(order_.size());
    try {
        CutScratch scratch;
        while (!stop_.load(std::memory_order_relaxed)) {
            const int32_t p = next_.fetch_add(1);
            if (p >= n) break;
            if (!Claim(p)) continue;
            CutPiece(m_, order_[p], edgeLight_, scratch);
            Done(p);
        }
    } catch (...) {
        // Out of memory, as a rule: the other workers stop after their
        // piece, and the steps, waiting or not, hear of it at their next
        // piece.  The piece that failed is never marked cut.
        stop_.store(true);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!failure_) failure_ = std::current_exception();
            failed_.store(true);
        }
        done_.notify_all();
    }
}

void CuttingPool::ThrowIfFailed() {
    if (!failed_.load()) return;
    std::exception_ptr failure;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        failure = failure_;
    }
    std::rethrow_exception(failure);
}

void CuttingPool::Take(int32_t p) {
    ThrowIfFailed();
    if (p < 0 || p >= static_cast<int32_t>(order_.size())) return;
    if (Claim(p)) {
        CutPiece(m_, order_[p], edgeLight_);
        Done(p);
        return;
    }
    {
        std::unique_lock<std::mutex> lock(mutex_);
        done_.wait(lock, [&] { return state_[p].load(std::memory_order_acquire) == kCut || failed_.load(); });
    }
    ThrowIfFailed();
}
