#pragma once
// Splits a loop over image rows across the processor's cores; every thread is joined before
// the call returns.
#include <algorithm>
#include <functional>
#include <thread>
#include <vector>

namespace geometry {

// Runs fn(begin, end) over [0, n) in one slice per core (at most 8); small jobs stay on the
// calling thread.
inline void parallelRows(unsigned n, const std::function<void(unsigned, unsigned)>& fn)
{
    const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    if (threads == 1 || n < 64) {
        fn(0, n);
        return;
    }
    std::vector<std::thread> pool;
    const unsigned step = (n + threads - 1) / threads;
    for (unsigned t = 1; t < threads; ++t) {
        const unsigned b = std::min(n, t * step), e = std::min(n, b + step);
        if (b < e)
            pool.emplace_back(fn, b, e);
    }
    fn(0, std::min(n, step));
    for (std::thread& th : pool)
        th.join();
}

}  // namespace geometry
