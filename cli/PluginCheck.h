#ifndef PLUGINCHECK_H
#define PLUGINCHECK_H

#include <QJsonObject>
#include <QString>
#include <QStringList>

// `check`: one device judged after the monitoring plugins' conventions, with a status line
// "DIVEVOD STATE - text | rtt=...ms;warn;crit;0;" and the states 0 OK to 3 UNKNOWN.
class PluginCheck
{
public:
    enum State { Ok = 0, Warning = 1, Critical = 2, Unknown = 3 };

    // A threshold range as the plugins write it: "10" (alert above 10 or below 0), "10:" (below 10),
    // "~:10" (above 10), "10:20" (outside), "@10:20" (inside).
    struct Range
    {
        bool set = false;
        bool inside = false;
        bool noStart = false;
        bool noEnd = false;
        double start = 0;
        double end = 0;
        QString text;
        bool Alerts(double value) const;
        static bool Parse(const QString& text, Range& range);
    };

    struct Outcome
    {
        State state = Unknown;
        QString text; // without the "DIVEVOD STATE - " head and the performance data
        QString perfData; // empty when nothing was measured
        QString Line() const;
        QJsonObject Json() const;
    };

    // false when a range does not parse.
    bool SetThresholds(const QString& warning, const QString& critical, QString& error);
    Outcome Run(const QString& address, int userType, const QString& password, double timeLimitSeconds) const;

    static QString StateName(State state);
    // How a failure before or during the login counts.
    static State StateForExitCode(int code);

private:
    Range warning;
    Range critical;
};

#endif // PLUGINCHECK_H
