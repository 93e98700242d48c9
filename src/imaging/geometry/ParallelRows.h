#pragma once
// Splits a loop over image rows across the processor's cores; every thread is joined before
// the call returns.
#include <algorithm>
#include <functional>
#include <system_error>
#include <utility>
#include <thread>
#include <vector>

namespace geometry {

// Runs fn(begin, end) over [0, n) in one slice per core (at most 8); small jobs, and every job
// when `useCores` is false (the window thread, which must not wait to start threads), stay on
// the calling thread.
inline void parallelRows(unsigned n, const std::function<void(unsigned, unsigned)>& fn, bool useCores = true)
{
    const unsigned threads = useCores ? std::clamp(std::thread::hardware_concurrency(), 1u, 8u) : 1u;
    if (threads == 1 || n < 64) {
        fn(0, n);
        return;
    }
    std::vector<std::thread> pool;
    std::vector<std::pair<unsigned, unsigned>> here;  // slices no thread could be started for
    const unsigned step = (n + threads - 1) / threads;
    for (unsigned t = 1; t < threads; ++t) {
        const unsigned b = std::min(n, t * step), e = std::min(n, b + step);
        if (b >= e)
            continue;
        try {
            pool.emplace_back(fn, b, e);
        } catch (const std::system_error&) {
            // Out of threads or address space (the decoder helper runs under limits).
            here.emplace_back(b, e);
        }
    }
    fn(0, std::min(n, step));
    for (const auto& [b, e] : here)
        fn(b, e);
    for (std::thread& th : pool)
        th.join();
}

}  // namespace geometry
