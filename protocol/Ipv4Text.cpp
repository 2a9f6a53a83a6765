#include "Ipv4Text.h"

namespace {
const quint32 kNoAddress = 0xFFFFFFFFu;
const int kGroups = 4;
const int kMaxDigits = 3;
} // namespace

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
    quint32 address = 0;
    int group = 0;
    int digits = 0;
    quint32 value = 0;
    for (int i = 0; i <= text.size(); ++i) {
        const QChar c = i < text.size() ? text.at(i) : QLatin1Char('.');
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            if (++digits > kMaxDigits)
                return kNoAddress;
            value = value * 10 + quint32(c.unicode() - '0');
            continue;
        }
        if (c != QLatin1Char('.') || digits == 0 || value > 255)
            return kNoAddress;
        address = (address << 8) | value;
        ++group;
        digits = 0;
        value = 0;
    }
    return group == kGroups ? address : kNoAddress;
}
