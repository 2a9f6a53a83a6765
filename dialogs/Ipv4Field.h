#ifndef IPV4FIELD_H
#define IPV4FIELD_H

#include <QString>
#include <QtGlobal>

class QObject;
class QValidator;

// Four dotted groups of 0 to 255 without leading zeros.
extern const char* const kIpv4Pattern;

// A validator for address fields; one per dialog, shared by its fields.
QValidator* newIpv4Validator(QObject* parent);

// True only for a complete address of four groups (what the validator accepts as finished);
// a text left half-typed such as "192.168.1." or a shortened form such as "10.1" is refused.
bool parseIpv4(const QString& text, quint32* address);

#endif // IPV4FIELD_H
