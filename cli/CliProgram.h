#ifndef CLIPROGRAM_H
#define CLIPROGRAM_H

#include "CliOptions.h"
#include "InventoryRunner.h"

#include <QString>
#include <QStringList>

// divevod-cli from the command line to the exit code: parses, reads the password, then runs one
// subcommand against one unit or an inventory. Errors go to stderr, results to stdout.
class DeviceSession;

class CliProgram
{
public:
    int Run(const QStringList& arguments);

private:
    int RunSingle();
    int RunInventory();
    int RunWatch();
    int RunGet();
    int RunSet();
    // One unit of status, info or check, as a table row and a JSON object.
    InventoryRunner::Result Query(const QString& address) const;
    int Fail(int code, const QString& message) const;
    // Logs the session in with the options' address, user and password: ExitOk, or the failure's code.
    int LogIn(DeviceSession& session) const;

    CliOptions options;
    QString password;
};

#endif // CLIPROGRAM_H
