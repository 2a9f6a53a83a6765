#include "AppClock.h"

namespace {
std::function<QDateTime()>& source()
{
    static std::function<QDateTime()> current;
    return current;
}
} // namespace

QDateTime AppClock::Now()
{
    return source() ? source()() : QDateTime::currentDateTime();
}

void AppClock::SetSource(std::function<QDateTime()> newSource)
{
    source() = std::move(newSource);
}
