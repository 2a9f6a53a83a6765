#include "Ipv4Text.h"

#include <arpa/inet.h>

QString ipv4ToText(quint32 address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

quint32 ipv4FromText(const QString& text)
{
    return ntohl(inet_addr(text.toLatin1().constData()));
}
