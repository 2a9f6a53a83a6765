#include "PluginCheck.h"

#include "AcoGpioInfo.h"
#include "AlarmRows.h"
#include "CliExitCode.h"
#include "DeviceSession.h"
#include "DiveVodVersion.h"
#include "RemoteACOConnectThread.h"

#include <QElapsedTimer>
#include <QJsonArray>

#include <limits>

namespace {
constexpr int kChannels = 6;

bool parseNumber(const QString& text, double& value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok;
}
} // namespace

bool PluginCheck::Range::Parse(const QString& text, Range& range)
{
    range = Range();
    range.text = text;
    if (text.isEmpty())
        return true;
    QString body = text;
    if (body.startsWith(QLatin1Char('@'))) {
        range.inside = true;
        body.remove(0, 1);
    }
    const int colon = body.indexOf(QLatin1Char(':'));
    const QString startText = colon < 0 ? QStringLiteral("0") : body.left(colon);
    const QString endText = colon < 0 ? body : body.mid(colon + 1);
    if (startText == QLatin1String("~"))
        range.noStart = true;
    else if (!parseNumber(startText, range.start))
        return false;
    if (endText.isEmpty())
        range.noEnd = true;
    else if (!parseNumber(endText, range.end))
        return false;
    if (!range.noStart && !range.noEnd && range.start > range.end)
        return false;
    range.set = true;
    return true;
}

bool PluginCheck::Range::Alerts(double value) const
{
    if (!set)
        return false;
    const bool within = (noStart || value >= start) && (noEnd || value <= end);
    return inside ? within : !within;
}

QString PluginCheck::StateName(State state)
{
    static const char* const names[] = { "OK", "WARNING", "CRITICAL", "UNKNOWN" };
    return QLatin1String(names[state]);
}

PluginCheck::State PluginCheck::StateForExitCode(int code)
{
    switch (code) {
    case ExitOk:
        return Ok;
    case ExitOffline:
    case ExitUpgrading:
    case ExitRequestFailed:
        return Critical;
    default:
        return Unknown;
    }
}

QString PluginCheck::Outcome::Line() const
{
    QString line = QStringLiteral("DIVEVOD %1 - %2").arg(StateName(state), text);
    if (!perfData.isEmpty())
        line += QStringLiteral(" | ") + perfData;
    return line;
}

QJsonObject PluginCheck::Outcome::Json() const
{
    return { { "state", StateName(state) }, { "exitCode", int(state) }, { "text", text }, { "perfData", perfData } };
}

bool PluginCheck::SetThresholds(const QString& warningText, const QString& criticalText, QString& error)
{
    if (!Range::Parse(warningText, warning) || !Range::Parse(criticalText, critical)) {
        error = QStringLiteral("a threshold is not a range (N, N:, ~:N, N:M or @N:M, in ms).");
        return false;
    }
    return true;
}

PluginCheck::Outcome PluginCheck::Run(const QString& address, int userType, const QString& password,
                                      double timeLimitSeconds) const
{
    Outcome outcome;
    DeviceSession session(timeLimitSeconds);
    QString message;
    const int login = session.Login(address, userType, password, message);
    const auto givenUp = [&] { return QStringLiteral("%1 no answer within %2 s").arg(address).arg(timeLimitSeconds); };
    if (login != ExitOk) {
        outcome.state = StateForExitCode(login);
        outcome.text = session.TimedOut() ? givenUp() : QStringLiteral("%1 %2").arg(address, message);
        return outcome;
    }

    DiveVodNetClient& client = session.Client();
    AcoGpioInfo state;
    QElapsedTimer clock;
    clock.start();
    const int stateRead = client.GetAcoGpioInfo(state);
    const double rttMs = double(clock.nsecsElapsed()) / 1e6;
    QString pcb;
    QString firmware;
    QString addresses[4];
    QString passwords[4];
    if (stateRead != 0 || client.GetVersion(pcb, firmware) != 0
        || client.GetRemoteDevice(addresses[0], passwords[0]) != 0
        || client.GetSlaveDevice(addresses + 1, passwords + 1) != 0) {
        outcome.state = Critical;
        outcome.text = session.TimedOut() ? givenUp() : QStringLiteral("%1 no answer after the login").arg(address);
        return outcome;
    }

    // The device has answered; the partners' probes are bounded by their own time-outs.
    session.Disarm();
    QStringList critical;
    QStringList warning;
    if (!state.ps1Led)
        critical << QStringLiteral("PS1 off");
    if (!state.ps2Led)
        critical << QStringLiteral("PS2 off");
    for (int i = 0; i < kChannels; ++i) {
        // The 4x1 front has no fifth input.
        if (!((state.gpioRedMask >> i) & 1u) || (state.panelType == 1 && i == 4))
            continue;
        const QString group = state.panelType == 0 ? AlarmRows::GroupName(i, 0) + QLatin1Char(' ') : QString();
        critical << group + AlarmRows::AlarmTypeName(i, QStringLiteral("LED"), state.panelType) + QLatin1Char(' ')
                + AlarmRows::ChannelLedText((state.gpioGreenMask >> i) & 1u, true);
    }
    if (firmware != QLatin1String(DIVEVOD_VERSION))
        warning << QStringLiteral("firmware %1, not %2").arg(firmware, QLatin1String(DIVEVOD_VERSION));
    QStringList probed;
    for (const QString& partner : addresses) {
        if (!RemoteACOConnectThread::IsPartnerAddress(partner) || probed.contains(partner))
            continue;
        probed << partner;
        if (!DeviceSession::ProbePartner(partner))
            warning << AlarmRows::RemoteAcoEntry(partner, false, QDateTime()).alarmType + QStringLiteral(" Lost");
    }
    const QString rttText = QStringLiteral("rtt %1 ms").arg(rttMs, 0, 'f', 3);
    if (this->critical.Alerts(rttMs))
        critical << rttText;
    else if (this->warning.Alerts(rttMs))
        warning << rttText;

    outcome.perfData
        = QStringLiteral("rtt=%1ms;%2;%3;0;").arg(rttMs, 0, 'f', 3).arg(this->warning.text, this->critical.text);
    if (!critical.isEmpty())
        outcome.state = Critical;
    else if (!warning.isEmpty())
        outcome.state = Warning;
    else
        outcome.state = Ok;
    const QStringList problems = critical + warning;
    outcome.text = problems.isEmpty()
        ? QStringLiteral("%1 firmware %2, %3 partner(s) answer").arg(address, firmware).arg(probed.size())
        : QStringLiteral("%1 %2").arg(address, problems.join(QStringLiteral(", ")));
    return outcome;
}
