#ifndef HANDFRAMES_H
#define HANDFRAMES_H

// Hand-written framing for the GetACOGPIOInfo exchange, the least code that can build the request and
// read the answer: the baseline that the protocol classes are measured against. Deliberately shares
// nothing with the protocol library.
#include "AcoGpioInfo.h"

#include <QtGlobal>

namespace HandFrames {

constexpr int kGpioRequestSize = 12;
constexpr int kGpioAnswerSize = 23;

// Writes the 12-byte request (type 63) and returns its size.
int encodeGpioRequest(quint8* out, quint32 loginId, quint16 sequence);

// Writes a 23-byte success answer with the given payload (11 bytes) and returns its size.
int encodeGpioAnswer(quint8* out, quint16 sequence, const quint8 payload[11]);

// Checks size, checksum, length, version and error code, then fills the device's part of info.
bool parseGpioAnswer(const quint8* data, int size, AcoGpioInfo& info);

// Any request: header, payload and checksum; returns the frame size.
int encodeRequest(quint8* out, int type, quint32 loginId, quint16 sequence, const quint8* payload, int payloadSize);

// True for a frame that passes size, checksum, length and version and carries error code 0.
bool isSuccessAnswer(const quint8* data, int size);

} // namespace HandFrames

#endif // HANDFRAMES_H
