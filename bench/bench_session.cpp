// Whole-process figures, each beside a bare Qt baseline measured in the same run:
//  - start-up until the main window is shown (offscreen): wall time of the process up to that moment and
//    its peak resident memory, against a plain Qt window with a table and 60 styled labels;
//  - a minute logged in to the lively simulator (through the real login dialog): CPU time and resident
//    growth of the window process, against the same window left idle and not logged in for as long.
// Each iteration starts divevod-startup-probe or bare-startup-probe afresh (see StartupProbe.cpp).
#include "BenchSupport.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DeviceSimulator.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

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
ProbeRun runProbe(const char* program, const QString& configHome, const std::vector<std::string>& extra = {},
                  std::string* output = nullptr)
{
    ProbeRun result;
    int ready[2];
    int out[2];
    if (::pipe(ready) != 0)
        return result;
    if (::pipe(out) != 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return result;
    }
    const std::string readyArg = "--ready-fd=" + std::to_string(ready[1]);
    const std::string config = configHome.toStdString();
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        ::close(out[0]);
        ::dup2(out[1], STDOUT_FILENO);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        const std::string path = g_probeDir + "/" + program;
        std::vector<char*> args { const_cast<char*>(path.c_str()), const_cast<char*>(readyArg.c_str()) };
        for (const std::string& arg : extra)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(path.c_str(), args.data());
        ::_exit(127);
    }
    ::close(ready[1]);
    ::close(out[1]);
    if (child < 0) {
        ::close(ready[0]);
        ::close(out[0]);
        return result;
    }
    char byte = 0;
    const bool shown = ::read(ready[0], &byte, 1) == 1;
    result.secondsUntilShown = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ::close(ready[0]);
    char buffer[512];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof(buffer))) > 0;) {
        if (output)
            output->append(buffer, size_t(n));
    }
    ::close(out[0]);
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

// The lively device of the logged-in minute, with one partner that answers, like scripts/run.sh.
const QString kSessionAddress = QStringLiteral("127.0.171.3");

void sessionBenchmark(benchmark::State& state, bool loggedIn)
{
    static DeviceSimulator* sim = nullptr;
    if (!sim) {
        sim = new DeviceSimulator;
        if (!sim->start(kSessionAddress, 33904))
            return fail(state, "the simulator could not bind " + kSessionAddress.toStdString() + ":33904");
        sim->addPartner(QStringLiteral("127.0.171.4"));
        sim->modify([](SimDeviceState& s) { s.remoteAddress = QStringLiteral("127.0.171.4"); });
        sim->setLively(true);
    }
    QTemporaryDir config;
    const int seconds = smoke() ? 1 : 60;
    std::vector<std::string> extra { "--stay=" + std::to_string(seconds) };
    if (loggedIn)
        extra.push_back("--login=" + kSessionAddress.toStdString());
    for (auto _ : state) {
        std::string output;
        const ProbeRun run = runProbe("divevod-startup-probe", config.path(), extra, &output);
        double cpu = 0;
        long growth = 0;
        int rows = 0;
        if (!run.ok
            || std::sscanf(output.c_str(), "cpu_s=%lf resident_growth_KiB=%ld rows=%d", &cpu, &growth, &rows) != 3)
            return fail(state, std::string("the session probe failed") + (loggedIn ? " (logged in)" : " (idle)"));
        state.SetIterationTime(double(seconds));
        const double share = cpu / double(seconds) * 100.0;
        state.counters["cpu_percent_of_core"] = share;
        state.counters["resident_growth_KiB"] = double(growth);
        state.counters["rows"] = double(rows);
        if (!loggedIn) {
            recordBaseline("idle cpu", share);
            recordBaseline("idle growth", double(growth));
            continue;
        }
        const double idleShare = baseline("idle cpu");
        state.counters["cpu_percent_above_idle"] = share - idleShare;
        state.counters["baseline"] = idleShare;
        state.counters["ratio"] = idleShare > 0 ? share / idleShare : 0.0;
        // Growth beyond what the rows themselves take (about 1.25 KB each, see bench_window's memory figure).
        state.counters["growth_beyond_rows_KiB"] = double(growth) - baseline("idle growth") - rows * 1.25;
    }
}

void BM_SessionIdle(benchmark::State& state)
{
    sessionBenchmark(state, false);
}

void BM_SessionLoggedIn(benchmark::State& state)
{
    sessionBenchmark(state, true);
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
    const auto minute = [](benchmark::internal::Benchmark* b) {
        return b->Iterations(1)->Repetitions(1)->UseManualTime()->Unit(benchmark::kSecond);
    };
    minute(benchmark::RegisterBenchmark("session/idle", BM_SessionIdle));
    minute(benchmark::RegisterBenchmark("session/logged_in", BM_SessionLoggedIn));
    return run();
}
