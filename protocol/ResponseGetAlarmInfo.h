#ifndef RESPONSEGETALARMINFO_H
#define RESPONSEGETALARMINFO_H

#include "ResponseMsg.h"

// Alarm information: four entries of a 32-bit and two 16-bit numbers, then a 32-bit number and a flag.
class ResponseGetAlarmInfo : public ResponseMsg
{
public:
    ResponseGetAlarmInfo();
    ~ResponseGetAlarmInfo() override;

    static constexpr int kEntryCount = 4;

    struct Entry
    {
        quint32 value = 0;
        quint16 first = 0;
        quint16 second = 0;
    };

    const Entry& entry(int index) const { return m_entries[qBound(0, index, kEntryCount - 1)]; }
    quint32 summary() const { return m_summary; }
    bool active() const { return m_active; }

protected:
    void decodePayload() override;

private:
    Entry m_entries[kEntryCount];
    quint32 m_summary = 0;
    bool m_active = false;
};

#endif // RESPONSEGETALARMINFO_H
