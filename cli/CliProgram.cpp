#include "CliProgram.h"

#include "AlarmRows.h"
#include "CliExitCode.h"
#include "DeviceReport.h"
#include "DeviceSession.h"
#include "ParamCommand.h"
#include "PasswordSource.h"
#include "PluginCheck.h"
#include "StopSignals.h"
#include "WatchCommand.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {
void print(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void printJson(const QJsonObject& object)
{
    print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
}

bool isCheck(const CliOptions& options)
{
    return options.command == QLatin1String("check");
}

// The name of a record's red inputs, as the alarm rows name them.
QString redInputs(const AcoGpioInfo& state)
{
    QStringList names;
    for (int i = 0; i < 6; ++i) {
        if (((state.gpioRedMask >> i) & 1u) && !(state.panelType == 1 && i == 4))
            names << AlarmRows::AlarmTypeName(i, QStringLiteral("LED"), state.panelType)
                    + (state.panelType == 0 ? QStringLiteral(" (%1)").arg(AlarmRows::GroupName(i, 0)) : QString());
    }
    return names.isEmpty() ? QStringLiteral("-") : names.join(QStringLiteral(", "));
}
} // namespace

int CliProgram::LogIn(DeviceSession& session) const
{
    QString message;
    const int login = session.Login(options.address, options.userType, password, message);
    return login == ExitOk ? ExitOk : Fail(login, message);
}

int CliProgram::Fail(int code, const QString& message) const
{
    std::fprintf(stderr, "divevod-cli: %s\n", qPrintable(message));
    if (isCheck(options)) {
        // A plugin answers on standard output and within its four states, even for bad input.
        PluginCheck::Outcome outcome;
        outcome.state = PluginCheck::StateForExitCode(code);
        outcome.text = message;
        print(outcome.Line() + QLatin1Char('\n'));
        return outcome.state;
    }
    return code;
}

int CliProgram::Run(const QStringList& arguments)
{
    if (!options.Parse(arguments)) {
        if (!options.output.isEmpty()) {
            print(options.output);
            return ExitOk;
        }
        return Fail(options.exitCode, options.error);
    }
    QString error;
    if (!PasswordSource::Read("DIVEVOD_PASSWORD", "--password-file", options.passwordFile, password, error))
        return Fail(ExitNoPassword, error);
    return options.inventory.isEmpty() ? RunSingle() : RunInventory();
}

int CliProgram::RunSingle()
{
    if (options.command == QLatin1String("watch"))
        return RunWatch();
    if (options.command == QLatin1String("get"))
        return RunGet();
    if (options.command == QLatin1String("set"))
        return RunSet();
    if (isCheck(options)) {
        PluginCheck check;
        QString error;
        if (!check.SetThresholds(options.warning, options.critical, error))
            return Fail(ExitUsage, error);
        const PluginCheck::Outcome outcome = check.Run(options.address, options.userType, password, options.timeout);
        if (options.format == CliOptions::Format::Json) {
            QJsonObject object = outcome.Json();
            object.insert("address", options.address);
            printJson(object);
        } else {
            print(outcome.Line() + QLatin1Char('\n'));
        }
        return outcome.state;
    }
    const InventoryRunner::Result result = Query(options.address);
    if (result.exitCode != ExitOk)
        return Fail(result.exitCode, result.error);
    if (options.format == CliOptions::Format::Json) {
        QJsonObject object = result.json;
        object.insert("address", options.address);
        printJson(object);
        return ExitOk;
    }
    print(result.cells.join(QString()));
    return ExitOk;
}

InventoryRunner::Result CliProgram::Query(const QString& address) const
{
    InventoryRunner::Result result;
    if (!CliOptions::IsIpv4Address(address)) {
        result.exitCode = ExitBadAddress;
        result.error = QStringLiteral("\"%1\" is not an IPv4 address.").arg(address);
        return result;
    }
    DeviceSession session;
    result.exitCode = session.Login(address, options.userType, password, result.error);
    if (result.exitCode != ExitOk)
        return result;
    DeviceReport::Information info;
    if (DeviceReport::ReadInformation(session.Client(), info) != 0) {
        result.exitCode = ExitRequestFailed;
        result.error = QStringLiteral("the device did not answer the information reads.");
        return result;
    }
    const bool inventory = !options.inventory.isEmpty();
    if (options.command == QLatin1String("info")) {
        result.json = DeviceReport::InformationJson(info);
        result.cells = inventory ? QStringList { info.moduleType, info.productSN,       info.runMode,
                                                 info.pcbVersion, info.firmwareVersion, info.ipAddress }
                                 : QStringList { DeviceReport::InformationText(info) };
        return result;
    }
    AcoGpioInfo state;
    if (DeviceReport::ReadState(session.Client(), state) != 0) {
        result.exitCode = ExitRequestFailed;
        result.error = QStringLiteral("the device did not answer the status reads.");
        return result;
    }
    const QVector<AlarmRecord> rows = AlarmRows::FullStateEntries(state, QDateTime::currentDateTime());
    result.json = DeviceReport::StateJson(state, rows);
    result.json.insert("information", DeviceReport::InformationJson(info));
    result.cells = inventory
        ? QStringList { AlarmRows::PowerText(state.ps1Led),        AlarmRows::PowerText(state.ps2Led),
                        AlarmRows::PanelTypeName(state.panelType), AlarmRows::EnabledText(state.keyLock),
                        AlarmRows::EnabledText(state.autoMode),    redInputs(state) }
        : QStringList { DeviceReport::InformationText(info), QStringLiteral("\n"), DeviceReport::StateText(rows) };
    return result;
}

int CliProgram::RunInventory()
{
    QVector<InventoryRunner::Unit> units;
    QString error;
    if (!InventoryRunner::ReadFile(options.inventory, units, error))
        return Fail(ExitInventory, error);
    PluginCheck check;
    if (isCheck(options) && !check.SetThresholds(options.warning, options.critical, error))
        return Fail(ExitUsage, error);

    const auto query = [&](const InventoryRunner::Unit& unit) {
        if (!isCheck(options))
            return Query(unit.address);
        InventoryRunner::Result result;
        PluginCheck::Outcome outcome;
        if (CliOptions::IsIpv4Address(unit.address)) {
            outcome = check.Run(unit.address, options.userType, password, options.timeout);
        } else {
            outcome.state = PluginCheck::Unknown;
            outcome.text = QStringLiteral("\"%1\" is not an IPv4 address").arg(unit.address);
        }
        result.exitCode = outcome.state;
        result.cells = QStringList { PluginCheck::StateName(outcome.state), outcome.Line() };
        result.json = outcome.Json();
        return result;
    };
    const QVector<InventoryRunner::Result> results = InventoryRunner::Run(units, options.parallel, query);

    QVector<QStringList> table;
    if (options.command == QLatin1String("status"))
        table << QStringList { "NAME", "ADDRESS", "PS1", "PS2", "PANEL", "LOCK", "AUTO MODE", "RED INPUTS" };
    else if (options.command == QLatin1String("info"))
        table << QStringList { "NAME", "ADDRESS", "MODULE", "PRODUCT SN", "MODE", "PCB", "FIRMWARE", "IP ADDRESS" };
    else
        table << QStringList { "NAME", "ADDRESS", "STATE", "STATUS LINE" };
    int worst = 0;
    for (int i = 0; i < units.size(); ++i) {
        const InventoryRunner::Result& result = results[i];
        const QString name = units[i].name.isEmpty() ? QStringLiteral("-") : units[i].name;
        worst = std::max(worst, result.exitCode);
        const bool failed = !isCheck(options) && result.exitCode != ExitOk;
        if (options.format == CliOptions::Format::Json) {
            QJsonObject object
                = failed ? QJsonObject { { "exitCode", result.exitCode }, { "error", result.error } } : result.json;
            object.insert("name", units[i].name);
            object.insert("address", units[i].address);
            object.insert("ok", !failed);
            printJson(object);
            continue;
        }
        table << (QStringList { name, units[i].address } + (failed ? QStringList { result.error } : result.cells));
    }
    if (options.format != CliOptions::Format::Json)
        print(DeviceReport::Table(table));
    if (isCheck(options))
        return worst;
    return worst == ExitOk ? ExitOk : ExitSomeUnitsFailed;
}

int CliProgram::RunWatch()
{
    DeviceSession session;
    if (const int login = LogIn(session); login != ExitOk)
        return login;
    WatchCommand watch(&session.Client(), options.format);
    StopSignals stop;
    QObject::connect(&stop, &StopSignals::Received, &watch, &WatchCommand::Finish);
    QObject::connect(&watch, &WatchCommand::Finished, QCoreApplication::instance(), &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (options.seconds > 0)
        QTimer::singleShot(int(options.seconds * 1000), &watch, &WatchCommand::Finish);
    watch.Start();
    QCoreApplication::exec();
    watch.Finish();
    return watch.ExitCode();
}

int CliProgram::RunGet()
{
    DeviceSession session;
    if (const int login = LogIn(session); login != ExitOk)
        return login;
    DeviceReport::Parameters parameters;
    if (DeviceReport::ReadParameters(session.Client(), parameters) != 0)
        return Fail(ExitRequestFailed, QStringLiteral("the device did not answer the parameter reads."));
    if (options.format == CliOptions::Format::Json)
        printJson(DeviceReport::ParametersJson(parameters));
    else
        print(DeviceReport::ParametersText(parameters));
    return ExitOk;
}

int CliProgram::RunSet()
{
    ParamCommand command;
    QString error;
    if (const int code = command.Prepare(options.setArguments, error); code != ExitOk)
        return Fail(code, error);
    if (options.userType != 0)
        return Fail(ExitNotAdmin, QStringLiteral("only admin may change parameters."));
    if (command.NeedsPartnerPassword()) {
        QString partnerPassword;
        if (!PasswordSource::Read("DIVEVOD_PARTNER_PASSWORD", "--partner-password-file", options.partnerPasswordFile,
                                  partnerPassword, error))
            return Fail(ExitNoPassword, error);
        command.SetPartnerPassword(partnerPassword);
    }
    DeviceSession session;
    if (const int login = LogIn(session); login != ExitOk)
        return login;
    if (const int code = command.Apply(session.Client(), error); code != ExitOk)
        return Fail(code, error);
    DeviceReport::Parameters parameters;
    if (DeviceReport::ReadParameters(session.Client(), parameters) != 0)
        return Fail(ExitRequestFailed, QStringLiteral("written, but the device did not answer the read-back."));
    print(DeviceReport::ParametersText(parameters));
    return ExitOk;
}
