#ifndef TESTFRAMES_H
#define TESTFRAMES_H

#include <QByteArray>
#include <QtGlobal>

// Frame builders and readers for the protocol tests, written apart from the library's own
// encoder so that the tests do not check the code against itself.
namespace TestFrames {

inline QByteArray withChecksum(QByteArray frame)
{
    quint8 sum = 0;
    for (char c : frame)
        sum = quint8(sum + quint8(c));
    frame.append(char(quint8(~sum)));
    return frame;
}

// A device answer: header with the given type, error code and sequence, the payload and the checksum.
inline QByteArray response(int type, quint32 errorCode, quint16 sequence, const QByteArray& payload = QByteArray())
{
    const int length = payload.size() + 10;
    QByteArray frame;
    frame.append(char((length >> 8) & 0xFF));
    frame.append(char(length & 0xFF));
    frame.append(char(1));
    frame.append(char((type >> 8) & 0xFF));
    frame.append(char(type & 0xFF));
    frame.append(char((errorCode >> 24) & 0xFF));
    frame.append(char((errorCode >> 16) & 0xFF));
    frame.append(char((errorCode >> 8) & 0xFF));
    frame.append(char(errorCode & 0xFF));
    frame.append(char((sequence >> 8) & 0xFF));
    frame.append(char(sequence & 0xFF));
    frame.append(payload);
    return withChecksum(frame);
}

inline int byteAt(const QByteArray& frame, int index)
{
    return index < frame.size() ? quint8(frame.at(index)) : 0;
}

inline int type(const QByteArray& frame)
{
    return (byteAt(frame, 3) << 8) | byteAt(frame, 4);
}

inline quint32 loginId(const QByteArray& frame)
{
    return (quint32(byteAt(frame, 5)) << 24) | (quint32(byteAt(frame, 6)) << 16) | (quint32(byteAt(frame, 7)) << 8)
        | quint32(byteAt(frame, 8));
}

inline quint16 sequence(const QByteArray& frame)
{
    return quint16((byteAt(frame, 9) << 8) | byteAt(frame, 10));
}

inline QByteArray payload(const QByteArray& frame)
{
    return frame.size() > 12 ? frame.mid(11, frame.size() - 12) : QByteArray();
}

} // namespace TestFrames

#endif // TESTFRAMES_H
