#ifndef UDPCHANNEL_H
#define UDPCHANNEL_H

#include <QtGlobal>

#include <netinet/in.h>
#include <sys/types.h>

#include <mutex>

class RequestMsg;
class ResponseMsg;

// One UDP socket and one destination; one request/response exchange at a time.
// Not locked: the owner makes sure that only one thread uses it at once.
class UdpChannel
{
public:
    UdpChannel();
    virtual ~UdpChannel();
    UdpChannel(const UdpChannel&) = delete;
    UdpChannel& operator=(const UdpChannel&) = delete;

    // 0 on success, -1 when no socket could be made. The address is read as plain dotted decimal
    // (ipv4FromText) and not validated: a text that does not parse becomes 255.255.255.255 and the
    // first send fails.
    int open(const char* address, int port);
    void close();
    bool isOpen() const { return m_socket >= 0; }

    // Sends the request and waits for one datagram in reply, resending up to `retries` times.
    // 0 when an answer with the request's sequence was received and decoded. An answer to another
    // request counts as no answer (and moves the channel to a new socket). *response receives the
    // object as soon as one is made, and belongs to the caller even when -1 is returned.
    int exchange(RequestMsg& request, ResponseMsg** response, int retries);

    // Wakes a receive that is waiting on this channel from another thread (it then fails at once).
    // Safe while an exchange runs; the descriptor itself stays until close().
    void interrupt();

    // The socket's current receive time-out in ms (0: none), -1 when closed. For diagnostics and tests.
    int receiveTimeoutMs() const;
    // The socket's local port, 0 before the first send or when closed. For diagnostics and tests.
    int localPort() const;

protected:
    // The system calls behind an exchange: ::sendto to the destination, ::recv with `flags`, and
    // the pause before a resend. Virtual only so that the exchange fuzzer (fuzz/fuzz_exchange.cpp)
    // can play the device without a network and without waiting; everything else uses these.
    virtual ssize_t sendToDestination(int socket, const quint8* frame, quint16 size);
    virtual ssize_t receiveFrom(int socket, quint8* buffer, int capacity, int flags);
    virtual void pauseBeforeResend();

private:
    static constexpr int kMaxDiscarded = 64;

    bool sendFrame(const quint8* frame, quint16 size);
    int receiveDatagram(quint8* buffer);
    void discardQueued(quint8* buffer);
    bool applyReceiveTimeout(int wantedMs);
    void replaceSocket(int socket);
    // Moves to a new socket after an answer to another request; false when none could be made
    // (the channel is then closed) or when interrupt() came first (the shut socket stays).
    bool renewSocket();

    int m_socket;
    sockaddr_in m_destination;
    // Guards closing and replacing the descriptor against interrupt() from another thread, so that
    // interrupt() never reaches a descriptor number that was closed and handed out again.
    std::mutex m_descriptorMutex;
    bool m_interrupted = false; // interrupt() shut the current socket down; guarded as above
};

#endif // UDPCHANNEL_H
