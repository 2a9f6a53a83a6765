#ifndef RESPONSEGETAUTOSWITCHTRIGGER_H
#define RESPONSEGETAUTOSWITCHTRIGGER_H

#include "ResponseMsg.h"

// Automatic switch triggers: four entries of a 32-bit number, two 16-bit numbers and a byte.
class ResponseGetAutoSwitchTrigger : public ResponseMsg
{
public:
    ResponseGetAutoSwitchTrigger();
    ~ResponseGetAutoSwitchTrigger() override;

    static constexpr int kEntryCount = 4;

    struct Entry
    {
        quint32 value = 0;
        quint16 first = 0;
        quint16 second = 0;
        quint8 mode = 255;
    };

    const Entry& entry(int index) const { return m_entries[qBound(0, index, kEntryCount - 1)]; }

protected:
    void decodePayload() override;

private:
    Entry m_entries[kEntryCount];
};

#endif // RESPONSEGETAUTOSWITCHTRIGGER_H
