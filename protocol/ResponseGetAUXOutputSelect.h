#ifndef RESPONSEGETAUXOUTPUTSELECT_H
#define RESPONSEGETAUXOUTPUTSELECT_H

#include "ResponseMsg.h"

// Auxiliary output selection, one byte.
class ResponseGetAUXOutputSelect : public ResponseMsg
{
public:
    ResponseGetAUXOutputSelect();
    ~ResponseGetAUXOutputSelect() override;

    quint8 selection() const { return m_selection; }

protected:
    void decodePayload() override;

private:
    quint8 m_selection = 255;
};

#endif // RESPONSEGETAUXOUTPUTSELECT_H
