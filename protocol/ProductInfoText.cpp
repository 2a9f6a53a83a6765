#include "ProductInfoText.h"

#include <cstring>

namespace {

bool isAsciiLetter(quint8 c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Exactly 8 decimal digits, most significant first; the caller has checked value <= 99999999.
char* appendEightDigits(char* out, quint32 value)
{
    quint32 divisor = 10000000;
    for (int i = 0; i < 8; ++i) {
        *out++ = char('0' + value / divisor);
        value %= divisor;
        divisor /= 10;
    }
    return out;
}

} // namespace

QString GetModuleTypeName(quint32 productCode)
{
    return productCode == 50003 ? QStringLiteral("ACO GPIO") : QStringLiteral("Unknown");
}

int ConvertProductSN(const quint8 serial[8], char text[20])
{
    std::memset(text, 0, 20);
    char* out = text;
    for (int i = 0; i < 2; ++i) {
        if (!isAsciiLetter(serial[i]))
            return -1;
        *out++ = char(serial[i]);
    }

    const quint32 first
        = (quint32(serial[2]) << 24) | (quint32(serial[3]) << 16) | (quint32(serial[4]) << 8) | quint32(serial[5]);
    if (first == 0 || first > 99999999)
        return -1;
    out = appendEightDigits(out, first);
    *out++ = '-';

    const quint32 second = (quint32(serial[6]) << 8) | quint32(serial[7]);
    if (second == 0 || second > 7999)
        return -1;
    appendEightDigits(out, second);
    text[19] = '\0';
    return 0;
}

QString GetProductSNText(const quint8 serial[8])
{
    char text[20];
    ConvertProductSN(serial, text);
    return QString::fromLatin1(text);
}
