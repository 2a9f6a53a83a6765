#ifndef RESPONSEAUTHENTICATION_H
#define RESPONSEAUTHENTICATION_H

#include "ResponseMsg.h"

// Answer to a login: the login id that every later request carries.
class ResponseAuthentication : public ResponseMsg
{
public:
    ResponseAuthentication();
    ~ResponseAuthentication() override;

    quint32 loginId() const { return m_loginId; }

protected:
    void decodePayload() override;

private:
    quint32 m_loginId = 0;
};

#endif // RESPONSEAUTHENTICATION_H
