#ifndef SIMFRAME_H
#define SIMFRAME_H

#include <QByteArray>
#include <QtGlobal>

// The device's own view of a frame: header parsing, checksum and answer building.
// Deliberately independent of the client's protocol library, so that a mistake in one
// cannot be hidden by the same mistake in the other.
class SimFrame
{
public:
    static constexpr int MaxDatagram = 1040; // largest datagram either side accepts
    static constexpr int HeaderSize = 11; // length, version, type, login id / error code, sequence
    static constexpr int MinFrame = 12; // header and checksum, no payload

    struct Header
    {
        quint16 length = 0;
        quint8 version = 0;
        quint16 type = 0;
        quint32 loginId = 0; // in an answer this place holds the error code
        quint16 sequence = 0;
    };

    // 8-bit sum of all bytes.
    static quint8 byteSum(const QByteArray& bytes);
    // A whole datagram is intact when its bytes sum to 0xFF.
    static bool checksumOk(const QByteArray& datagram);
    // Reads the 11 header bytes; false when the datagram is shorter than that.
    static bool readHeader(const QByteArray& datagram, Header* header);
    // Payload of a request or answer: everything between the header and the checksum byte.
    static QByteArray payload(const QByteArray& datagram);

    // A complete answer frame with its checksum.
    static QByteArray answer(quint16 type, quint32 errorCode, quint16 sequence, const QByteArray& payload = {});
    // Recomputes the last byte so that the datagram sums to 0xFF again.
    static void fixChecksum(QByteArray* datagram);

    static quint16 readU16(const QByteArray& bytes, int offset);
    static quint32 readU32(const QByteArray& bytes, int offset);
    static void appendU8(QByteArray* bytes, quint8 value);
    static void appendU16(QByteArray* bytes, quint16 value);
    static void appendU32(QByteArray* bytes, quint32 value);
    // 1-byte length and that many bytes; longer texts are cut to 255 bytes.
    static void appendText(QByteArray* bytes, const QByteArray& text);
};

#endif // SIMFRAME_H
