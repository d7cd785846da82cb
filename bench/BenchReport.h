#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// Prints Google Benchmark's table, then one line per pair of (figure, baseline) benchmarks with the
// ratio between their times and the target it is held to.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    struct Pair
    {
        std::string figure;
        std::string baseline;
        double maxRatio;
        double maxMilliseconds; // 0: no absolute target
    };

    explicit RatioReporter(std::vector<Pair> pairs) : m_pairs(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& reports) override;
    void Finalize() override;
    // True once a figure has missed its target, or a figure or its baseline did not run.
    bool Missed() const { return m_missed; }

private:
    std::vector<Pair> m_pairs;
    std::map<std::string, double> m_milliseconds;
    bool m_missed = false;
};

// Runs every registered benchmark and prints the ratios; returns 1 when any target was missed, else 0.
int runBenchmarks(int argc, char** argv, std::vector<RatioReporter::Pair> pairs);
