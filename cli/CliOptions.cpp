#include "CliOptions.h"

#include "CliExitCode.h"
#include "DiveVodVersion.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QRegularExpression>

namespace {
const char kDescription[] = R"(Reads, watches and checks one ACO GPIO device, or many, from the shell.

Subcommands:
  status ADDRESS [--json]           device information and every item's state, as the alarm rows name them
  info ADDRESS [--json]             module, serial number, versions and network, as Device Information shows them
  watch ADDRESS [--csv|--jsonl] [--seconds N]
                                    one line per alarm row, as the window logs them, until SIGINT/SIGTERM or N s
  get ADDRESS [--json]              key lock, auto mode, panel type and partner devices
  set ADDRESS lock on|off           change one parameter (admin only; the others are written back as read)
  set ADDRESS auto-mode on|off
  set ADDRESS panel-type d2x1|4x1   (only while auto mode is off, as in the parameter dialog)
  set ADDRESS partner N PARTNER-ADDRESS
                                    N = 0 main device, 1 to 3 slave devices; 0.0.0.0 empties the row; the
                                    partner's admin password from DIVEVOD_PARTNER_PASSWORD or
                                    --partner-password-file
  check ADDRESS [-w RANGE] [-c RANGE] [-t SECONDS]
                                    monitoring plugin: one status line with performance data
  status, info and check also take --inventory FILE instead of ADDRESS: one unit per line, "ADDRESS [NAME]",
  '#' starts a comment; the units are queried --parallel at a time and printed in file order.

Password: DIVEVOD_PASSWORD, or the first line of --password-file FILE (readable by its owner only); never
on the command line, where every user sees it with ps.

Exit codes:
  0  success
  2  usage: unknown subcommand, missing or surplus argument, bad option value
  3  an address that is not a dotted IPv4 address
  4  no password: DIVEVOD_PASSWORD unset and no readable --password-file
  5  a password given on the command line (refused)
  6  "Init Socket Error."
  7  "Device is off-line." (no answer)
  8  "The device is upgrading." (update mode)
  9  login refused (wrong password; as admin also: REM-CTRL not pressed while booting)
  10 the device refused or did not answer a request after the login
  11 the value is refused ("The Remote ACO IP address is invalid." / "... is repeated.", auto mode on)
  12 set as guest (admin only)
  13 the inventory file cannot be read or names no unit
  14 --inventory: at least one unit failed (its line says why)
  15 watch: the device runs other firmware; the session ends as in the window
check instead: 0 OK, 1 WARNING, 2 CRITICAL, 3 UNKNOWN (monitoring plugin conventions):
  CRITICAL: no answer, update mode, a power supply off, an input LED red; WARNING: other firmware, a
  partner device lost; either one by the round trip against -w/-c (ranges as the plugins take them, in ms);
  UNKNOWN: bad input, login refused.)";

struct CommandRule
{
    const char* name;
    bool inventory;
    QList<CliOptions::Format> formats;
};

const CommandRule kRules[] = {
    { "status", true, { CliOptions::Format::Text, CliOptions::Format::Json } },
    { "info", true, { CliOptions::Format::Text, CliOptions::Format::Json } },
    { "watch", false, { CliOptions::Format::Text, CliOptions::Format::Csv, CliOptions::Format::JsonLines } },
    { "get", false, { CliOptions::Format::Text, CliOptions::Format::Json } },
    { "set", false, { CliOptions::Format::Text } },
    { "check", true, { CliOptions::Format::Text, CliOptions::Format::Json } },
};

bool fail(CliOptions& options, int code, const QString& text)
{
    options.exitCode = code;
    options.error = text;
    return false;
}
} // namespace

QString CliOptions::HelpText()
{
    return QString::fromLatin1(kDescription);
}

bool CliOptions::Parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(HelpText());
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({ "h", "help" }, "Displays this help.");
    const QCommandLineOption version({ "V", "version" }, "Displays the version.");
    const QCommandLineOption json("json", "One JSON object (with --inventory: one JSON line per unit).");
    const QCommandLineOption csv("csv", "watch: CSV rows as the window's files hold them.");
    const QCommandLineOption jsonl("jsonl", "watch: one JSON object per row.");
    const QCommandLineOption seconds("seconds", "watch: end after N seconds.", "N");
    const QCommandLineOption inventoryOption("inventory", "status, info, check: the units listed in FILE.", "FILE");
    const QCommandLineOption parallel("parallel", "With --inventory: units queried at once (1 to 64, default 16).", "N",
                                      "16");
    const QCommandLineOption user("user", "admin or guest (default admin).", "USER", "admin");
    const QCommandLineOption passwordFileOption("password-file", "Read the password from FILE.", "FILE");
    const QCommandLineOption partnerFile("partner-password-file",
                                         "set partner: read the partner's admin password from FILE.", "FILE");
    const QCommandLineOption warning({ "w", "warning" }, "check: round-trip range for WARNING, in ms.", "RANGE");
    const QCommandLineOption critical({ "c", "critical" }, "check: round-trip range for CRITICAL, in ms.", "RANGE");
    const QCommandLineOption timeout({ "t", "timeout" },
                                     "check: seconds until a unit that does not answer is given "
                                     "up (default 10; partner probes take up to 2 s each on top).",
                                     "SECONDS", "10");
    QCommandLineOption password({ "p", "password" }, "refused", "PASSWORD");
    password.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({ help, version, json, csv, jsonl, seconds, inventoryOption, parallel, user, passwordFileOption,
                        partnerFile, warning, critical, timeout, password });
    parser.addPositionalArgument("subcommand", "status, info, watch, get, set or check.");
    parser.addPositionalArgument("address", "The device's IPv4 address.");

    const bool parsed = parser.parse(arguments);
    // Known early, so that `check` answers even a refused line as a plugin does.
    command = parser.positionalArguments().value(0);
    if (!parsed)
        return fail(*this, ExitUsage, parser.errorText());
    if (parser.isSet(password))
        return fail(*this, ExitPasswordOnCommandLine,
                    "a password on the command line is refused: every user of this computer can read it with ps. "
                    "Set DIVEVOD_PASSWORD or use --password-file FILE.");
    if (parser.isSet(help)) {
        output = parser.helpText();
        return false;
    }
    if (parser.isSet(version)) {
        output = QStringLiteral("divevod-cli %1\n").arg(QLatin1String(DIVEVOD_VERSION));
        return false;
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return fail(*this, ExitUsage, "no subcommand; see --help.");
    positional.removeFirst();
    const CommandRule* rule = nullptr;
    for (const CommandRule& candidate : kRules) {
        if (command == QLatin1String(candidate.name))
            rule = &candidate;
    }
    if (!rule)
        return fail(*this, ExitUsage, QStringLiteral("unknown subcommand \"%1\"; see --help.").arg(command));

    inventory = parser.value(inventoryOption);
    if (!inventory.isEmpty() && !rule->inventory)
        return fail(*this, ExitUsage, QStringLiteral("%1 does not take --inventory.").arg(command));
    if (inventory.isEmpty()) {
        if (positional.isEmpty())
            return fail(*this, ExitUsage, QStringLiteral("%1 needs an ADDRESS.").arg(command));
        address = positional.takeFirst();
    }
    if (command == QLatin1String("set")) {
        setArguments = positional;
        positional.clear();
        if (setArguments.isEmpty())
            return fail(*this, ExitUsage, "set needs a field and a value; see --help.");
    }
    if (!positional.isEmpty())
        return fail(*this, ExitUsage, QStringLiteral("unexpected argument \"%1\".").arg(positional.first()));

    const int formats = int(parser.isSet(json)) + int(parser.isSet(csv)) + int(parser.isSet(jsonl));
    if (formats > 1)
        return fail(*this, ExitUsage, "--json, --csv and --jsonl exclude each other.");
    format = parser.isSet(json) ? Format::Json
        : parser.isSet(csv)     ? Format::Csv
        : parser.isSet(jsonl)   ? Format::JsonLines
                                : Format::Text;
    if (!rule->formats.contains(format))
        return fail(*this, ExitUsage, QStringLiteral("%1 does not take that output format.").arg(command));

    const auto onlyFor = [&](const QCommandLineOption& option, const char* owner) {
        return !parser.isSet(option) || command == QLatin1String(owner);
    };
    if (!onlyFor(seconds, "watch") || !onlyFor(warning, "check") || !onlyFor(critical, "check")
        || !onlyFor(timeout, "check") || !onlyFor(partnerFile, "set"))
        return fail(*this, ExitUsage, QStringLiteral("an option that %1 does not take; see --help.").arg(command));
    if (parser.isSet(parallel) && inventory.isEmpty())
        return fail(*this, ExitUsage, "--parallel goes with --inventory.");

    bool ok = true;
    if (parser.isSet(seconds)) {
        this->seconds = parser.value(seconds).toDouble(&ok);
        if (!ok || this->seconds <= 0)
            return fail(*this, ExitUsage, "--seconds takes a number of seconds above 0.");
    }
    this->parallel = parser.value(parallel).toInt(&ok);
    if (!ok || this->parallel < 1 || this->parallel > 64)
        return fail(*this, ExitUsage, "--parallel takes 1 to 64.");
    this->timeout = parser.value(timeout).toDouble(&ok);
    if (!ok || this->timeout <= 0 || this->timeout > 3600)
        return fail(*this, ExitUsage, "--timeout takes seconds above 0 (at most 3600).");
    const QString userName = parser.value(user);
    if (userName != QLatin1String("admin") && userName != QLatin1String("guest"))
        return fail(*this, ExitUsage, "--user takes admin or guest.");
    userType = userName == QLatin1String("admin") ? 0 : 1;
    passwordFile = parser.value(passwordFileOption);
    partnerPasswordFile = parser.value(partnerFile);
    this->warning = parser.value(warning);
    this->critical = parser.value(critical);

    if (!address.isEmpty() && !IsIpv4Address(address))
        return fail(*this, ExitBadAddress,
                    QStringLiteral("\"%1\" is not an IPv4 address (four numbers 0 to 255 with dots).").arg(address));
    return true;
}

bool CliOptions::IsIpv4Address(const QString& text)
{
    // The parameter dialog's pattern: four dotted numbers 0 to 255 without leading zeros.
    static const QRegularExpression pattern(
        QStringLiteral(R"(\A(?:(?:25[0-5]|2[0-4]\d|1\d{2}|[1-9]?\d)\.){3}(?:25[0-5]|2[0-4]\d|1\d{2}|[1-9]?\d)\z)"));
    return pattern.match(text).hasMatch();
}
