#pragma once
// What the benchmarks measure with: the time since a start, and the median of runs
// (a run slowed by the machine's other work does not move it).

#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

inline double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace bench
