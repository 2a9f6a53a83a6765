#include "Ipv4Field.h"

#include <QRegExp>
#include <QRegExpValidator>
#include <QStringList>

const char* const kIpv4Pattern
    = "((?:(?:25[0-5]|2[0-4]\\d|((1\\d{2})|([1-9]?\\d)))\\.){3}(?:25[0-5]|2[0-4]\\d|((1\\d{2})|([1-9]?\\d))))";

QValidator* newIpv4Validator(QObject* parent)
{
    return new QRegExpValidator(QRegExp(QString::fromLatin1(kIpv4Pattern), Qt::CaseSensitive, QRegExp::RegExp), parent);
}

bool parseIpv4(const QString& text, quint32* address)
{
    const QRegExp full(QString::fromLatin1(kIpv4Pattern), Qt::CaseSensitive, QRegExp::RegExp);
    if (!full.exactMatch(text))
        return false;
    quint32 value = 0;
    const QStringList groups = text.split(QLatin1Char('.'));
    for (const QString& group : groups)
        value = (value << 8) | group.toUInt();
    *address = value;
    return true;
}
