// Feeds arbitrary request datagrams to the simulator's device (SimDevice::answer), mixed with what
// the simulator does to it between requests, and checks that every answer is a well-formed frame.
//
// Input: steps. A step starts with a byte C; its low two bits say what follows:
//   0  a raw datagram: u16 N (up to 2047), N bytes; bit 2 of C fixes its checksum. As in the
//      simulator, a datagram whose checksum fails is dropped before it reaches the device.
//   1  a built request: type byte T (below 0x80: one of the types the tool sends, else T - 0x80), u16 sequence,
//      u32 login id, u16 payload size N (up to 2047), N payload bytes; bit 3 of C: version 2.
//   3  the same with the device's current login id in place of the u32 (which is still read).
//   Datagrams over 1040 bytes are dropped, as the simulator's socket never hands them over whole.
//   2  a device action by bits 2-3 of C: forget the login, enter or leave update mode, a lively step.
#include "FuzzInput.h"
#include "SimDevice.h"
#include "SimFrame.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>

namespace {

// The types the tool sends; the rest of the table is reached through T - 0x80.
const quint16 kToolTypes[] = { 1, 2, 3, 5, 23, 25, 26, 27, 61, 62, 63, 64, 65, 69, 70, 71, 72 };

QByteArray builtRequest(FuzzInput& input, quint8 control, const SimDevice& device)
{
    const quint8 typeByte = input.byte();
    const quint16 type = typeByte < 0x80 ? kToolTypes[typeByte % std::size(kToolTypes)] : quint16(typeByte - 0x80);
    const quint16 sequence = input.u16();
    quint32 loginId = input.u32();
    if ((control & 3) == 3)
        loginId = device.loginId();
    const QByteArray payload = input.bytes(input.u16() & 0x7FF);

    QByteArray frame;
    SimFrame::appendU16(&frame, quint16(payload.size() + 10));
    SimFrame::appendU8(&frame, (control & 0x08) ? 2 : 1);
    SimFrame::appendU16(&frame, type);
    SimFrame::appendU32(&frame, loginId);
    SimFrame::appendU16(&frame, sequence);
    frame.append(payload);
    frame.append('\0');
    SimFrame::fixChecksum(&frame);
    return frame;
}

// What any device answer must be, whatever the request was.
void checkAnswer(const QByteArray& request, const QByteArray& answer, const SimDevice& device)
{
    if (request.size() < SimFrame::MinFrame) {
        require(answer.isEmpty());
        return;
    }
    require(answer.size() >= SimFrame::MinFrame && answer.size() <= SimFrame::MaxDatagram);
    require(SimFrame::checksumOk(answer));
    SimFrame::Header header;
    require(SimFrame::readHeader(answer, &header));
    require(header.length == answer.size() - 2);
    require(header.version == 1);
    require(header.type == SimFrame::readU16(request, 3));
    require(header.sequence == SimFrame::readU16(request, 9));
    const quint32 code = header.loginId;
    require(code == 0 || code == 1 || (code >= 9 && code <= 13));
    if (code != 0)
        require(answer.size() == SimFrame::MinFrame); // an error carries no payload
    if (code == 0 && header.type == SimDevice::Authentication) {
        require(answer.size() == SimFrame::MinFrame + 4);
        require(device.loginId() != 0 && SimFrame::readU32(answer, 11) == device.loginId());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    SimDevice device;
    while (!input.atEnd()) {
        const quint8 control = input.byte();
        QByteArray request;
        switch (control & 3) {
        case 0:
            request = input.bytes(input.u16() & 0x7FF);
            if ((control & 0x04) && !request.isEmpty())
                SimFrame::fixChecksum(&request);
            if (!SimFrame::checksumOk(request))
                continue; // dropped unanswered, as the simulator does
            break;
        case 2:
            switch ((control >> 2) & 3) {
            case 0:
                device.forgetLogin();
                break;
            case 1:
                device.setUpdateMode(true);
                break;
            case 2:
                device.setUpdateMode(false);
                break;
            default:
                device.livelyStep();
                break;
            }
            continue;
        default:
            request = builtRequest(input, control, device);
            break;
        }
        if (request.size() > SimFrame::MaxDatagram)
            continue; // never read whole by the simulator's socket
        checkAnswer(request, device.answer(request), device);
    }
    return 0;
}
