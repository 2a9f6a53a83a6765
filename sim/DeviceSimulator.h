#ifndef DEVICESIMULATOR_H
#define DEVICESIMULATOR_H

#include "SimDeviceState.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Plays the device's side of the protocol on a loopback UDP port, in a thread of its own,
// so that blocking client calls in the test's thread get their answers.
// Parses requests and builds answers with code of its own (only the checksum is shared).
class DeviceSimulator
{
public:
    // Misbehaviour on purpose, applied to the next `count` answers (then back to None).
    enum class Fault {
        None,
        Silent,         // drop the request, send nothing
        WrongChecksum,  // last byte off by one
        WrongSequence,  // answer carries sequence + 1
        Oversize,       // 1100-byte datagram
        Empty,          // zero-length datagram
        ShortFrame,     // valid 11-byte frame with zero error bytes
        ErrorCode,      // answer with faultErrorCode (see setFault)
        FromOtherHost,  // answer sent from a second socket on another loopback address
        Twice,          // the answer goes out twice
        Late            // the answer comes after the request's time-out (see setLateBy)
    };

    static constexpr int AnyType = -1;

    // What is switched on, for a report.
    struct FaultState
    {
        Fault fault = Fault::None;
        int count = 0;
        quint32 errorCode = 1;
        int type = AnyType;
        int lateByMs = 0;
        int replyDelayMs = 0;
        double dropShare = 0;
        int forgetEvery = 0;
        int flapSilentMs = 0;
        int flapAnsweringMs = 0;
    };

    struct Received
    {
        QByteArray frame;
        int type = 0;
        quint32 loginId = 0;
        quint16 sequence = 0;
        bool intact = true; // size and checksum held; a datagram that fails them is logged and dropped
    };

    explicit DeviceSimulator(const SimDeviceState& initial = SimDeviceState());
    ~DeviceSimulator();
    DeviceSimulator(const DeviceSimulator&) = delete;
    DeviceSimulator& operator=(const DeviceSimulator&) = delete;

    // Binds bindAddress:port (0 = ephemeral) and starts answering. false when the bind fails.
    bool start(const QString& bindAddress = QStringLiteral("127.0.0.1"), quint16 port = 0);
    void stop();
    quint16 port() const;
    QString address() const;
    // Where answers under Fault::FromOtherHost come from (empty before start or when that socket failed).
    QString otherHostAddress() const;
    // The login id that the last successful authentication handed out; 0 when none is valid.
    quint32 loginId() const;
    // True for dotted IPv4 texts in 127.0.0.0/8: the only addresses this test device binds to.
    static bool isLoopbackAddress(const QString& address);

    SimDeviceState state() const;
    void setState(const SimDeviceState& state);
    // `change` runs under the simulator's lock: it must not call back into the simulator.
    void modify(const std::function<void(SimDeviceState&)>& change);

    void forgetLogin();               // the current login id becomes stale: error 13
    void setAnswering(bool answering);  // false: requests are read and dropped
    void setUpdateMode(bool on);      // work mode 0 while on
    void setLively(bool on, int periodMs = 1500);  // LEDs, keys and phase align change now and then

    // `fault` spoils the next `count` answers to requests of message type `type` (AnyType: every type);
    // answers to other types go out unspoilt and do not use up the count.
    void setFault(Fault fault, int count = 1, quint32 errorCode = 1, int type = AnyType);
    // How long after its request a Late answer goes out; 0: 500 ms after the request's own time-out
    // (2500 ms, 1500 ms for Hello), so that the client has given up and the answer meets its next request.
    void setLateBy(int ms);
    void setReplyDelay(int ms);       // delay before every answer
    // Loses this share (0 to 1) of the answers at random, after the device has acted on the request, as a
    // lossy network would. The same seed loses the same answers of the same series of requests.
    void setDropShare(double share, quint32 seed = 1);
    // Every `requests`-th request finds the login forgotten (0: never).
    void setForgetEvery(int requests);
    // Silent for silentMs, then answering for answeringMs, and so on, starting now with a silent turn;
    // 0 and 0 end it. Requests in a silent turn are dropped unread, like setAnswering(false).
    void setFlapping(int silentMs, int answeringMs);
    FaultState faultState() const;

    // Every datagram that reached the device's socket, oldest first (the latest 10000 are kept).
    QList<Received> received() const;
    int receivedCount(int type) const;
    void clearReceived();

    // Partner responders: answer "Hello" on address:port (another loopback address).
    // They run independently of the device's socket: until the simulator is destroyed.
    bool addPartner(const QString& address, quint16 port = 33903);
    void setPartnerAnswering(const QString& address, bool answering);
    // As setFlapping, for one partner; silent turns come on top of setPartnerAnswering(false).
    void setPartnerFlapping(const QString& address, int silentMs, int answeringMs);
    int partnerHelloCount(const QString& address) const; // Hellos received, answered or not
    QStringList partnerAddresses() const;
    bool isPartnerAnswering(const QString& address) const;
    bool isAnswering() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

#endif // DEVICESIMULATOR_H
