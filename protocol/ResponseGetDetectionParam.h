#ifndef RESPONSEGETDETECTIONPARAM_H
#define RESPONSEGETDETECTIONPARAM_H

#include "ResponseMsg.h"

// Detection parameters: 39 numbers of mixed widths (98 bytes), read in their order on the wire.
// Flags read 1 for any nonzero byte.
class ResponseGetDetectionParam : public ResponseMsg
{
public:
    ResponseGetDetectionParam();
    ~ResponseGetDetectionParam() override;

    static constexpr int kFieldCount = 39;

    // The width in bytes of field `index` on the wire (1 for flags and bytes).
    static int fieldWidth(int index);
    // Field `index` (0 to 38) as a number; flags as 0 or 1.
    quint32 field(int index) const;

protected:
    void decodePayload() override;

private:
    quint32 m_fields[kFieldCount] = {};
};

#endif // RESPONSEGETDETECTIONPARAM_H
