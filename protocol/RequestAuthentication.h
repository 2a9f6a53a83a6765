#ifndef REQUESTAUTHENTICATION_H
#define REQUESTAUTHENTICATION_H

#include "RequestMsg.h"

#include <QByteArray>

// Logs a user in; always sent with login id 0.
// Payload: user name length, user name, password length, password (UTF-8, no terminators).
class RequestAuthentication : public RequestMsg
{
public:
    RequestAuthentication(quint32 loginId, quint16 sequence);
    ~RequestAuthentication() override;

    void setUserName(const QByteArray& userName) { m_userName = userName; }
    void setPassword(const QByteArray& password) { m_password = password; }
    const QByteArray& userName() const { return m_userName; }
    const QByteArray& password() const { return m_password; }

    int payloadSize() const override;
    void writePayload(quint8* dest) const override;
    bool isFramable() const override;

private:
    QByteArray m_userName;
    QByteArray m_password;
};

#endif // REQUESTAUTHENTICATION_H
