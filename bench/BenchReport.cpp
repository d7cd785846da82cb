#include "BenchReport.h"

#include <cstdio>
#include <string>

void RatioReporter::ReportRuns(const std::vector<Run>& reports)
{
    ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports) {
        if (run.error_occurred)
            continue;
        const double seconds = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        m_milliseconds[run.run_name.function_name] = seconds * 1000.0;
    }
}

void RatioReporter::Finalize()
{
    ConsoleReporter::Finalize();
    std::printf("\n%-24s %-20s %12s %12s %8s  %s\n", "figure", "baseline", "ms", "baseline ms", "ratio", "target");
    for (const Pair& pair : m_pairs) {
        const auto figure = m_milliseconds.find(pair.figure);
        const auto baseline = m_milliseconds.find(pair.baseline);
        if (figure == m_milliseconds.end() || baseline == m_milliseconds.end()) {
            // A figure that errored or was filtered out proves nothing either way.
            std::printf("%-24s %-20s %12s %12s %8s  MISSED (not run)\n", pair.figure.c_str(), pair.baseline.c_str(),
                        "-", "-", "-");
            m_missed = true;
            continue;
        }
        const double ratio = figure->second / baseline->second;
        // A ratio limit of 0 marks a baseline shown for comparison only.
        const bool ratioMet = pair.maxRatio <= 0 || ratio <= pair.maxRatio;
        const bool timeMet = pair.maxMilliseconds <= 0 || figure->second <= pair.maxMilliseconds;
        std::string target = pair.maxRatio > 0 ? "ratio <= " + std::to_string(pair.maxRatio).substr(0, 3) : "";
        if (pair.maxMilliseconds > 0)
            target += (target.empty() ? "" : ", ") + std::string("under ") +
                      std::to_string(pair.maxMilliseconds).substr(0, 5) + " ms";
        if (!ratioMet || !timeMet)
            m_missed = true;
        std::printf("%-24s %-20s %12.4f %12.4f %8.2f  %s (%s)\n", pair.figure.c_str(), pair.baseline.c_str(),
                    figure->second, baseline->second, ratio, ratioMet && timeMet ? "met" : "MISSED", target.c_str());
    }
}

int runBenchmarks(int argc, char** argv, std::vector<RatioReporter::Pair> pairs)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(std::move(pairs));
    const std::size_t ran = benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    // A filter that matched nothing measured nothing: that is no pass.
    if (ran == 0)
        std::printf("No benchmark ran: every target MISSED\n");
    return ran == 0 || reporter.Missed() ? 1 : 0;
}
