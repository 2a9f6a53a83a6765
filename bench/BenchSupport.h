#ifndef BENCHSUPPORT_H
#define BENCHSUPPORT_H

// What every benchmark program shares: the run options, the same-run baselines that ratios are
// taken against, error reporting that fails the program, and resident-memory readings.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace BenchSupport {

// Parses our own options (then hands the rest to the library): --smoke runs every benchmark a few
// iterations on small sizes, so that the test suite can check that the programs still work.
void initialise(int* argc, char** argv);
bool smoke();
// `full` normally, a small stand-in under --smoke (table sizes, record counts).
long size(long full, long small);
// Iteration cap for every registration: a few iterations under --smoke, otherwise the library's own choice.
benchmark::internal::Benchmark* tune(benchmark::internal::Benchmark* b);

// Runs what was registered; the exit code is non-zero when any benchmark reported an error.
int run();

// Marks the benchmark as failed (the program then exits non-zero) and stops its loop.
void fail(benchmark::State& state, const std::string& why);

// Wall time of a benchmark's timed loop, read after it: nanoseconds per iteration.
class LoopClock
{
public:
    LoopClock();
    double nsPerIteration(const benchmark::State& state) const;
    double seconds() const;

private:
    std::chrono::steady_clock::time_point m_start;
};

// Baselines measured earlier in the same run, by name; ratio() is 0 when the baseline did not run.
void recordBaseline(const std::string& name, double value);
double baseline(const std::string& name);
// Sets the counters "ratio" (value / baseline) and "baseline" on the benchmark.
void setRatio(benchmark::State& state, const std::string& baselineName, double value);

long residentKiB();
long peakResidentKiB();

} // namespace BenchSupport

#endif // BENCHSUPPORT_H
