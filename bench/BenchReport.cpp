#include "BenchReport.h"

#include <cstdio>

void RatioReporter::ReportRuns(const std::vector<Run>& reports)
{
    ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports) {
        const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        m_milliseconds[run.run_name.function_name] = seconds * 1000.0;
    }
}

void RatioReporter::Finalize()
{
    ConsoleReporter::Finalize();
    std::printf("\n%-34s %12s %12s %8s  %s\n", "figure", "ms", "baseline ms", "ratio", "target");
    for (const Pair& pair : m_pairs) {
        const auto figure = m_milliseconds.find(pair.figure);
        const auto baseline = m_milliseconds.find(pair.baseline);
        if (figure == m_milliseconds.end() || baseline == m_milliseconds.end())
            continue;
        const double ratio = figure->second / baseline->second;
        const bool ratioMet = ratio <= pair.maxRatio;
        const bool timeMet = pair.maxMilliseconds <= 0 || figure->second <= pair.maxMilliseconds;
        std::printf("%-34s %12.3f %12.3f %8.2f  %s (ratio <= %.1f%s)\n", pair.figure.c_str(), figure->second,
                    baseline->second, ratio, ratioMet && timeMet ? "met" : "MISSED", pair.maxRatio,
                    pair.maxMilliseconds > 0 ? (", under " + std::to_string(int(pair.maxMilliseconds)) + " ms").c_str()
                                             : "");
    }
}

int runBenchmarks(int argc, char** argv, std::vector<RatioReporter::Pair> pairs)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
