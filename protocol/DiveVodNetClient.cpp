#include "DiveVodNetClient.h"

#include "Ipv4Text.h"
#include "MessageCatalog.h"
#include "RequestAuthentication.h"
#include "RequestModifyPassword.h"
#include "RequestSetABKeyState.h"
#include "RequestSetNetParam.h"
#include "RequestSetRemoteDevice.h"
#include "RequestSetShortPressKeyState.h"
#include "RequestSetSlaveDevice.h"
#include "ResponseAuthentication.h"
#include "ResponseGetACOGPIOInfo.h"
#include "ResponseGetNetParam.h"
#include "ResponseGetPhaseAlignState.h"
#include "ResponseGetProductInfo.h"
#include "ResponseGetRemoteDevice.h"
#include "ResponseGetShortPressKeyState.h"
#include "ResponseGetSlaveDevice.h"
#include "ResponseGetVersion.h"
#include "ResponseGetWorkMode.h"
#include "SimpleRequest.h"
#include "UdpChannel.h"

#include <QDebug>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <limits>
#include <memory>

namespace {

constexpr int kAuthenticationType = 2;
constexpr quint32 kAuthenticationFailed = 12;
constexpr quint32 kAuthenticationTimeout = 13;

void debugLine(const QString& line)
{
    qDebug().noquote() << line;
}

// A device's refusal as a result: its code, but never negative, since -1 means "no answer"
// and a code of 0xFFFFFFFF or over 0x7FFFFFFF would otherwise turn into one.
int refusal(quint32 code)
{
    return code > quint32(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max() : int(code);
}

} // namespace

DiveVodNetClient::DiveVodNetClient()
    : DiveVodNetClient(new UdpChannel)
{
}

DiveVodNetClient::DiveVodNetClient(UdpChannel* ownChannel)
    : channel(ownChannel)
    , sequence(0)
    , loginId(0)
{
}

DiveVodNetClient::~DiveVodNetClient()
{
    CloseChannel();
    delete channel;
}

int DiveVodNetClient::OpenChannel(const QString& address, int port)
{
    std::lock_guard<FairMutex> lock(exchangeLock);
    return channel->open(address.toLatin1().constData(), port);
}

void DiveVodNetClient::CloseChannel()
{
    // Wake an exchange that is waiting for an answer, so that the lock comes free at once; the
    // descriptor itself is closed only under the exchange lock, never under a running exchange.
    channel->interrupt();
    std::lock_guard<FairMutex> lock(exchangeLock);
    channel->close();
}

void DiveVodNetClient::SetLoginInfo(int userType, const QString& password)
{
    std::lock_guard<std::mutex> lock(stateLock);
    userName = userType == 0 ? QStringLiteral("admin") : QStringLiteral("guest");
    this->password = password;
}

quint16 DiveVodNetClient::NextSequence(quint32* currentLoginId)
{
    std::lock_guard<std::mutex> lock(stateLock);
    ++sequence;
    if (currentLoginId)
        *currentLoginId = loginId;
    return sequence;
}

template <typename Request> Request DiveVodNetClient::Prepare()
{
    quint32 id;
    const quint16 seq = NextSequence(&id);
    return Request(id, seq);
}

RequestAuthentication DiveVodNetClient::PrepareAuthentication()
{
    std::lock_guard<std::mutex> lock(stateLock);
    RequestAuthentication request(0, ++sequence);
    request.setUserName(userName.toUtf8());
    request.setPassword(password.toUtf8());
    return request;
}

int DiveVodNetClient::Send(RequestMsg& request)
{
    ResponseMsg* response = nullptr;
    if (ExecuteRequest(request, &response) != 0)
        return -1;
    delete response;
    return 0;
}

template <typename Answer, typename Copy> int DiveVodNetClient::Fetch(RequestMsg& request, Copy copy)
{
    ResponseMsg* response = nullptr;
    if (ExecuteRequest(request, &response) != 0)
        return -1;
    const std::unique_ptr<ResponseMsg> owner(response);
    // A datagram too short to be a success frame decodes as a SimpleResponse: no fields to copy.
    const auto* answer = dynamic_cast<const Answer*>(owner.get());
    if (!answer)
        return -1;
    copy(*answer);
    return 0;
}

int DiveVodNetClient::Authenticate()
{
    RequestAuthentication request = PrepareAuthentication();

    ResponseMsg* response = nullptr;
    const int result = ExecuteRequest(request, &response);
    if (result != 0)
        return result;
    const std::unique_ptr<ResponseMsg> owner(response);
    const auto* answer = dynamic_cast<const ResponseAuthentication*>(owner.get());
    if (!answer)
        return -1;
    std::lock_guard<std::mutex> lock(stateLock);
    loginId = answer->loginId();
    return 0;
}

int DiveVodNetClient::GetWorkMode(quint32& workMode)
{
    auto request = Prepare<SimpleRequest<3>>();
    return Fetch<ResponseGetWorkMode>(
        request, [&](const ResponseGetWorkMode& answer) { workMode = quint32(answer.workMode()); });
}

int DiveVodNetClient::GetAcoGpioInfo(AcoGpioInfo& info)
{
    auto request = Prepare<SimpleRequest<63>>();
    return Fetch<ResponseGetACOGPIOInfo>(request, [&](const ResponseGetACOGPIOInfo& gpio) {
        // Only the device's part of the record; key lock, auto mode, phase align and the
        // remote key mask belong to whoever assembles the record.
        info.ps1Led = gpio.ps1Led();
        info.ps2Led = gpio.ps2Led();
        info.localLed = quint32(gpio.localLed());
        info.remoteLed = quint32(gpio.remoteLed());
        info.panelType = quint32(gpio.panelType());
        info.gpioGreenMask = quint32(gpio.gpioGreenMask());
        info.gpioRedMask = quint32(gpio.gpioRedMask());
        info.keyMask = quint32(gpio.keyMask());
        info.ipReset = gpio.ipReset();
        info.upgrade = gpio.upgrade();
        info.remCtrl = gpio.remoteControl();
    });
}

int DiveVodNetClient::GetShortPressKeyState(quint8& keyLock, quint8& autoMode, quint32& panelType)
{
    auto request = Prepare<SimpleRequest<62>>();
    return Fetch<ResponseGetShortPressKeyState>(request, [&](const ResponseGetShortPressKeyState& answer) {
        keyLock = answer.keyLock() ? 1 : 0;
        autoMode = answer.autoMode() ? 1 : 0;
        panelType = quint32(answer.panelType());
    });
}

int DiveVodNetClient::SetShortPressKeyState(quint8 keyLock, quint8 autoMode, quint32 panelType)
{
    auto request = Prepare<RequestSetShortPressKeyState>();
    request.setKeyLock(keyLock);
    request.setAutoMode(autoMode);
    request.setPanelType(int(panelType));
    return Send(request);
}

int DiveVodNetClient::GetPhaseAlignState(quint8& state)
{
    auto request = Prepare<SimpleRequest<71>>();
    return Fetch<ResponseGetPhaseAlignState>(request,
                                             [&](const ResponseGetPhaseAlignState& answer) { state = answer.state(); });
}

int DiveVodNetClient::SetABKeyState(quint32 key)
{
    auto request = Prepare<RequestSetABKeyState>();
    request.setKey(key);
    return Send(request);
}

int DiveVodNetClient::GetVersion(QString& pcbVersion, QString& firmwareVersion)
{
    auto request = Prepare<SimpleRequest<23>>();
    return Fetch<ResponseGetVersion>(request, [&](const ResponseGetVersion& version) {
        pcbVersion = QStringLiteral("1.%1").arg(version.pcbVersion());
        firmwareVersion = QStringLiteral("%1.%2.%3")
                              .arg(version.firmwareMajor())
                              .arg(version.firmwareMinor())
                              .arg(version.firmwareBuild());
    });
}

int DiveVodNetClient::GetProductInfo(quint32& productCode, quint8 serial[8], quint8 further[8])
{
    auto request = Prepare<SimpleRequest<5>>();
    return Fetch<ResponseGetProductInfo>(request, [&](const ResponseGetProductInfo& product) {
        productCode = product.productCode();
        std::memcpy(serial, product.serial(), ResponseGetProductInfo::kSerialSize);
        std::memcpy(further, product.further(), ResponseGetProductInfo::kSerialSize);
    });
}

int DiveVodNetClient::GetNetParam(QString& address, QString& subnetMask, QString& gateway, bool& isDefault)
{
    auto request = Prepare<SimpleRequest<26>>();
    return Fetch<ResponseGetNetParam>(request, [&](const ResponseGetNetParam& net) {
        address = ipv4ToText(net.address());
        subnetMask = ipv4ToText(net.subnetMask());
        gateway = ipv4ToText(net.gateway());
        isDefault = net.isDefault();
    });
}

int DiveVodNetClient::SetNetParam(const QString& address, const QString& subnetMask, const QString& gateway)
{
    auto request = Prepare<RequestSetNetParam>();
    request.setAddress(ipv4FromText(address));
    request.setSubnetMask(ipv4FromText(subnetMask));
    request.setGateway(ipv4FromText(gateway));
    return Send(request);
}

int DiveVodNetClient::GetRemoteDevice(QString& address, QString& adminPassword)
{
    auto request = Prepare<SimpleRequest<65>>();
    return Fetch<ResponseGetRemoteDevice>(request, [&](const ResponseGetRemoteDevice& answer) {
        address = ipv4ToText(answer.address());
        adminPassword = answer.adminPassword();
    });
}

int DiveVodNetClient::SetRemoteDevice(const QString& address, const QString& adminPassword)
{
    auto request = Prepare<RequestSetRemoteDevice>();
    request.setAddress(ipv4FromText(address));
    request.setAdminPassword(adminPassword.toUtf8());
    return Send(request);
}

int DiveVodNetClient::GetSlaveDevice(QString addresses[3], QString adminPasswords[3])
{
    auto request = Prepare<SimpleRequest<70>>();
    return Fetch<ResponseGetSlaveDevice>(request, [&](const ResponseGetSlaveDevice& slaves) {
        for (int i = 0; i < ResponseGetSlaveDevice::kSlaveCount; ++i) {
            addresses[i] = ipv4ToText(slaves.address(i));
            adminPasswords[i] = slaves.adminPassword(i);
        }
    });
}

int DiveVodNetClient::SetSlaveDevice(const QString addresses[3], const QString adminPasswords[3])
{
    auto request = Prepare<RequestSetSlaveDevice>();
    for (int i = 0; i < RequestSetSlaveDevice::kSlaveCount; ++i) {
        request.setAddress(i, ipv4FromText(addresses[i]));
        request.setAdminPassword(i, adminPasswords[i].toUtf8());
    }
    return Send(request);
}

int DiveVodNetClient::ModifyPassword(const QString& userName, const QString& newPassword)
{
    auto request = Prepare<RequestModifyPassword>();
    request.setUserName(userName.toUtf8());
    request.setNewPassword(newPassword.toUtf8());
    return Send(request);
}

QStringList DiveVodNetClient::GetLocalAddresses()
{
    QStringList addresses;
    char hostName[255];
    std::memset(hostName, 0, sizeof(hostName));
    if (::gethostname(hostName, sizeof(hostName) - 1) != 0)
        return addresses;

    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM; // one entry per address rather than one per socket type
    addrinfo* result = nullptr;
    if (::getaddrinfo(hostName, nullptr, &hints, &result) != 0 || !result)
        return addresses;
    for (const addrinfo* entry = result; entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || !entry->ai_addr)
            continue;
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
        char text[INET_ADDRSTRLEN] = {};
        if (::inet_ntop(AF_INET, &address->sin_addr, text, sizeof(text)))
            addresses.append(QString::fromLatin1(text));
    }
    ::freeaddrinfo(result);
    return addresses;
}

int DiveVodNetClient::ExecuteRequest(RequestMsg& request, ResponseMsg** response)
{
    *response = nullptr;
    int result;
    {
        std::lock_guard<FairMutex> lock(exchangeLock);
        result = channel->exchange(request, response, 1);
    }
    if (result != 0) {
        delete *response;
        *response = nullptr;
        return -1;
    }
    if (!*response)
        return -1;

    const QString name = messageTypeName(request.messageType());
    const quint32 code = (*response)->errorCode();

    if (request.messageType() != kAuthenticationType
        && (code == kAuthenticationFailed || code == kAuthenticationTimeout)) {
        // The device has forgotten the login: log in again and repeat the request once.
        debugLine(QStringLiteral("%1TTTTTTTTT:%2\n").arg(name).arg(code));
        delete *response;
        *response = nullptr;

        const int relogin = Reauthenticate();
        if (relogin != 0)
            return relogin;
        {
            std::lock_guard<std::mutex> lock(stateLock);
            request.setLoginId(loginId);
        }
        {
            std::lock_guard<FairMutex> lock(exchangeLock);
            result = channel->exchange(request, response, 0);
        }
        if (result != 0) {
            delete *response;
            *response = nullptr;
            return -1;
        }
        const quint32 again = (*response)->errorCode();
        if (again != 0) {
            debugLine(QStringLiteral("%1TTTTTTTTT111111:%2\n").arg(request.messageType()).arg(again));
            delete *response;
            *response = nullptr;
            return refusal(again);
        }
        return 0;
    }

    if (code != 0) {
        debugLine(QStringLiteral("%1=========%2\n").arg(name, errorCodeName(int(code))));
        delete *response;
        *response = nullptr;
        return refusal(code);
    }
    // The channel hands out only answers with the request's own sequence (and writes the debug line
    // for any other it met on the way).
    return 0;
}

int DiveVodNetClient::Reauthenticate()
{
    RequestAuthentication request = PrepareAuthentication();

    ResponseMsg* response = nullptr;
    int result;
    {
        std::lock_guard<FairMutex> lock(exchangeLock);
        result = channel->exchange(request, &response, 1);
    }
    std::unique_ptr<ResponseMsg> owner(response);
    if (result != 0 || !response)
        return -1;
    if (response->errorCode() != 0)
        return refusal(response->errorCode());
    const auto* answer = dynamic_cast<const ResponseAuthentication*>(response);
    if (!answer)
        return -1;
    std::lock_guard<std::mutex> lock(stateLock);
    loginId = answer->loginId();
    return 0;
}
