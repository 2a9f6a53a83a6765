#include "BenchSupport.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <vector>

namespace BenchSupport {
namespace {

    bool g_smoke = false;
    std::atomic<bool> g_failed { false };
    std::mutex g_baselineLock;
    std::map<std::string, double> g_baselines;

    long statusField(const char* field)
    {
        std::ifstream status("/proc/self/status");
        std::string line;
        const size_t length = std::strlen(field);
        while (std::getline(status, line)) {
            if (line.compare(0, length, field) == 0)
                return std::atol(line.c_str() + length);
        }
        return -1;
    }

} // namespace

void initialise(int* argc, char** argv)
{
    std::vector<char*> rest;
    for (int i = 0; i < *argc; ++i) {
        if (std::strcmp(argv[i], "--smoke") == 0)
            g_smoke = true;
        else
            rest.push_back(argv[i]);
    }
    for (size_t i = 0; i < rest.size(); ++i)
        argv[i] = rest[i];
    *argc = int(rest.size());
    benchmark::Initialize(argc, argv);
}

bool smoke()
{
    return g_smoke;
}

long size(long full, long small)
{
    return g_smoke ? small : full;
}

benchmark::internal::Benchmark* tune(benchmark::internal::Benchmark* b)
{
    if (g_smoke)
        b->Iterations(2);
    return b;
}

int run()
{
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return g_failed ? 1 : 0;
}

void fail(benchmark::State& state, const std::string& why)
{
    g_failed = true;
    std::fprintf(stderr, "benchmark failed: %s\n", why.c_str());
    state.SkipWithError(why.c_str());
}

LoopClock::LoopClock()
    : m_start(std::chrono::steady_clock::now())
{
}

double LoopClock::seconds() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
}

double LoopClock::nsPerIteration(const benchmark::State& state) const
{
    const double iterations = double(state.iterations());
    return iterations > 0 ? seconds() * 1e9 / iterations : 0.0;
}

void recordBaseline(const std::string& name, double value)
{
    std::lock_guard<std::mutex> lock(g_baselineLock);
    g_baselines[name] = value;
}

double baseline(const std::string& name)
{
    std::lock_guard<std::mutex> lock(g_baselineLock);
    const auto found = g_baselines.find(name);
    return found == g_baselines.end() ? 0.0 : found->second;
}

void setRatio(benchmark::State& state, const std::string& baselineName, double value)
{
    const double base = baseline(baselineName);
    state.counters["baseline"] = base;
    state.counters["ratio"] = base > 0 ? value / base : 0.0;
}

long residentKiB()
{
    return statusField("VmRSS:");
}

long peakResidentKiB()
{
    return statusField("VmHWM:");
}

} // namespace BenchSupport
