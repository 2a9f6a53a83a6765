#ifndef SIMPLERESPONSE_H
#define SIMPLERESPONSE_H

#include "ResponseMsg.h"

// An answer without typed fields: acknowledgements, every answer with a device error code,
// and frames too short to carry a payload.
class SimpleResponse : public ResponseMsg
{
public:
    SimpleResponse();
    ~SimpleResponse() override;

protected:
    void decodePayload() override;
};

#endif // SIMPLERESPONSE_H
