#ifndef DIVEVODNETCLIENT_H
#define DIVEVODNETCLIENT_H

#include "AcoGpioInfo.h"
#include "FairMutex.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <mutex>

class RequestAuthentication;
class RequestMsg;
class ResponseMsg;
class UdpChannel;

// The one connection to the device. Every operation blocks until its exchange is over and
// returns 0 on success, -1 otherwise (Authenticate: the device's error code when it refuses).
// Shared by the user-interface thread and the three monitors.
class DiveVodNetClient : public QObject
{
    Q_OBJECT

public:
    DiveVodNetClient();
    // Takes ownership of a channel whose system calls are replaced (fuzz/fuzz_exchange.cpp).
    explicit DiveVodNetClient(UdpChannel* channel);
    ~DiveVodNetClient() override;

    int OpenChannel(const QString& address, int port);
    void CloseChannel();
    void SetLoginInfo(int userType, const QString& password);
    int Authenticate();

    int GetWorkMode(quint32& workMode);
    int GetAcoGpioInfo(AcoGpioInfo& info);
    int GetShortPressKeyState(quint8& keyLock, quint8& autoMode, quint32& panelType);
    int SetShortPressKeyState(quint8 keyLock, quint8 autoMode, quint32 panelType);
    int GetPhaseAlignState(quint8& state);
    int SetABKeyState(quint32 key);
    int GetVersion(QString& pcbVersion, QString& firmwareVersion);
    int GetProductInfo(quint32& productCode, quint8 serial[8], quint8 further[8]);
    int GetNetParam(QString& address, QString& subnetMask, QString& gateway, bool& isDefault);
    int SetNetParam(const QString& address, const QString& subnetMask, const QString& gateway);
    int GetRemoteDevice(QString& address, QString& adminPassword);
    int SetRemoteDevice(const QString& address, const QString& adminPassword);
    int GetSlaveDevice(QString addresses[3], QString adminPasswords[3]);
    int SetSlaveDevice(const QString addresses[3], const QString adminPasswords[3]);
    int ModifyPassword(const QString& userName, const QString& newPassword);

    QStringList GetLocalAddresses();

private:
    int ExecuteRequest(RequestMsg& request, ResponseMsg** response);
    int Reauthenticate();
    // Advances the sequence under the state lock and hands back the values a new request carries.
    quint16 NextSequence(quint32* currentLoginId);
    // Builds a request with the next sequence and the current login id (authentications use id 0).
    template <typename Request> Request Prepare();
    RequestAuthentication PrepareAuthentication();
    // Runs a request whose answer carries no fields: 0 or -1.
    int Send(RequestMsg& request);
    // Runs a request and hands its typed answer to `copy`; -1 when the answer is not of that class.
    template <typename Answer, typename Copy> int Fetch(RequestMsg& request, Copy copy);

    UdpChannel* channel;
    QString userName;
    QString password;
    quint16 sequence;
    quint32 loginId;
    // std primitives rather than QMutex: ThreadSanitizer sees through these. The exchange lock serves
    // the four threads in arrival order, so none of them waits through more than one exchange of each other.
    FairMutex exchangeLock;
    std::mutex stateLock;
};

#endif // DIVEVODNETCLIENT_H
