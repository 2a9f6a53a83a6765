#ifndef REQUESTMODIFYPASSWORD_H
#define REQUESTMODIFYPASSWORD_H

#include "RequestMsg.h"

#include <QByteArray>

// Changes the password of the named account.
// Payload: user name length, user name, newPassword length, newPassword (UTF-8, no terminators).
class RequestModifyPassword : public RequestMsg
{
public:
    RequestModifyPassword(quint32 loginId, quint16 sequence);
    ~RequestModifyPassword() override;

    void setUserName(const QByteArray& userName) { m_userName = userName; }
    void setNewPassword(const QByteArray& newPassword) { m_newPassword = newPassword; }
    const QByteArray& userName() const { return m_userName; }
    const QByteArray& newPassword() const { return m_newPassword; }

    int payloadSize() const override;
    void writePayload(quint8* dest) const override;
    bool isFramable() const override;

private:
    QByteArray m_userName;
    QByteArray m_newPassword;
};

#endif // REQUESTMODIFYPASSWORD_H
