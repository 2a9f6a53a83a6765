// Feeds arbitrary datagrams to the response decoders. The first input byte picks the message
// type (and so the class) as an exchange would from the request it sent; the rest is the datagram.
#include "MessageCatalog.h"
#include "ProductInfoText.h"
#include "ResponseMsg.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

// Types -1 (SimpleResponse) to 73 (one past the last known type).
constexpr int kTypeSpan = 75;

void decodeAs(int type, const quint8* datagram, quint16 size)
{
    std::unique_ptr<ResponseMsg> response(createResponse(type));
    if (!response)
        return;
    if (response->decode(datagram, size) == 0) {
        // Touch the parsed header so that nothing is optimised away.
        volatile quint32 sink = response->errorCode() + response->sequence() + quint32(response->messageType())
            + response->length() + response->version() + response->receivedLength();
        (void)sink;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const int requestType = int(data[0]) % kTypeSpan - 1;
    const quint8* datagram = data + 1;
    // recv never hands over more than fits in 16 bits; decode itself must refuse what is over 1040.
    const quint16 datagramSize = quint16(size - 1 > 0xFFFF ? 0xFFFF : size - 1);

    // The exchange's choice: the request's class for a success frame, SimpleResponse otherwise.
    const bool success = isSuccessFrame(datagram, datagramSize);
    decodeAs(success ? requestType : kSimpleResponseType, datagram, datagramSize);
    // And the chosen class regardless, so that every decoder sees every shape of input.
    decodeAs(requestType, datagram, datagramSize);

    if (datagramSize >= 8) {
        const QString serial = GetProductSNText(datagram);
        volatile int length = serial.size();
        (void)length;
    }
    return 0;
}
