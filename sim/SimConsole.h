#ifndef SIMCONSOLE_H
#define SIMCONSOLE_H

#include "DeviceSimulator.h"
#include "SimDeviceState.h"

#include <QList>
#include <QString>
#include <QStringList>

// The command-line face of the simulator: start options and the commands read from standard input.
class SimConsole
{
public:
    struct PartnerOption
    {
        QString address;
        bool answering = true;
    };

    struct Options
    {
        QString bindAddress = QStringLiteral("127.0.0.1");
        quint16 port = 33904;
        SimDeviceState state;
        bool lively = false;
        bool noStdin = false;
        bool help = false;
        QList<PartnerOption> partners;
    };

    static constexpr quint16 PartnerPort = 33903;
    static constexpr int MaxPartners = 4; // the main remote device and three slaves

    // Parses the arguments (without the program name). False with a message on a bad option.
    static bool parseArguments(const QStringList& arguments, Options* options, QString* error);
    static QString usage();
    static QString commandHelp();

    explicit SimConsole(DeviceSimulator& simulator);

    // Runs one command line and returns what to print (one or more lines, no trailing newline).
    // *quit becomes true on "quit".
    QString execute(const QString& line, bool* quit);

    static QString describe(const SimDeviceState& state);

private:
    QString setField(const QString& field, const QString& value);
    QString show() const;

    DeviceSimulator& m_simulator;
};

#endif // SIMCONSOLE_H
