// Protocol figures, each beside a baseline that runs in the same program:
//  - encoding a GetACOGPIOInfo request and decoding a status answer into AcoGpioInfo through the
//    protocol classes, against hand-written framing of the same bytes;
//  - DiveVodNetClient::GetAcoGpioInfo round trips to the simulator, against a raw sendto/recv loop
//    sending the same request to the same simulator;
//  - four threads calling the one client at once with the calls of the poller, the alive monitor, the
//    remote monitor and the user interface: throughput against the raw loop, and each thread's worst
//    wait counted in exchanges that other threads completed meanwhile.
#include "BenchSupport.h"
#include "HandFrames.h"

#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "MessageCatalog.h"
#include "ResponseGetACOGPIOInfo.h"
#include "SimpleRequest.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using namespace BenchSupport;

namespace {

const QString kSimAddress = QStringLiteral("127.0.171.1");

// A lively-free 2x1 device with one login, shared by every round-trip figure.
struct Device
{
    DeviceSimulator sim;
    DiveVodNetClient client;
    bool ready = false;

    Device()
    {
        if (!sim.start(kSimAddress, 0))
            return;
        client.OpenChannel(kSimAddress, sim.port());
        client.SetLoginInfo(0, QStringLiteral("123456"));
        ready = client.Authenticate() == 0;
    }
};

Device& device()
{
    static Device d;
    return d;
}

const quint8 kPayload[11] = { 1, 1, 0, 2, 0, 0x09, 0x21, 0x09, 0, 0, 1 };

void BM_CodecHandWritten(benchmark::State& state)
{
    quint8 answer[HandFrames::kGpioAnswerSize];
    const int answerSize = HandFrames::encodeGpioAnswer(answer, 1, kPayload);
    quint8 request[HandFrames::kGpioRequestSize];
    AcoGpioInfo info;
    quint16 sequence = 0;
    LoopClock clock;
    for (auto _ : state) {
        benchmark::DoNotOptimize(HandFrames::encodeGpioRequest(request, 0x11223344, ++sequence));
        benchmark::ClobberMemory();
        if (!HandFrames::parseGpioAnswer(answer, answerSize, info))
            return fail(state, "hand-written parse refused the answer");
        benchmark::DoNotOptimize(info);
    }
    recordBaseline("codec", clock.nsPerIteration(state));
}

void BM_CodecClasses(benchmark::State& state)
{
    quint8 answer[HandFrames::kGpioAnswerSize];
    const auto answerSize = quint16(HandFrames::encodeGpioAnswer(answer, 1, kPayload));
    AcoGpioInfo info;
    quint16 sequence = 0;
    LoopClock clock;
    for (auto _ : state) {
        SimpleRequest<63> request(0x11223344, ++sequence);
        const quint8* data = nullptr;
        quint16 size = 0;
        if (!request.encode(&data, &size))
            return fail(state, "request did not encode");
        benchmark::DoNotOptimize(data[size - 1]);
        // The same steps as the exchange and the client: pick the class, decode, copy the fields.
        const int type = isSuccessFrame(answer, answerSize) ? request.messageType() : kSimpleResponseType;
        std::unique_ptr<ResponseMsg> response(createResponse(type));
        if (!response || response->decode(answer, answerSize) != 0)
            return fail(state, "answer did not decode");
        const auto* gpio = dynamic_cast<const ResponseGetACOGPIOInfo*>(response.get());
        if (!gpio)
            return fail(state, "answer has the wrong class");
        info.ps1Led = gpio->ps1Led();
        info.ps2Led = gpio->ps2Led();
        info.localLed = quint32(gpio->localLed());
        info.remoteLed = quint32(gpio->remoteLed());
        info.panelType = quint32(gpio->panelType());
        info.gpioGreenMask = quint32(gpio->gpioGreenMask());
        info.gpioRedMask = quint32(gpio->gpioRedMask());
        info.keyMask = quint32(gpio->keyMask());
        info.ipReset = gpio->ipReset();
        info.upgrade = gpio->upgrade();
        info.remCtrl = gpio->remoteControl();
        benchmark::DoNotOptimize(info);
    }
    setRatio(state, "codec", clock.nsPerIteration(state));
}

// A plain blocking socket that sends hand-built requests to the simulator with its current login.
class RawLink
{
public:
    explicit RawLink(quint16 port)
        : m_fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP))
    {
        timeval tv { 2, 0 };
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
        m_to.sin_family = AF_INET;
        m_to.sin_port = htons(port);
        ::inet_pton(AF_INET, kSimAddress.toLatin1().constData(), &m_to.sin_addr);
    }
    ~RawLink() { ::close(m_fd); }

    bool roundTrip(quint32 loginId, quint16 sequence, AcoGpioInfo& info)
    {
        quint8 request[HandFrames::kGpioRequestSize];
        const int size = HandFrames::encodeGpioRequest(request, loginId, sequence);
        if (::sendto(m_fd, request, size_t(size), 0, reinterpret_cast<const sockaddr*>(&m_to), sizeof(m_to)) != size)
            return false;
        quint8 answer[1040];
        const ssize_t received = ::recv(m_fd, answer, sizeof(answer), 0);
        return received > 0 && HandFrames::parseGpioAnswer(answer, int(received), info);
    }

private:
    int m_fd;
    sockaddr_in m_to {};
};

void BM_RawRoundTrip(benchmark::State& state)
{
    Device& d = device();
    if (!d.ready)
        return fail(state, "no login to the simulator");
    RawLink link(d.sim.port());
    const quint32 loginId = d.sim.loginId();
    AcoGpioInfo info;
    quint16 sequence = 0;
    LoopClock clock;
    for (auto _ : state) {
        if (!link.roundTrip(loginId, ++sequence, info))
            return fail(state, "raw round trip got no valid answer");
    }
    recordBaseline("round trip", clock.nsPerIteration(state));
}

void BM_ClientRoundTrip(benchmark::State& state)
{
    Device& d = device();
    if (!d.ready)
        return fail(state, "no login to the simulator");
    AcoGpioInfo info;
    LoopClock clock;
    for (auto _ : state) {
        if (d.client.GetAcoGpioInfo(info) != 0)
            return fail(state, "GetAcoGpioInfo failed");
    }
    setRatio(state, "round trip", clock.nsPerIteration(state));
}

// The four callers of the shared client and the calls each makes.
enum Role { Poller, Alive, Remote, UserInterface, RoleCount };
const char* const kRoleNames[RoleCount] = { "poller", "alive", "remote", "ui" };

bool call(DiveVodNetClient& client, int role, long i)
{
    switch (role) {
    case Poller: {
        AcoGpioInfo info;
        quint8 keyLock, autoMode, phase;
        quint32 panelType;
        if (i % 3 == 0)
            return client.GetAcoGpioInfo(info) == 0;
        if (i % 3 == 1)
            return client.GetShortPressKeyState(keyLock, autoMode, panelType) == 0;
        return client.GetPhaseAlignState(phase) == 0;
    }
    case Alive: {
        quint32 mode;
        return client.GetWorkMode(mode) == 0;
    }
    case Remote: {
        QString address, password, addresses[3], passwords[3];
        return i % 2 == 0 ? client.GetRemoteDevice(address, password) == 0
                          : client.GetSlaveDevice(addresses, passwords) == 0;
    }
    default: {
        QString a, b, c;
        bool isDefault;
        return i % 2 == 0 ? client.GetVersion(a, b) == 0 : client.GetNetParam(a, b, c, isDefault) == 0;
    }
    }
}

std::array<std::vector<qint64>, RoleCount> g_starts;
std::array<std::vector<qint64>, RoleCount> g_ends;
std::atomic<int> g_finishedThreads { 0 };

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int roleOfType(int type)
{
    switch (type) {
    case 63:
    case 62:
    case 71:
        return Poller;
    case 3:
        return Alive;
    case 65:
    case 70:
        return Remote;
    default:
        return UserInterface;
    }
}

// A caller's wait, counted in exchanges: the requests of other threads that reached the device after the
// caller's call began (their calls had not ended by then) and before the caller's own request. The device's
// frame log gives the order in which requests were served; each role's frames are its calls in order.
// Ends are taken on the client side after the call returns, so a late end stamp can only count a call of a
// thread that was in flight anyway: at most one per other thread.
void BM_ClientFourThreads(benchmark::State& state)
{
    Device& d = device();
    const int role = state.thread_index();
    if (role == 0) {
        for (int r = 0; r < RoleCount; ++r) {
            g_starts[size_t(r)].clear();
            g_ends[size_t(r)].clear();
        }
        g_finishedThreads = 0;
        d.sim.clearReceived();
    }
    if (!d.ready)
        return fail(state, "no login to the simulator");
    auto& starts = g_starts[size_t(role)];
    auto& ends = g_ends[size_t(role)];
    LoopClock clock;
    long i = 0;
    for (auto _ : state) {
        starts.push_back(nowNs());
        if (!call(d.client, role, i++))
            return fail(state, std::string(kRoleNames[role]) + " call failed");
        ends.push_back(nowNs());
    }
    state.SetItemsProcessed(state.iterations());
    ++g_finishedThreads;
    if (role != 0)
        return;
    const double seconds = clock.seconds();
    while (g_finishedThreads < state.threads())
        std::this_thread::yield();

    struct Served
    {
        int role;
        size_t call;
    };
    std::vector<Served> order;
    std::array<size_t, RoleCount> seen {};
    for (const DeviceSimulator::Received& frame : d.sim.received()) {
        const int r = roleOfType(frame.type);
        order.push_back({ r, seen[size_t(r)]++ });
    }
    size_t total = 0;
    for (int r = 0; r < RoleCount; ++r) {
        total += g_starts[size_t(r)].size();
        if (seen[size_t(r)] != g_starts[size_t(r)].size())
            return fail(state, "the device's frame log does not match the calls (more than it keeps?)");
    }
    std::array<long, RoleCount> worst {};
    std::array<long, RoleCount> over {};
    for (size_t p = 0; p < order.size(); ++p) {
        const Served& mine = order[p];
        const qint64 start = g_starts[size_t(mine.role)][mine.call];
        long wait = 0;
        for (size_t q = p; q-- > 0;) {
            const Served& other = order[q];
            if (other.role == mine.role)
                break; // this thread's previous call ended before the current one began
            if (g_ends[size_t(other.role)][other.call] > start)
                ++wait;
        }
        worst[size_t(mine.role)] = std::max(worst[size_t(mine.role)], wait);
        over[size_t(mine.role)] += wait > 3 ? 1 : 0;
    }
    for (int r = 0; r < RoleCount; ++r) {
        state.counters[std::string("worst_wait_") + kRoleNames[r]] = double(worst[size_t(r)]);
        // Share of calls that waited through more than one exchange of each other thread.
        state.counters[std::string("over_3_") + kRoleNames[r]]
            = g_starts[size_t(r)].empty() ? 0.0 : double(over[size_t(r)]) / double(g_starts[size_t(r)].size());
    }
    const double throughput = seconds > 0 ? double(total) / seconds : 0.0;
    const double raw = baseline("round trip");
    state.counters["exchanges_per_s"] = throughput;
    state.counters["baseline"] = raw > 0 ? 1e9 / raw : 0.0;
    state.counters["ratio"] = raw > 0 ? throughput * raw / 1e9 : 0.0;
}

} // namespace

int main(int argc, char** argv)
{
    initialise(&argc, argv);
    // Round trips get a longer minimum time: their single iterations are tens of microseconds and noisy.
    const auto network = [](benchmark::internal::Benchmark* b) {
        if (!smoke())
            b->MinTime(1.0);
        return b->UseRealTime();
    };
    tune(benchmark::RegisterBenchmark("codec/handwritten", BM_CodecHandWritten));
    tune(benchmark::RegisterBenchmark("codec/classes", BM_CodecClasses));
    network(tune(benchmark::RegisterBenchmark("round_trip/raw", BM_RawRoundTrip)));
    network(tune(benchmark::RegisterBenchmark("round_trip/client", BM_ClientRoundTrip)));
    // A fixed count per thread, so that every request stays in the device's frame log (it keeps 10000).
    benchmark::RegisterBenchmark("round_trip/four_threads", BM_ClientFourThreads)
        ->Iterations(smoke() ? 2 : 2000)
        ->Threads(RoleCount)
        ->UseRealTime();
    return run();
}
