#ifndef IPV4TEXT_H
#define IPV4TEXT_H

#include <QString>
#include <QtGlobal>

// IPv4 addresses as numbers whose most significant byte is the first dotted number.

// "%1.%2.%3.%4" with the four bytes, most significant first.
QString ipv4ToText(quint32 address);

// Dotted text to a number (inet_addr, then host order); text that does not parse gives 0xFFFFFFFF.
quint32 ipv4FromText(const QString& text);

#endif // IPV4TEXT_H
