#ifndef IPV4TEXT_H
#define IPV4TEXT_H

#include <QString>
#include <QtGlobal>

// IPv4 addresses as numbers whose most significant byte is the first dotted number.

// "%1.%2.%3.%4" with the four bytes, most significant first.
QString ipv4ToText(quint32 address);

// Plain dotted decimal to a number: four groups of one to three digits, each at most 255, a leading
// zero still decimal ("010" is ten). inet_addr would read "010" as octal, "0x7f" as hex and "127.1"
// as 127.0.0.1, so that a typed address could reach another unit. Text that does not parse gives
// 0xFFFFFFFF, as inet_addr does.
quint32 ipv4FromText(const QString& text);

#endif // IPV4TEXT_H
