#include "ResponseGetProductInfo.h"

#include <cstring>

ResponseGetProductInfo::ResponseGetProductInfo()
{
    std::memset(m_productData, 0, sizeof(m_productData));
}

ResponseGetProductInfo::~ResponseGetProductInfo() = default;

void ResponseGetProductInfo::decodePayload()
{
    m_productCode = payloadU32(0);
    for (int i = 0; i < kProductDataSize; ++i)
        m_productData[i] = payloadU8(4 + i);
}
