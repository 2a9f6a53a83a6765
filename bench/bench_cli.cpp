// divevod-cli as a monitoring engine runs it, each figure beside a baseline measured in the same run:
//  - one `check` of a simulated unit, from process start to exit, against a Qt Core program that does
//    nothing (bare-core-probe);
//  - `check --inventory` over 100 simulated units on 127.0.202.1 to .100 with 16 in flight, all answering
//    and with every fourth one silent (at the default time limit and at -t 2), against 100 separate
//    `check` processes run one after the other;
//  - `watch` on a lively simulated unit for BENCH_WATCH_SECONDS (default 600): CPU share and resident
//    growth, against bare-core-probe idling for as long beside it.
// The simulators run in this process; every child is killed when it overruns its limit.
#include "BenchSupport.h"
#include "DeviceSimulator.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

using namespace BenchSupport;

namespace {

std::string g_binDir;
std::string g_probeDir;
std::unique_ptr<QTemporaryDir> g_work;

struct Child
{
    pid_t pid = -1;
    double seconds = 0;
    double cpuSeconds = 0;
    bool ok = false;
};

pid_t spawn(const std::vector<std::string>& command)
{
    std::vector<char*> argv;
    for (const std::string& a : command)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits for the child; kills it once `limitSeconds` have passed. ok: it ended by itself with an
// exit code in `accepted`.
Child finish(pid_t pid, std::chrono::steady_clock::time_point start, double limitSeconds,
             const std::vector<int>& accepted)
{
    Child child;
    child.pid = pid;
    if (pid < 0)
        return child;
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> guard(lock);
        if (!ended.wait_for(guard, std::chrono::duration<double>(limitSeconds), [&] { return done; }))
            ::kill(pid, SIGKILL);
    });
    int status = 0;
    rusage usage {};
    const bool reaped = ::wait4(pid, &status, 0, &usage) == pid;
    child.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    {
        std::lock_guard<std::mutex> guard(lock);
        done = true;
    }
    ended.notify_all();
    watchdog.join();
    child.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (reaped && WIFEXITED(status)) {
        for (int code : accepted)
            child.ok = child.ok || WEXITSTATUS(status) == code;
    }
    return child;
}

Child runChild(const std::vector<std::string>& command, double limitSeconds, const std::vector<int>& accepted)
{
    const auto start = std::chrono::steady_clock::now();
    return finish(spawn(command), start, limitSeconds, accepted);
}

std::string cli()
{
    return g_binDir + "/divevod-cli";
}

long residentKiBOf(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.compare(0, 6, "VmRSS:") == 0)
            return std::atol(line.c_str() + 6);
    }
    return -1;
}

// --- one check ---------------------------------------------------------------------------------
const char kSingleUnit[] = "127.0.201.1";

void BM_BareStart(benchmark::State& state)
{
    double total = 0;
    for (auto _ : state) {
        const Child c = runChild({ g_probeDir + "/bare-core-probe" }, 10, { 0 });
        if (!c.ok)
            return fail(state, "bare-core-probe failed");
        state.SetIterationTime(c.seconds);
        total += c.seconds;
    }
    recordBaseline("bare start", total * 1e9 / double(state.iterations()));
}

void BM_CheckSingle(benchmark::State& state)
{
    static DeviceSimulator* sim = nullptr;
    if (!sim) {
        sim = new DeviceSimulator;
        if (!sim->start(QString::fromLatin1(kSingleUnit), 33904))
            return fail(state, "the simulator could not bind 127.0.201.1:33904");
    }
    double total = 0;
    for (auto _ : state) {
        const Child c = runChild({ cli(), "check", kSingleUnit }, 10, { 0 });
        if (!c.ok)
            return fail(state, "check did not answer OK");
        state.SetIterationTime(c.seconds);
        total += c.seconds;
    }
    setRatio(state, "bare start", total * 1e9 / double(state.iterations()));
}

// --- inventory ---------------------------------------------------------------------------------
std::vector<std::unique_ptr<DeviceSimulator>> g_units;
std::string g_inventory;

bool startUnits(benchmark::State& state)
{
    const int count = int(size(100, 4));
    if (int(g_units.size()) == count)
        return true;
    QFile file(g_work->filePath(QStringLiteral("units")));
    if (!file.open(QIODevice::WriteOnly))
        return fail(state, "cannot write the inventory"), false;
    for (int i = 1; i <= count; ++i) {
        const QString address = QStringLiteral("127.0.202.%1").arg(i);
        auto sim = std::make_unique<DeviceSimulator>();
        if (!sim->start(address, 33904))
            return fail(state, "the simulator could not bind " + address.toStdString() + ":33904"), false;
        g_units.push_back(std::move(sim));
        file.write(QStringLiteral("%1 unit-%2\n").arg(address).arg(i).toLatin1());
    }
    g_inventory = file.fileName().toStdString();
    return true;
}

void setSilentQuarter(bool silent)
{
    for (size_t i = 3; i < g_units.size(); i += 4)
        g_units[i]->setAnswering(!silent);
}

void BM_InventoryProcesses(benchmark::State& state)
{
    if (!startUnits(state))
        return;
    setSilentQuarter(false);
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (size_t i = 1; i <= g_units.size(); ++i) {
            if (!runChild({ cli(), "check", "127.0.202." + std::to_string(i) }, 10, { 0 }).ok)
                return fail(state, "a single check failed");
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    recordBaseline("processes", total * 1e9 / double(state.iterations()));
}

void inventoryBenchmark(benchmark::State& state, bool quarterSilent, const char* timeLimit)
{
    if (!startUnits(state))
        return;
    setSilentQuarter(quarterSilent);
    std::vector<std::string> command { cli(), "check", "--inventory", g_inventory, "--parallel", "16" };
    if (timeLimit)
        command.insert(command.end(), { "-t", timeLimit });
    double total = 0;
    for (auto _ : state) {
        // Silent units make the worst state CRITICAL; all answering, OK.
        const Child c = runChild(command, 60, { quarterSilent ? 2 : 0 });
        if (!c.ok)
            return fail(state, "check --inventory did not end with the expected state");
        state.SetIterationTime(c.seconds);
        total += c.seconds;
    }
    state.counters["units"] = double(g_units.size());
    setRatio(state, "processes", total * 1e9 / double(state.iterations()));
    setSilentQuarter(false);
}

void BM_InventoryAnswering(benchmark::State& state)
{
    inventoryBenchmark(state, false, nullptr);
}

void BM_InventoryQuarterSilent(benchmark::State& state)
{
    inventoryBenchmark(state, true, nullptr);
}

void BM_InventoryQuarterSilentT2(benchmark::State& state)
{
    inventoryBenchmark(state, true, "2");
}

// --- watch -------------------------------------------------------------------------------------
void BM_Watch(benchmark::State& state)
{
    static DeviceSimulator* sim = nullptr;
    if (!sim) {
        sim = new DeviceSimulator;
        if (!sim->start(QStringLiteral("127.0.203.1"), 33904))
            return fail(state, "the simulator could not bind 127.0.203.1:33904");
        sim->addPartner(QStringLiteral("127.0.203.2"));
        sim->modify([](SimDeviceState& s) { s.remoteAddress = QStringLiteral("127.0.203.2"); });
        sim->setLively(true);
    }
    const char* configured = std::getenv("BENCH_WATCH_SECONDS");
    const int seconds = smoke() ? 3 : (configured ? std::max(20, std::atoi(configured)) : 600);
    // Resident memory is read once the start-up is over and the first rows are out.
    const int settle = smoke() ? 1 : 10;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t watch = spawn({ cli(), "watch", "127.0.203.1", "--csv", "--seconds", std::to_string(seconds) });
        const pid_t idle = spawn({ g_probeDir + "/bare-core-probe", "--stay=" + std::to_string(seconds) });
        std::this_thread::sleep_for(std::chrono::seconds(settle));
        const long watchBefore = residentKiBOf(watch);
        const long idleBefore = residentKiBOf(idle);
        long watchLast = watchBefore;
        long idleLast = idleBefore;
        long watchPeak = watchBefore;
        // Sampled every second up to the last one, so that the final reading is taken alive.
        for (int t = settle; t < seconds - 1; ++t) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            watchLast = residentKiBOf(watch);
            idleLast = residentKiBOf(idle);
            watchPeak = std::max(watchPeak, watchLast);
        }
        const Child w = finish(watch, start, seconds + 30, { 0 });
        const Child i = finish(idle, start, seconds + 30, { 0 });
        if (!w.ok || !i.ok || watchBefore < 0 || idleBefore < 0)
            return fail(state, "the watch or its idle baseline did not run its course");
        state.SetIterationTime(w.seconds);
        state.counters["seconds"] = seconds;
        state.counters["cpu_percent_of_core"] = w.cpuSeconds / w.seconds * 100.0;
        state.counters["baseline_cpu_percent"] = i.cpuSeconds / i.seconds * 100.0;
        state.counters["resident_start_KiB"] = double(watchBefore);
        state.counters["resident_growth_KiB"] = double(watchLast - watchBefore);
        state.counters["resident_peak_growth_KiB"] = double(watchPeak - watchBefore);
        state.counters["baseline_growth_KiB"] = double(idleLast - idleBefore);
    }
}

} // namespace

int main(int argc, char** argv)
{
    {
        QCoreApplication app(argc, argv);
        g_probeDir = QCoreApplication::applicationDirPath().toStdString();
    }
    g_binDir = DIVEVOD_BIN_DIR;
    g_work = std::make_unique<QTemporaryDir>();
    ::setenv("DIVEVOD_PASSWORD", "123456", 1);
    initialise(&argc, argv);
    const auto processes = [](benchmark::internal::Benchmark* b, int iterations) {
        return b->Iterations(smoke() ? 1 : iterations)->UseManualTime()->Unit(benchmark::kMillisecond);
    };
    processes(benchmark::RegisterBenchmark("startup/bare", BM_BareStart), 20);
    processes(benchmark::RegisterBenchmark("check/single", BM_CheckSingle), 20);
    processes(benchmark::RegisterBenchmark("inventory/processes", BM_InventoryProcesses), 1);
    processes(benchmark::RegisterBenchmark("inventory/answering", BM_InventoryAnswering), 3);
    processes(benchmark::RegisterBenchmark("inventory/quarter_silent", BM_InventoryQuarterSilent), 1);
    processes(benchmark::RegisterBenchmark("inventory/quarter_silent_t2", BM_InventoryQuarterSilentT2), 1);
    benchmark::RegisterBenchmark("watch/session", BM_Watch)
        ->Iterations(1)
        ->Repetitions(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);
    const int code = run();
    g_units.clear();
    return code;
}
