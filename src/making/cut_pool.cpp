#include "making/cut_pool.h"

#include <algorithm>

#include "making/cutting.h"

int CutThreadCount(int32_t setting) {
    if (setting >= 1) return std::min<int32_t>(setting, kMaxCutThreads);
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp<unsigned>(cores, 1, kMaxCutThreads));
}

CuttingPool::CuttingPool(MakingState& m, const int32_t* order, int32_t n, int32_t edgeLight, int workers)
    : m_(m), order_(order, order + std::max(n, 0)), edgeLight_(edgeLight),
      state_(std::make_unique<std::atomic<uint8_t>[]>(order_.size())) {
    for (size_t p = 0; p < order_.size(); ++p) state_[p].store(kWaiting, std::memory_order_relaxed);
    workers_.reserve(workers);
    for (int i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
}

CuttingPool::~CuttingPool() {
    stop_.store(true);
    for (std::thread& t : workers_) t.join();
}

bool CuttingPool::Claim(int32_t p) {
    uint8_t waiting = kWaiting;
    return state_[p].compare_exchange_strong(waiting, kCutting, std::memory_order_acq_rel);
}

void CuttingPool::Cut(int32_t p, CutScratch& scratch) {
    CutPiece(m_, order_[p], edgeLight_, scratch);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        state_[p].store(kCut, std::memory_order_release);
    }
    done_.notify_all();
}

void CuttingPool::Work() {
    CutScratch scratch;
    const int32_t n = static_cast<int32_t>(order_.size());
    while (!stop_.load(std::memory_order_relaxed)) {
        const int32_t p = next_.fetch_add(1);
        if (p >= n) break;
        if (Claim(p)) Cut(p, scratch);
    }
}

void CuttingPool::Take(int32_t p) {
    if (p < 0 || p >= static_cast<int32_t>(order_.size())) return;
    if (Claim(p)) {
        CutPiece(m_, order_[p], edgeLight_);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            state_[p].store(kCut, std::memory_order_release);
        }
        return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] { return state_[p].load(std::memory_order_acquire) == kCut; });
}
