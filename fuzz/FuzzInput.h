#ifndef FUZZINPUT_H
#define FUZZINPUT_H

#include <QByteArray>
#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// A broken promise is a finding: say which, and abort so that libFuzzer keeps the input.
#define require(condition)                                                                                             \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: %s does not hold\n", __FILE__, __LINE__, #condition);                         \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

// The fuzzer's bytes read as a stream of choices; past the end every read gives zeros (or nothing).
class FuzzInput
{
public:
    FuzzInput(const uint8_t* data, size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool atEnd() const { return m_position >= m_size; }
    quint8 byte() { return atEnd() ? 0 : m_data[m_position++]; }
    quint16 u16()
    {
        const quint16 high = byte();
        return quint16((high << 8) | byte());
    }
    quint32 u32()
    {
        const quint32 high = u16();
        return (high << 16) | u16();
    }
    // Up to `count` bytes; fewer at the end of the input.
    void take(quint8* dest, size_t count)
    {
        const size_t available = std::min(count, m_size - std::min(m_position, m_size));
        if (available == 0)
            return;
        std::memcpy(dest, m_data + m_position, available);
        m_position += available;
    }
    QByteArray bytes(int count)
    {
        QByteArray out(std::max(0, std::min(count, int(m_size - std::min(m_position, m_size)))), '\0');
        take(reinterpret_cast<quint8*>(out.data()), size_t(out.size()));
        return out;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
};

#endif // FUZZINPUT_H
