#ifndef CLIEXITCODE_H
#define CLIEXITCODE_H

// divevod-cli's exit codes, one per cause (listed in --help). `check` keeps to the monitoring plugins'
// 0 to 3 instead and maps these causes onto them (CliExitCodes::PluginState).
enum CliExitCode {
    ExitOk = 0,
    ExitUsage = 2, // unknown subcommand, missing or surplus argument, bad option value
    ExitBadAddress = 3, // an address that is not a dotted IPv4 address
    ExitNoPassword = 4, // neither DIVEVOD_PASSWORD nor a readable --password-file
    ExitPasswordOnCommandLine = 5,
    ExitSocket = 6, // "Init Socket Error."
    ExitOffline = 7, // "Device is off-line."
    ExitUpgrading = 8, // "The device is upgrading."
    ExitLoginRefused = 9, // wrong password (or, for admin, REM-CTRL not pressed while booting)
    ExitRequestFailed = 10, // logged in, then a request was refused or not answered
    ExitInvalidValue = 11, // the parameter dialog's checks refuse the new value
    ExitNotAdmin = 12, // `set` as guest
    ExitInventory = 13, // the inventory file cannot be read or names no unit
    ExitSomeUnitsFailed = 14, // --inventory: at least one unit could not be queried
    ExitVersionMismatch = 15, // `watch`: the device runs other firmware; the session ends as in the window
};

#endif // CLIEXITCODE_H
