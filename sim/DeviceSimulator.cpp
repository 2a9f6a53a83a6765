#include "DeviceSimulator.h"

#include "SimDevice.h"
#include "SimFrame.h"

#include <QDebug>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <deque>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <random>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int MaxLogEntries = 10000; // a long demo run must not grow without bound
constexpr int MaxReadsPerWakeup = 64; // keeps one busy socket from starving the others
constexpr int IdlePollMs = 500; // the wake-up descriptor interrupts it when needed
constexpr int ReceiveBufferSize = 2048; // larger than any acceptable datagram; MSG_TRUNC tells the real size
constexpr int OversizeDatagram = 1100;

bool toSockAddr(const QString& address, quint16 port, sockaddr_in* out)
{
    quint32 value = 0;
    if (!SimDevice::parseAddress(address, &value))
        return false;
    *out = sockaddr_in();
    out->sin_family = AF_INET;
    out->sin_port = htons(port);
    out->sin_addr.s_addr = htonl(value);
    return true;
}

int openBoundSocket(const QString& address, quint16 port)
{
    sockaddr_in local;
    if (!toSockAddr(address, port, &local))
        return -1;
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0)
        return -1;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

quint16 boundPort(int fd)
{
    sockaddr_in local = sockaddr_in();
    socklen_t size = sizeof local;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) != 0)
        return 0;
    return ntohs(local.sin_port);
}

// Another address of the same /24 on loopback, for answers that must come from elsewhere.
QString neighbourAddress(const QString& address)
{
    quint32 value = 0;
    SimDevice::parseAddress(address, &value);
    const quint32 last = value & 0xFF;
    const quint32 other = last >= 254 ? last - 1 : last + 1;
    return SimDevice::addressText((value & 0xFFFFFF00u) | other);
}

// Alternating silent and answering turns, the silent one first.
struct Flapping
{
    int silentMs = 0;
    int answeringMs = 0;
    Clock::time_point start;

    void set(int silent, int answering)
    {
        silentMs = std::max(silent, 0);
        answeringMs = std::max(answering, 0);
        start = Clock::now();
    }

    bool silentAt(Clock::time_point now) const
    {
        const qint64 period = qint64(silentMs) + answeringMs;
        if (silentMs == 0 || period == 0)
            return false;
        const qint64 elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count();
        return elapsed % period < silentMs;
    }
};

// What the client waits for an answer to this type before it gives up on it.
int requestTimeoutMs(quint16 type)
{
    return type == SimDevice::Hello ? 1000 : 2000;
}

// Applies a transport fault to a correct answer.
QByteArray mangle(DeviceSimulator::Fault fault, const QByteArray& answer)
{
    using Fault = DeviceSimulator::Fault;
    QByteArray out = answer;
    switch (fault) {
    case Fault::WrongChecksum:
        out[out.size() - 1] = char(quint8(out.at(out.size() - 1)) + 1);
        break;
    case Fault::WrongSequence: {
        const quint16 sequence = quint16(SimFrame::readU16(out, 9) + 1);
        out[9] = char(sequence >> 8);
        out[10] = char(sequence & 0xFF);
        SimFrame::fixChecksum(&out);
        break;
    }
    case Fault::Oversize: {
        // Well formed in every respect except its size.
        out.chop(1);
        out.append(QByteArray(OversizeDatagram - out.size(), '\0'));
        const quint16 length = quint16(OversizeDatagram - 2);
        out[0] = char(length >> 8);
        out[1] = char(length & 0xFF);
        SimFrame::fixChecksum(&out);
        break;
    }
    case Fault::Empty:
        out.clear();
        break;
    case Fault::ShortFrame:
        // Length 9, version, type, four zero error bytes, the sequence's high byte and a last
        // byte that makes the sum 0xFF: valid, but too short to be a success frame.
        out = out.left(11);
        out[0] = 0;
        out[1] = 9;
        out[5] = out[6] = out[7] = out[8] = 0;
        SimFrame::fixChecksum(&out);
        break;
    default:
        break;
    }
    return out;
}

} // namespace

struct DeviceSimulator::Impl
{
    struct Partner
    {
        QString address;
        quint16 port = 0;
        int fd = -1;
        bool answering = true;
        Flapping flapping;
        int hellos = 0;
    };

    struct Pending
    {
        int fd = -1;
        sockaddr_in to;
        QByteArray data;
    };

    explicit Impl(const SimDeviceState& initial)
        : device(initial)
    {
        wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    }

    ~Impl()
    {
        stopWorker();
        closeDevice();
        for (const Partner& partner : partners)
            ::close(partner.fd);
        if (wakeFd >= 0)
            ::close(wakeFd);
    }

    // Guards everything up to the worker-only section.
    mutable std::mutex mutex;
    SimDevice device;
    bool answering = true;
    Fault fault = Fault::None;
    int faultCount = 0;
    quint32 faultErrorCode = 1;
    int faultType = AnyType;
    int lateByMs = 0;
    int replyDelayMs = 0;
    double dropShare = 0;
    std::mt19937 dropRandom;
    int forgetEvery = 0;
    int requestsSinceForget = 0;
    Flapping flapping;
    bool lively = false;
    int livelyPeriodMs = 1500;
    Clock::time_point nextLively;
    std::deque<Received> log;
    std::vector<Partner> partners;
    int deviceFd = -1;
    int otherFd = -1;
    QString bindAddress;
    quint16 port = 0;
    QString otherAddress;

    // Serialises start, stop and addPartner, which start and stop the worker.
    std::mutex control;
    std::thread worker;
    std::atomic<bool> stopRequested { false };
    int wakeFd = -1;

    // Worker only: answers waiting for their reply delay, in due order (FIFO among equals).
    std::multimap<Clock::time_point, Pending> pending;

    void wake() const
    {
        if (wakeFd >= 0) {
            const uint64_t one = 1;
            [[maybe_unused]] ssize_t n = ::write(wakeFd, &one, sizeof one);
        }
    }

    void startWorker()
    {
        if (worker.joinable())
            return;
        stopRequested = false;
        worker = std::thread([this] { run(); });
    }

    void stopWorker()
    {
        if (!worker.joinable())
            return;
        stopRequested = true;
        wake();
        worker.join();
        pending.clear();
    }

    void closeDevice()
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (deviceFd >= 0)
            ::close(deviceFd);
        if (otherFd >= 0)
            ::close(otherFd);
        deviceFd = otherFd = -1;
        port = 0;
        bindAddress.clear();
        otherAddress.clear();
    }

    void run()
    {
        std::vector<pollfd> fds;
        std::vector<int> partnerFds;
        while (!stopRequested) {
            fds.clear();
            partnerFds.clear();
            int timeoutMs = IdlePollMs;
            const Clock::time_point now = Clock::now();
            {
                std::lock_guard<std::mutex> lock(mutex);
                fds.push_back({ wakeFd, POLLIN, 0 });
                if (deviceFd >= 0)
                    fds.push_back({ deviceFd, POLLIN, 0 });
                for (const Partner& partner : partners) {
                    fds.push_back({ partner.fd, POLLIN, 0 });
                    partnerFds.push_back(partner.fd);
                }
                if (lively)
                    timeoutMs = std::min<qint64>(
                        timeoutMs, std::chrono::duration_cast<std::chrono::milliseconds>(nextLively - now).count() + 1);
            }
            if (!pending.empty())
                timeoutMs = std::min<qint64>(
                    timeoutMs,
                    std::chrono::duration_cast<std::chrono::milliseconds>(pending.begin()->first - now).count() + 1);
            timeoutMs = std::max(timeoutMs, 0);

            const int ready = ::poll(fds.data(), nfds_t(fds.size()), timeoutMs);
            if (ready > 0) {
                for (const pollfd& p : fds) {
                    // POLLERR too: reading clears a pending socket error that would otherwise spin the loop.
                    if (!(p.revents & (POLLIN | POLLERR)))
                        continue;
                    if (p.fd == wakeFd) {
                        uint64_t count = 0;
                        [[maybe_unused]] ssize_t n = ::read(wakeFd, &count, sizeof count);
                    } else {
                        const bool isPartner
                            = std::find(partnerFds.begin(), partnerFds.end(), p.fd) != partnerFds.end();
                        readAll(p.fd, isPartner);
                    }
                }
            }
            sendDue();
            stepLively();
        }
    }

    void readAll(int fd, bool isPartner)
    {
        char buffer[ReceiveBufferSize];
        for (int i = 0; i < MaxReadsPerWakeup; ++i) {
            sockaddr_in from = sockaddr_in();
            socklen_t fromSize = sizeof from;
            const ssize_t n = ::recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT | MSG_TRUNC,
                                         reinterpret_cast<sockaddr*>(&from), &fromSize);
            if (n < 0)
                return; // EAGAIN: drained, or an error report from an earlier send
            const bool fits = n <= SimFrame::MaxDatagram;
            const QByteArray datagram(buffer, int(std::min<ssize_t>(n, ReceiveBufferSize)));
            if (isPartner)
                partnerDatagram(fd, datagram, fits, from);
            else
                deviceDatagram(datagram, fits, from);
        }
    }

    void deviceDatagram(const QByteArray& datagram, bool fits, const sockaddr_in& from)
    {
        Received entry;
        entry.frame = datagram;
        entry.intact = fits && SimFrame::checksumOk(datagram);
        SimFrame::Header header;
        if (SimFrame::readHeader(datagram, &header)) {
            entry.type = header.type;
            entry.loginId = header.loginId;
            entry.sequence = header.sequence;
        }

        std::unique_lock<std::mutex> lock(mutex);
        log.push_back(entry);
        while (int(log.size()) > MaxLogEntries)
            log.pop_front();
        // Frames that fail the checksum are dropped like line noise; so are those too short to
        // carry a type and sequence that an answer could echo.
        if (!entry.intact || !answering || datagram.size() < SimFrame::MinFrame)
            return;
        const Clock::time_point now = Clock::now();
        if (flapping.silentAt(now))
            return;

        if (forgetEvery > 0 && ++requestsSinceForget >= forgetEvery) {
            requestsSinceForget = 0;
            device.forgetLogin();
        }

        Fault applied = Fault::None;
        if (fault != Fault::None && faultCount > 0 && (faultType == AnyType || faultType == header.type)) {
            applied = fault;
            if (--faultCount == 0)
                fault = Fault::None;
        }
        if (applied == Fault::Silent)
            return;

        QByteArray answer;
        if (applied == Fault::ErrorCode)
            answer = SimFrame::answer(header.type, faultErrorCode, header.sequence); // refused: no effect
        else
            answer = mangle(applied, device.answer(datagram));
        // Lost on the way back: the device has acted all the same.
        if (dropShare > 0 && std::uniform_real_distribution<double>(0.0, 1.0)(dropRandom) < dropShare)
            return;

        Pending reply;
        reply.fd = (applied == Fault::FromOtherHost && otherFd >= 0) ? otherFd : deviceFd;
        reply.to = from;
        reply.data = answer;
        int delayMs = replyDelayMs;
        if (applied == Fault::Late)
            delayMs = std::max(delayMs, lateByMs > 0 ? lateByMs : requestTimeoutMs(header.type) + 500);
        const Clock::time_point due = now + std::chrono::milliseconds(delayMs);
        lock.unlock();
        pending.emplace(due, reply);
        if (applied == Fault::Twice)
            pending.emplace(due, reply);
    }

    void partnerDatagram(int fd, const QByteArray& datagram, bool fits, const sockaddr_in& from)
    {
        QByteArray answer;
        {
            std::lock_guard<std::mutex> lock(mutex);
            auto partner
                = std::find_if(partners.begin(), partners.end(), [fd](const Partner& p) { return p.fd == fd; });
            if (partner == partners.end())
                return;
            SimFrame::Header header;
            if (!fits || !SimFrame::checksumOk(datagram) || datagram.size() < SimFrame::MinFrame
                || !SimFrame::readHeader(datagram, &header))
                return;
            if (header.type == SimDevice::Hello)
                ++partner->hellos;
            if (!partner->answering || partner->flapping.silentAt(Clock::now()))
                return;
            quint32 code = SimDevice::Success;
            if (header.length != datagram.size() - 2)
                code = SimDevice::MsgFormatWrong;
            else if (header.version != 1)
                code = SimDevice::UnsupportedMsgVersion;
            else if (header.type != SimDevice::Hello)
                code = SimDevice::UnsupportedMsg; // a partner is only ever probed
            else if (datagram.size() != SimFrame::MinFrame)
                code = SimDevice::MsgFormatWrong;
            answer = SimFrame::answer(header.type, code, header.sequence);
        }
        send(fd, from, answer);
    }

    void send(int fd, const sockaddr_in& to, const QByteArray& data)
    {
        // Failures (a client that went away) are of no interest to a simulated device.
        [[maybe_unused]] ssize_t n = ::sendto(fd, data.constData(), size_t(data.size()), MSG_DONTWAIT,
                                              reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }

    void sendDue()
    {
        const Clock::time_point now = Clock::now();
        while (!pending.empty() && pending.begin()->first <= now) {
            const Pending reply = pending.begin()->second;
            pending.erase(pending.begin());
            send(reply.fd, reply.to, reply.data);
        }
    }

    void stepLively()
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!lively)
            return;
        const Clock::time_point now = Clock::now();
        if (now < nextLively)
            return;
        device.livelyStep();
        nextLively = now + std::chrono::milliseconds(livelyPeriodMs);
    }
};

DeviceSimulator::DeviceSimulator(const SimDeviceState& initial)
    : d(new Impl(initial))
{
}

DeviceSimulator::~DeviceSimulator() = default;

bool DeviceSimulator::isLoopbackAddress(const QString& address)
{
    quint32 value = 0;
    return SimDevice::parseAddress(address, &value) && (value >> 24) == 127;
}

bool DeviceSimulator::start(const QString& bindAddress, quint16 port)
{
    std::lock_guard<std::mutex> control(d->control);
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        if (d->deviceFd >= 0)
            return false;
    }
    if (!isLoopbackAddress(bindAddress)) {
        qWarning() << "DeviceSimulator: refusing to bind to non-loopback address" << bindAddress;
        return false;
    }
    const int fd = openBoundSocket(bindAddress, port);
    if (fd < 0)
        return false;
    const QString other = neighbourAddress(bindAddress);
    const int otherFd = openBoundSocket(other, 0);
    if (otherFd < 0)
        qWarning() << "DeviceSimulator: no second socket on" << other << "- FromOtherHost answers normally";
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->deviceFd = fd;
        d->otherFd = otherFd;
        d->bindAddress = bindAddress;
        d->port = boundPort(fd);
        d->otherAddress = otherFd >= 0 ? other : QString();
    }
    d->startWorker();
    d->wake();
    return true;
}

void DeviceSimulator::stop()
{
    std::lock_guard<std::mutex> control(d->control);
    d->stopWorker();
    d->closeDevice();
    bool partnersLeft = false;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        partnersLeft = !d->partners.empty();
    }
    if (partnersLeft)
        d->startWorker(); // partners keep answering until the simulator is destroyed
}

quint16 DeviceSimulator::port() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->port;
}

QString DeviceSimulator::address() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->bindAddress;
}

QString DeviceSimulator::otherHostAddress() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->otherAddress;
}

quint32 DeviceSimulator::loginId() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->device.loginId();
}

SimDeviceState DeviceSimulator::state() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->device.state();
}

void DeviceSimulator::setState(const SimDeviceState& state)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->device.setState(state);
}

void DeviceSimulator::modify(const std::function<void(SimDeviceState&)>& change)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    SimDeviceState state = d->device.state();
    change(state);
    d->device.setState(state);
}

void DeviceSimulator::forgetLogin()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->device.forgetLogin();
}

void DeviceSimulator::setAnswering(bool answering)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->answering = answering;
}

void DeviceSimulator::setUpdateMode(bool on)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->device.setUpdateMode(on);
}

void DeviceSimulator::setLively(bool on, int periodMs)
{
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->lively = on;
        d->livelyPeriodMs = std::max(periodMs, 10);
        d->nextLively = Clock::now() + std::chrono::milliseconds(d->livelyPeriodMs);
    }
    d->wake();
}

void DeviceSimulator::setFault(Fault fault, int count, quint32 errorCode, int type)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->fault = count > 0 ? fault : Fault::None;
    d->faultCount = fault == Fault::None ? 0 : std::max(count, 0);
    d->faultErrorCode = errorCode;
    d->faultType = type;
}

void DeviceSimulator::setLateBy(int ms)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->lateByMs = std::max(ms, 0);
}

void DeviceSimulator::setDropShare(double share, quint32 seed)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->dropShare = std::min(std::max(share, 0.0), 1.0);
    d->dropRandom.seed(seed);
}

void DeviceSimulator::setForgetEvery(int requests)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->forgetEvery = std::max(requests, 0);
    d->requestsSinceForget = 0;
}

void DeviceSimulator::setFlapping(int silentMs, int answeringMs)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->flapping.set(silentMs, answeringMs);
}

DeviceSimulator::FaultState DeviceSimulator::faultState() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    FaultState f;
    f.fault = d->fault;
    f.count = d->faultCount;
    f.errorCode = d->faultErrorCode;
    f.type = d->faultType;
    f.lateByMs = d->lateByMs;
    f.replyDelayMs = d->replyDelayMs;
    f.dropShare = d->dropShare;
    f.forgetEvery = d->forgetEvery;
    f.flapSilentMs = d->flapping.silentMs;
    f.flapAnsweringMs = d->flapping.answeringMs;
    return f;
}

void DeviceSimulator::setReplyDelay(int ms)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->replyDelayMs = std::max(ms, 0);
}

QList<DeviceSimulator::Received> DeviceSimulator::received() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    QList<Received> list;
    list.reserve(int(d->log.size()));
    for (const Received& entry : d->log)
        list.append(entry);
    return list;
}

int DeviceSimulator::receivedCount(int type) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return int(std::count_if(d->log.begin(), d->log.end(), [type](const Received& r) { return r.type == type; }));
}

void DeviceSimulator::clearReceived()
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->log.clear();
}

bool DeviceSimulator::addPartner(const QString& address, quint16 port)
{
    std::lock_guard<std::mutex> control(d->control);
    if (!isLoopbackAddress(address)) {
        qWarning() << "DeviceSimulator: refusing partner on non-loopback address" << address;
        return false;
    }
    const int fd = openBoundSocket(address, port);
    if (fd < 0)
        return false;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        Impl::Partner partner;
        partner.address = address;
        partner.port = boundPort(fd);
        partner.fd = fd;
        d->partners.push_back(partner);
    }
    d->startWorker();
    d->wake();
    return true;
}

void DeviceSimulator::setPartnerAnswering(const QString& address, bool answering)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    for (Impl::Partner& partner : d->partners) {
        if (partner.address == address)
            partner.answering = answering;
    }
}

void DeviceSimulator::setPartnerFlapping(const QString& address, int silentMs, int answeringMs)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    for (Impl::Partner& partner : d->partners) {
        if (partner.address == address)
            partner.flapping.set(silentMs, answeringMs);
    }
}

int DeviceSimulator::partnerHelloCount(const QString& address) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    int count = 0;
    for (const Impl::Partner& partner : d->partners) {
        if (partner.address == address)
            count += partner.hellos;
    }
    return count;
}

QStringList DeviceSimulator::partnerAddresses() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    QStringList addresses;
    for (const Impl::Partner& partner : d->partners) {
        if (!addresses.contains(partner.address))
            addresses.append(partner.address);
    }
    return addresses;
}

bool DeviceSimulator::isPartnerAnswering(const QString& address) const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    for (const Impl::Partner& partner : d->partners) {
        if (partner.address == address)
            return partner.answering;
    }
    return false;
}

bool DeviceSimulator::isAnswering() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->answering;
}
