#ifndef RESPONSEGETPGMOUTPUTSELECT_H
#define RESPONSEGETPGMOUTPUTSELECT_H

#include "ResponseMsg.h"

// Programme output selection, two raw bytes.
class ResponseGetPGMOutputSelect : public ResponseMsg
{
public:
    ResponseGetPGMOutputSelect();
    ~ResponseGetPGMOutputSelect() override;

    quint8 selection(int index) const { return index >= 0 && index < 2 ? m_selection[index] : 0xFF; }

protected:
    void decodePayload() override;

private:
    quint8 m_selection[2] = { 0xFF, 0xFF };
};

#endif // RESPONSEGETPGMOUTPUTSELECT_H
