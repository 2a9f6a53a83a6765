#include "PasswordSource.h"

#include <QFile>
#include <QFileDevice>

bool PasswordSource::Read(const char* variable, const char* fileOption, const QString& file, QString& password,
                          QString& error)
{
    if (file.isEmpty()) {
        if (!qEnvironmentVariableIsSet(variable)) {
            error = QStringLiteral("no password: set %1 or use %2 FILE.")
                        .arg(QLatin1String(variable), QLatin1String(fileOption));
            return false;
        }
        password = qEnvironmentVariable(variable);
        return true;
    }
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read the password file %1: %2").arg(file, in.errorString());
        return false;
    }
    // As ssh does with its keys: a password that others may read is no secret any more.
    const QFileDevice::Permissions open
        = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    if (in.permissions() & open) {
        error = QStringLiteral("the password file %1 is open to other users; chmod 600 it.").arg(file);
        return false;
    }
    QByteArray line = in.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    password = QString::fromUtf8(line);
    return true;
}
