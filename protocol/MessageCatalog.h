#ifndef MESSAGECATALOG_H
#define MESSAGECATALOG_H

#include <QString>
#include <QtGlobal>

class ResponseMsg;

// Message type that stands for "an answer without typed payload" (error answers, short frames).
constexpr int kSimpleResponseType = -1;

// True when the datagram is at least a full header plus checksum (12 bytes) and its error code is 0.
// Looks at the raw bytes only; applied before a response object exists.
bool isSuccessFrame(const quint8* data, quint16 size);

// A new response object of the class that answers `type` (kSimpleResponseType: SimpleResponse),
// or nullptr for types without a response class. The caller owns it.
ResponseMsg* createResponse(int type);

// Names for debug output; empty for types and codes without one.
QString messageTypeName(int type);
QString errorCodeName(int code);

#endif // MESSAGECATALOG_H
