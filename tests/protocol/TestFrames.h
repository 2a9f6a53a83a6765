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
    return frame.append(char(quint8(~sum)));
}

// An 11-byte answer (length 9, zero error bytes) that passes every check and reads as `sequence`: its last
// byte is both the checksum and the sequence's low byte, so the type bytes are chosen to make the sum come out.
inline QByteArray shortFrame(quint16 sequence)
{
    QByteArray frame = QByteArray::fromHex("0009010000000000000000");
    frame[9] = char(sequence >> 8);
    frame[10] = char(sequence & 0xFF);
    quint8 sum = 0;
    for (char c : frame)
        sum = quint8(sum + quint8(c));
    frame[4] = char(quint8(0xFF - sum));
    return frame;
}

// Big-endian number of `size` bytes at `index`; bytes beyond the frame read as 0.
inline quint32 number(const QByteArray& frame, int index, int size)
{
    quint32 value = 0;
    for (int i = 0; i < size; ++i)
        value = value << 8 | (index + i < frame.size() ? quint8(frame.at(index + i)) : 0u);
    return value;
}

// A device answer: header with the given type, error code and sequence, the payload and the checksum.
inline QByteArray response(int type, quint32 errorCode, quint16 sequence, const QByteArray& payload = QByteArray())
{
    const int n = payload.size() + 10;
    QByteArray f;
    for (quint32 v : { quint32(n >> 8), quint32(n), 1u, quint32(type >> 8), quint32(type), errorCode >> 24,
                       errorCode >> 16, errorCode >> 8, errorCode, quint32(sequence >> 8), quint32(sequence) })
        f.append(char(v & 0xFF));
    return withChecksum(f + payload);
}

inline int type(const QByteArray& frame) { return int(number(frame, 3, 2)); }
inline quint32 loginId(const QByteArray& frame) { return number(frame, 5, 4); }
inline quint16 sequence(const QByteArray& frame) { return quint16(number(frame, 9, 2)); }
inline QByteArray payload(const QByteArray& frame) { return frame.size() > 12 ? frame.mid(11, frame.size() - 12) : QByteArray(); }

} // namespace TestFrames

#endif // TESTFRAMES_H
