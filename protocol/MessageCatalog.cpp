#include "MessageCatalog.h"

#include "ResponseAuthentication.h"
#include "ResponseGetACOGPIOInfo.h"
#include "ResponseGetAGCParam.h"
#include "ResponseGetAUXOutputSelect.h"
#include "ResponseGetAlarmInfo.h"
#include "ResponseGetAudioEffect.h"
#include "ResponseGetAudioLevel.h"
#include "ResponseGetAutoSwitchMethod.h"
#include "ResponseGetAutoSwitchTrigger.h"
#include "ResponseGetDetectionParam.h"
#include "ResponseGetGPIOState.h"
#include "ResponseGetGPIOTriggerMode.h"
#include "ResponseGetHwTune.h"
#include "ResponseGetInputState.h"
#include "ResponseGetMCUFlashInfo.h"
#include "ResponseGetMacAddress.h"
#include "ResponseGetNetParam.h"
#include "ResponseGetNotificationDest.h"
#include "ResponseGetPGMOutputSelect.h"
#include "ResponseGetPhase.h"
#include "ResponseGetPhaseAlignState.h"
#include "ResponseGetProductInfo.h"
#include "ResponseGetRelayControl.h"
#include "ResponseGetRemoteControlEnabled.h"
#include "ResponseGetRemoteDevice.h"
#include "ResponseGetSPIFlashInfo.h"
#include "ResponseGetShortPressKeyState.h"
#include "ResponseGetSlaveDevice.h"
#include "ResponseGetSystemAlarmParam.h"
#include "ResponseGetTrapIp.h"
#include "ResponseGetVersion.h"
#include "ResponseGetWorkMode.h"
#include "SimpleResponse.h"

bool isSuccessFrame(const quint8* data, quint16 size)
{
    return data && size >= 12 && data[5] == 0 && data[6] == 0 && data[7] == 0 && data[8] == 0;
}

ResponseMsg* createResponse(int type)
{
    switch (type) {
    case kSimpleResponseType:
    case 1: // Hello
    case 4: // SetProductInfo
    case 7:
    case 9:
    case 11:
    case 14:
    case 15:
    case 16:
    case 17:
    case 19:
    case 20:
    case 21:
    case 22:
    case 24:
    case 25: // SetNetParam
    case 27: // ModifyPassword
    case 31:
    case 33:
    case 35:
    case 37:
    case 40:
    case 42:
    case 44:
    case 46:
    case 48:
    case 50:
    case 52:
    case 53:
    case 56:
    case 58:
    case 61: // SetShortPressKeyState
    case 64: // SetRemoteDevice
    case 69: // SetSlaveDevice
    case 72: // SetABKeyState
        return new SimpleResponse;
    case 2:
        return new ResponseAuthentication;
    case 3:
        return new ResponseGetWorkMode;
    case 5:
        return new ResponseGetProductInfo;
    case 10:
        return new ResponseGetMacAddress;
    case 12:
        return new ResponseGetHwTune;
    case 13:
        return new ResponseGetSPIFlashInfo;
    case 18:
        return new ResponseGetMCUFlashInfo;
    case 23:
        return new ResponseGetVersion;
    case 26:
        return new ResponseGetNetParam;
    case 28:
        return new ResponseGetRemoteControlEnabled;
    case 29:
        return new ResponseGetInputState;
    case 30:
        return new ResponseGetGPIOState;
    case 32:
        return new ResponseGetPhase;
    case 34:
        return new ResponseGetGPIOTriggerMode;
    case 36:
        return new ResponseGetDetectionParam;
    case 38:
        return new ResponseGetSystemAlarmParam;
    case 39:
        return new ResponseGetAlarmInfo;
    case 41:
        return new ResponseGetAudioEffect;
    case 43:
        return new ResponseGetPGMOutputSelect;
    case 45:
        return new ResponseGetAUXOutputSelect;
    case 47:
        return new ResponseGetRelayControl;
    case 49:
        return new ResponseGetAutoSwitchMethod;
    case 51:
        return new ResponseGetAutoSwitchTrigger;
    case 54:
        return new ResponseGetAGCParam;
    case 55:
        return new ResponseGetAudioLevel;
    case 57:
        return new ResponseGetNotificationDest;
    case 59:
        return new ResponseGetTrapIp;
    case 62:
        return new ResponseGetShortPressKeyState;
    case 63:
        return new ResponseGetACOGPIOInfo;
    case 65:
        return new ResponseGetRemoteDevice;
    case 70:
        return new ResponseGetSlaveDevice;
    case 71:
        return new ResponseGetPhaseAlignState;
    default:
        return nullptr;
    }
}

QString messageTypeName(int type)
{
    switch (type) {
    case 1:
        return QStringLiteral("Hello");
    case 2:
        return QStringLiteral("Authentication");
    case 3:
        return QStringLiteral("GetWorkMode");
    case 4:
        return QStringLiteral("SetProductInfo");
    case 5:
        return QStringLiteral("GetProductInfo");
    case 23:
        return QStringLiteral("GetVersion");
    default:
        return QString();
    }
}

QString errorCodeName(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral("Failed");
    case 9:
        return QStringLiteral("MsgFormatWrong");
    case 10:
        return QStringLiteral("UnsupportedMsgVersion");
    case 11:
        return QStringLiteral("UnsupportedMsg");
    case 12:
        return QStringLiteral("AuthenticationFailed");
    case 13:
        return QStringLiteral("AuthenticationTimeout");
    default:
        return QString();
    }
}
