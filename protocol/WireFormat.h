#ifndef WIREFORMAT_H
#define WIREFORMAT_H

#include "RequestMsg.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstring>

// Big-endian writers shared by the request payloads. Callers have checked that the frame fits.
namespace WireFormat {

inline quint8* putU8(quint8* dest, quint32 value)
{
    *dest = quint8(value & 0xFF);
    return dest + 1;
}

inline quint8* putU16(quint8* dest, quint32 value)
{
    dest[0] = quint8((value >> 8) & 0xFF);
    dest[1] = quint8(value & 0xFF);
    return dest + 2;
}

inline quint8* putU32(quint8* dest, quint32 value)
{
    dest[0] = quint8((value >> 24) & 0xFF);
    dest[1] = quint8((value >> 16) & 0xFF);
    dest[2] = quint8((value >> 8) & 0xFF);
    dest[3] = quint8(value & 0xFF);
    return dest + 4;
}

// A text travels as a one-byte length and that many bytes, no terminator.
inline quint8* putText(quint8* dest, const QByteArray& text)
{
    dest = putU8(dest, quint32(text.size()));
    if (!text.isEmpty())
        std::memcpy(dest, text.constData(), size_t(text.size()));
    return dest + text.size();
}

inline bool textFits(const QByteArray& text)
{
    return text.size() <= kMaxTextLength;
}

} // namespace WireFormat

#endif // WIREFORMAT_H
