#ifndef RESPONSEGETPRODUCTINFO_H
#define RESPONSEGETPRODUCTINFO_H

#include "ResponseMsg.h"

// Product code and 16 bytes of product data: the binary serial number (bytes 0-7) and further data.
class ResponseGetProductInfo : public ResponseMsg
{
public:
    ResponseGetProductInfo();
    ~ResponseGetProductInfo() override;

    static constexpr int kProductDataSize = 16;
    static constexpr int kSerialSize = 8;

    quint32 productCode() const { return m_productCode; }
    const quint8* productData() const { return m_productData; }
    const quint8* serial() const { return m_productData; }
    const quint8* further() const { return m_productData + kSerialSize; }

protected:
    void decodePayload() override;

private:
    quint32 m_productCode = 99999999;
    quint8 m_productData[kProductDataSize];
};

#endif // RESPONSEGETPRODUCTINFO_H
