#include "ResponseGetDetectionParam.h"

ResponseGetDetectionParam::ResponseGetDetectionParam() = default;

ResponseGetDetectionParam::~ResponseGetDetectionParam() = default;

namespace {

enum Kind { Flag, U8, U16, U32 };

// clang-format off
const Kind kLayout[ResponseGetDetectionParam::kFieldCount] = {
    Flag, U32, U32, Flag, U32, U32, Flag, U32, U32, Flag, U16, U16, U16, U32, U32,
    Flag, U16, U16, U16, U16, Flag, Flag, U16, U8, U32, U32,
    Flag, U16, U16, U16, U16, Flag, U16, U32, U32, U16, U32, U32, U32,
};
// clang-format on

} // namespace

int ResponseGetDetectionParam::fieldWidth(int index)
{
    if (index < 0 || index >= kFieldCount)
        return 0;
    switch (kLayout[index]) {
    case U16:
        return 2;
    case U32:
        return 4;
    default:
        return 1;
    }
}

quint32 ResponseGetDetectionParam::field(int index) const
{
    return index >= 0 && index < kFieldCount ? m_fields[index] : 0;
}

void ResponseGetDetectionParam::decodePayload()
{
    int offset = 0;
    for (int i = 0; i < kFieldCount; ++i) {
        switch (kLayout[i]) {
        case Flag:
            m_fields[i] = payloadU8(offset) != 0 ? 1 : 0;
            break;
        case U8:
            m_fields[i] = payloadU8(offset);
            break;
        case U16:
            m_fields[i] = payloadU16(offset);
            break;
        case U32:
            m_fields[i] = payloadU32(offset);
            break;
        }
        offset += fieldWidth(i);
    }
}
