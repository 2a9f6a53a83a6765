#include "SimFrame.h"

quint8 SimFrame::byteSum(const QByteArray& bytes)
{
    quint8 sum = 0;
    for (char c : bytes)
        sum = quint8(sum + quint8(c));
    return sum;
}

bool SimFrame::checksumOk(const QByteArray& datagram)
{
    return !datagram.isEmpty() && byteSum(datagram) == 0xFF;
}

bool SimFrame::readHeader(const QByteArray& datagram, Header* header)
{
    if (datagram.size() < HeaderSize)
        return false;
    header->length = readU16(datagram, 0);
    header->version = quint8(datagram.at(2));
    header->type = readU16(datagram, 3);
    header->loginId = readU32(datagram, 5);
    header->sequence = readU16(datagram, 9);
    return true;
}

QByteArray SimFrame::payload(const QByteArray& datagram)
{
    if (datagram.size() <= MinFrame)
        return {};
    return datagram.mid(HeaderSize, datagram.size() - MinFrame);
}

QByteArray SimFrame::answer(quint16 type, quint32 errorCode, quint16 sequence, const QByteArray& payload)
{
    QByteArray frame;
    frame.reserve(MinFrame + payload.size());
    appendU16(&frame, quint16(payload.size() + 10));
    appendU8(&frame, 1);
    appendU16(&frame, type);
    appendU32(&frame, errorCode);
    appendU16(&frame, sequence);
    frame.append(payload);
    frame.append(char(0));
    fixChecksum(&frame);
    return frame;
}

void SimFrame::fixChecksum(QByteArray* datagram)
{
    if (datagram->isEmpty())
        return;
    const int last = datagram->size() - 1;
    const quint8 sum = byteSum(datagram->left(last));
    (*datagram)[last] = char(quint8(~sum));
}

quint16 SimFrame::readU16(const QByteArray& bytes, int offset)
{
    return quint16((quint8(bytes.at(offset)) << 8) | quint8(bytes.at(offset + 1)));
}

quint32 SimFrame::readU32(const QByteArray& bytes, int offset)
{
    return (quint32(quint8(bytes.at(offset))) << 24) | (quint32(quint8(bytes.at(offset + 1))) << 16)
        | (quint32(quint8(bytes.at(offset + 2))) << 8) | quint32(quint8(bytes.at(offset + 3)));
}

void SimFrame::appendU8(QByteArray* bytes, quint8 value)
{
    bytes->append(char(value));
}

void SimFrame::appendU16(QByteArray* bytes, quint16 value)
{
    bytes->append(char(value >> 8));
    bytes->append(char(value & 0xFF));
}

void SimFrame::appendU32(QByteArray* bytes, quint32 value)
{
    appendU16(bytes, quint16(value >> 16));
    appendU16(bytes, quint16(value & 0xFFFF));
}

void SimFrame::appendText(QByteArray* bytes, const QByteArray& text)
{
    const QByteArray cut = text.left(255);
    appendU8(bytes, quint8(cut.size()));
    bytes->append(cut);
}
