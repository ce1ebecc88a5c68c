#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

// Wall-clock timing for the benchmark programs.
class BenchTiming {
public:
  static double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

  // The median time of `runs` calls of `run`, in seconds.
  template <typename F>
  static double medianOf(int runs, F&& run) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
      const auto start = std::chrono::steady_clock::now();
      run();
      times.push_back(seconds(std::chrono::steady_clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
  }
};
