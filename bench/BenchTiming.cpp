#include "bench/BenchTiming.h"

#include <algorithm>
#include <chrono>

std::vector<double> MedianSeconds(int runs, const std::vector<std::function<void()>>& actions,
                                  const std::function<void()>& after) {
    std::vector<std::vector<double>> seconds(actions.size());
    for (int run = 0; run < runs; ++run) {
        for (size_t i = 0; i < actions.size(); ++i) {
            const auto start = std::chrono::steady_clock::now();
            actions[i]();
            const auto stop = std::chrono::steady_clock::now();
            seconds[i].push_back(std::chrono::duration<double>(stop - start).count());
            after();
        }
    }
    std::vector<double> medians;
    for (std::vector<double>& times : seconds) {
        std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
        medians.push_back(times[runs / 2]);
    }
    return medians;
}
