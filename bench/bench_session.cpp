// Whole-process figures, each beside a bare Qt baseline measured in the same run:
//  - start-up until the main window is shown (offscreen): wall time of the process up to that moment and
//    its peak resident memory, against a plain Qt window with a table and 60 styled labels.
// Each iteration starts divevod-startup-probe or bare-startup-probe afresh (see StartupProbe.cpp).
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>

using namespace BenchSupport;

namespace {

std::string g_probeDir;

struct ProbeRun
{
    bool ok = false;
    double secondsUntilShown = 0;
    long peakKiB = 0;
};

// Starts the probe and waits for its "shown" byte, then for its end; the time is taken up to the byte.
ProbeRun runProbe(const char* program, const QString& configHome)
{
    ProbeRun result;
    int ready[2];
    if (::pipe(ready) != 0)
        return result;
    const std::string readyArg = "--ready-fd=" + std::to_string(ready[1]);
    const std::string config = configHome.toStdString();
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        const std::string path = g_probeDir + "/" + program;
        ::execl(path.c_str(), path.c_str(), readyArg.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(ready[1]);
    if (child < 0) {
        ::close(ready[0]);
        return result;
    }
    char byte = 0;
    const bool shown = ::read(ready[0], &byte, 1) == 1;
    result.secondsUntilShown = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ::close(ready[0]);
    int status = 0;
    rusage usage {};
    if (::wait4(child, &status, 0, &usage) != child)
        return result;
    result.peakKiB = usage.ru_maxrss;
    result.ok = shown && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

void startupBenchmark(benchmark::State& state, const char* program, bool baselineSide)
{
    QTemporaryDir config;
    double total = 0;
    long peak = 0;
    for (auto _ : state) {
        const ProbeRun run = runProbe(program, config.path());
        if (!run.ok)
            return fail(state, std::string(program) + " failed");
        state.SetIterationTime(run.secondsUntilShown);
        total += run.secondsUntilShown;
        peak = std::max(peak, run.peakKiB);
    }
    const double ns = state.iterations() ? total * 1e9 / double(state.iterations()) : 0;
    state.counters["peak_rss_KiB"] = double(peak);
    if (baselineSide) {
        recordBaseline("startup wall", ns);
        recordBaseline("startup memory", double(peak));
        return;
    }
    setRatio(state, "startup wall", ns);
    const double memoryBase = baseline("startup memory");
    state.counters["memory_baseline_KiB"] = memoryBase;
    state.counters["memory_ratio"] = memoryBase > 0 ? double(peak) / memoryBase : 0.0;
}

void BM_StartupBare(benchmark::State& state)
{
    startupBenchmark(state, "bare-startup-probe", true);
}

void BM_StartupWindow(benchmark::State& state)
{
    startupBenchmark(state, "divevod-startup-probe", false);
}

} // namespace

int main(int argc, char** argv)
{
    {
        QCoreApplication app(argc, argv);
        g_probeDir = QCoreApplication::applicationDirPath().toStdString();
    }
    initialise(&argc, argv);
    tune(benchmark::RegisterBenchmark("startup/bare", BM_StartupBare))
        ->Iterations(smoke() ? 1 : 10)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    tune(benchmark::RegisterBenchmark("startup/window", BM_StartupWindow))
        ->Iterations(smoke() ? 1 : 10)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    return run();
}
