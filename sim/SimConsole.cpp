#include "SimConsole.h"

#include "SimDevice.h"

#include <QRegularExpression>

#include <algorithm>
#include <functional>
#include <map>

namespace {

bool parseNumber(const QString& text, quint32 max, quint32* value)
{
    const QString t = text.trimmed();
    bool ok = false;
    qulonglong number = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        number = t.mid(2).toULongLong(&ok, 16);
    else
        number = t.toULongLong(&ok, 10);
    if (!ok || number > max)
        return false;
    *value = quint32(number);
    return true;
}

bool parseBool(const QString& text, bool* value)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("1") || t == QLatin1String("on") || t == QLatin1String("true")
        || t == QLatin1String("yes")) {
        *value = true;
        return true;
    }
    if (t == QLatin1String("0") || t == QLatin1String("off") || t == QLatin1String("false")
        || t == QLatin1String("no")) {
        *value = false;
        return true;
    }
    return false;
}

bool parsePanel(const QString& text, quint8* value)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("2x1") || t == QLatin1String("d2x1")) {
        *value = 0;
        return true;
    }
    if (t == QLatin1String("4x1")) {
        *value = 1;
        return true;
    }
    if (t == QLatin1String("others") || t == QLatin1String("other")) {
        *value = 2;
        return true;
    }
    quint32 number = 0;
    if (!parseNumber(t, 255, &number))
        return false;
    *value = quint8(number);
    return true;
}

QString panelName(quint8 panelType)
{
    switch (panelType) {
    case 0:
        return QStringLiteral("2x1");
    case 1:
        return QStringLiteral("4x1");
    default:
        return QStringLiteral("others");
    }
}

bool parseFirmware(const QString& text, quint32* value)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 3)
        return false;
    quint32 major = 0, minor = 0, build = 0;
    if (!parseNumber(parts[0], 255, &major) || !parseNumber(parts[1], 255, &minor)
        || !parseNumber(parts[2], 65535, &build))
        return false;
    *value = (major << 24) | (minor << 16) | build;
    return true;
}

QString firmwareText(quint32 version)
{
    return QStringLiteral("%1.%2.%3").arg(version >> 24).arg((version >> 16) & 0xFF).arg(version & 0xFFFF);
}

// "QX00001234-00000042" or 16 hex digits.
bool parseSerial(const QString& text, QByteArray* serial)
{
    const QString t = text.trimmed();
    static const QRegularExpression textForm(QStringLiteral("^([A-Za-z]{2})(\\d{8})-(\\d{8})$"));
    const QRegularExpressionMatch match = textForm.match(t);
    if (match.hasMatch()) {
        const quint32 first = match.captured(2).toUInt();
        const quint32 second = match.captured(3).toUInt();
        if (second > 0xFFFF)
            return false;
        QByteArray bytes = match.captured(1).toLatin1();
        bytes.append(char(first >> 24)).append(char(first >> 16)).append(char(first >> 8)).append(char(first));
        bytes.append(char(second >> 8)).append(char(second));
        *serial = bytes;
        return true;
    }
    static const QRegularExpression hexForm(QStringLiteral("^[0-9A-Fa-f]{16}$"));
    if (hexForm.match(t).hasMatch()) {
        *serial = QByteArray::fromHex(t.toLatin1());
        return true;
    }
    return false;
}

QString faultName(DeviceSimulator::Fault fault)
{
    using Fault = DeviceSimulator::Fault;
    switch (fault) {
    case Fault::None:
        return QStringLiteral("none");
    case Fault::Silent:
        return QStringLiteral("silent");
    case Fault::WrongChecksum:
        return QStringLiteral("wrong-checksum");
    case Fault::WrongSequence:
        return QStringLiteral("wrong-sequence");
    case Fault::Oversize:
        return QStringLiteral("oversize");
    case Fault::Empty:
        return QStringLiteral("empty");
    case Fault::ShortFrame:
        return QStringLiteral("short");
    case Fault::ErrorCode:
        return QStringLiteral("error");
    case Fault::FromOtherHost:
        return QStringLiteral("other-host");
    case Fault::Twice:
        return QStringLiteral("twice");
    case Fault::Late:
        return QStringLiteral("late");
    }
    return QString();
}

// "SILENT_MS ANSWER_MS" or "off" from words[first] on.
bool parseFlap(const QStringList& words, int first, quint32* silentMs, quint32* answeringMs)
{
    if (words.size() == first + 1 && words[first].toLower() == QLatin1String("off")) {
        *silentMs = *answeringMs = 0;
        return true;
    }
    return words.size() == first + 2 && parseNumber(words[first], 3600000, silentMs)
        && parseNumber(words[first + 1], 3600000, answeringMs);
}

QString hex8(quint8 value)
{
    return QStringLiteral("0x%1").arg(value, 2, 16, QLatin1Char('0'));
}

QString onOff(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

bool parseFault(const QString& text, DeviceSimulator::Fault* fault)
{
    using Fault = DeviceSimulator::Fault;
    static const std::map<QString, Fault> names = {
        { QStringLiteral("none"), Fault::None },
        { QStringLiteral("silent"), Fault::Silent },
        { QStringLiteral("wrong-checksum"), Fault::WrongChecksum },
        { QStringLiteral("wrong-sequence"), Fault::WrongSequence },
        { QStringLiteral("oversize"), Fault::Oversize },
        { QStringLiteral("empty"), Fault::Empty },
        { QStringLiteral("short"), Fault::ShortFrame },
        { QStringLiteral("error"), Fault::ErrorCode },
        { QStringLiteral("other-host"), Fault::FromOtherHost },
        { QStringLiteral("twice"), Fault::Twice },
        { QStringLiteral("late"), Fault::Late },
    };
    const auto it = names.find(text.trimmed().toLower());
    if (it == names.end())
        return false;
    *fault = it->second;
    return true;
}

} // namespace

bool SimConsole::parseArguments(const QStringList& arguments, Options* options, QString* error)
{
    for (int i = 0; i < arguments.size(); ++i) {
        QString name = arguments[i];
        QString value;
        bool hasInlineValue = false;
        if (name.startsWith(QLatin1String("--")) && name.contains(QLatin1Char('='))) {
            value = name.section(QLatin1Char('='), 1);
            name = name.section(QLatin1Char('='), 0, 0);
            hasInlineValue = true;
        }
        auto takeValue = [&](QString* out) {
            if (hasInlineValue) {
                *out = value;
                return true;
            }
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("option %1 needs a value").arg(name);
                return false;
            }
            *out = arguments[++i];
            return true;
        };
        auto noValue = [&]() {
            if (hasInlineValue) {
                *error = QStringLiteral("option %1 takes no value").arg(name);
                return false;
            }
            return true;
        };

        QString v;
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            if (!noValue())
                return false;
            options->help = true;
        } else if (name == QLatin1String("--bind")) {
            if (!takeValue(&v))
                return false;
            if (!DeviceSimulator::isLoopbackAddress(v)) {
                *error = QStringLiteral("refusing to bind to %1: this test tool only listens on loopback "
                                        "addresses (127.0.0.0/8)")
                             .arg(v);
                return false;
            }
            options->bindAddress = v;
        } else if (name == QLatin1String("--port")) {
            quint32 port = 0;
            if (!takeValue(&v))
                return false;
            if (!parseNumber(v, 65535, &port)) {
                *error = QStringLiteral("bad port: %1").arg(v);
                return false;
            }
            options->port = quint16(port);
        } else if (name == QLatin1String("--panel")) {
            if (!takeValue(&v))
                return false;
            const QString t = v.trimmed().toLower();
            if (t == QLatin1String("2x1"))
                options->state.panelType = 0;
            else if (t == QLatin1String("4x1"))
                options->state.panelType = 1;
            else if (t == QLatin1String("others"))
                options->state.panelType = 2;
            else {
                *error = QStringLiteral("bad panel type: %1 (2x1, 4x1 or others)").arg(v);
                return false;
            }
        } else if (name == QLatin1String("--firmware")) {
            if (!takeValue(&v))
                return false;
            if (!parseFirmware(v, &options->state.firmwareVersion)) {
                *error = QStringLiteral("bad firmware version: %1 (X.Y.Z)").arg(v);
                return false;
            }
        } else if (name == QLatin1String("--work-mode")) {
            quint32 mode = 0;
            if (!takeValue(&v))
                return false;
            if (!parseNumber(v, 255, &mode)) {
                *error = QStringLiteral("bad work mode: %1 (0 to 255)").arg(v);
                return false;
            }
            options->state.workMode = quint8(mode);
        } else if (name == QLatin1String("--admin-password")) {
            if (!takeValue(&v))
                return false;
            options->state.adminPassword = v;
        } else if (name == QLatin1String("--guest-password")) {
            if (!takeValue(&v))
                return false;
            options->state.guestPassword = v;
        } else if (name == QLatin1String("--lively")) {
            if (!noValue())
                return false;
            options->lively = true;
        } else if (name == QLatin1String("--no-stdin")) {
            if (!noValue())
                return false;
            options->noStdin = true;
        } else if (name == QLatin1String("--partner")) {
            if (!takeValue(&v))
                return false;
            PartnerOption partner;
            partner.address = v;
            if (v.endsWith(QLatin1String(":silent"))) {
                partner.address = v.left(v.size() - 7);
                partner.answering = false;
            }
            if (!DeviceSimulator::isLoopbackAddress(partner.address)) {
                *error = QStringLiteral("refusing partner %1: partners must have loopback addresses "
                                        "(127.0.0.0/8)")
                             .arg(partner.address);
                return false;
            }
            for (const PartnerOption& other : options->partners) {
                if (other.address == partner.address) {
                    *error = QStringLiteral("partner %1 given twice").arg(partner.address);
                    return false;
                }
            }
            if (options->partners.size() >= MaxPartners) {
                *error = QStringLiteral("at most %1 partners (one remote device and three slaves)").arg(MaxPartners);
                return false;
            }
            options->partners.append(partner);
        } else {
            *error = QStringLiteral("unknown option: %1").arg(arguments[i]);
            return false;
        }
    }

    // The first partner is the main remote device, the others are slaves 1 to 3.
    const QString partnerPassword = QStringLiteral("123456");
    for (int i = 0; i < options->partners.size(); ++i) {
        if (i == 0) {
            options->state.remoteAddress = options->partners[i].address;
            options->state.remotePassword = partnerPassword;
        } else {
            options->state.slaveAddress[i - 1] = options->partners[i].address;
            options->state.slavePassword[i - 1] = partnerPassword;
        }
    }
    return true;
}

QString SimConsole::usage()
{
    return QStringLiteral(
               "Usage: divevod-sim [options]\n"
               "Simulates an ACO GPIO device for DiveVod on a loopback UDP port.\n"
               "\n"
               "Options:\n"
               "  --bind ADDR              address to answer on (default 127.0.0.1; loopback only)\n"
               "  --port N                 UDP port (default 33904; 0 picks a free one)\n"
               "  --panel 2x1|4x1|others   front-panel type (default 2x1)\n"
               "  --firmware X.Y.Z         firmware version (default 1.1.46)\n"
               "  --work-mode N            work mode (default 1; 0 is the update firmware)\n"
               "  --admin-password P       password of user admin (default 123456)\n"
               "  --guest-password P       password of user guest (default 111111)\n"
               "  --lively                 change LEDs, keys and phase align now and then\n"
               "  --partner ADDR[:silent]  a partner ACO device answering Hello on ADDR:33903; the first is the\n"
               "                           main remote device, further ones slaves 1 to 3 (repeatable, at most 4)\n"
               "  --no-stdin               ignore standard input and run until SIGINT or SIGTERM\n"
               "  --help                   this text\n"
               "\n")
        + commandHelp();
}

QString SimConsole::commandHelp()
{
    return QStringLiteral(
        "Commands on standard input, one per line:\n"
        "  show                     print the device state\n"
        "  set FIELD VALUE          change a field: keyLock autoMode panelType ps1Led ps2Led localLed\n"
        "                           remoteLed green red keyMask phaseAlign ipReset upgrade remCtrl\n"
        "                           workMode firmware pcb productCode serial isDefault address subnetMask\n"
        "                           gateway adminPassword guestPassword remoteAddress remotePassword\n"
        "                           slave1Address slave1Password (2, 3 likewise)\n"
        "  forget                   forget the login (next request gets error 13)\n"
        "  forget every N           every Nth request finds the login forgotten (0: off)\n"
        "  silent | answer          stop / resume answering\n"
        "  update on|off            enter / leave update mode (work mode 0)\n"
        "  lively on|off [MS]       demo scenario, one change every MS ms (default 1500)\n"
        "  partner ADDR on|off      let a partner answer Hello or fall silent\n"
        "  partner ADDR flap SILENT_MS ANSWER_MS | partner ADDR flap off\n"
        "                           the partner falls silent and answers in turns\n"
        "  fault NAME [COUNT [CODE|MS]] [type T]\n"
        "                           misbehave on the next COUNT answers (default 1), only to requests of\n"
        "                           message type T if given: none silent wrong-checksum wrong-sequence\n"
        "                           oversize empty short error (CODE, default 1) other-host twice\n"
        "                           late (MS after the request, default its time-out + 500 ms)\n"
        "  drop PERCENT [SEED]      lose that share of the answers at random (the device still acts)\n"
        "  flap SILENT_MS ANSWER_MS | flap off\n"
        "                           fall silent and answer in turns, silent first\n"
        "  delay MS                 delay every answer by MS ms\n"
        "  received [N]             the last N received frames (default 10)\n"
        "  help                     this text\n"
        "  quit                     exit");
}

SimConsole::SimConsole(DeviceSimulator& simulator)
    : m_simulator(simulator)
{
}

QString SimConsole::execute(const QString& line, bool* quit)
{
    *quit = false;
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty())
        return {};
    const QStringList words = trimmed.split(QRegularExpression(QStringLiteral("\\s+")));
    const QString command = words[0].toLower();
    const auto argument = [&](int index) { return index < words.size() ? words[index] : QString(); };

    if (command == QLatin1String("quit") || command == QLatin1String("exit")) {
        *quit = true;
        return QStringLiteral("ok bye");
    }
    if (command == QLatin1String("help"))
        return commandHelp();
    if (command == QLatin1String("show"))
        return show();
    if (command == QLatin1String("set")) {
        if (words.size() < 2)
            return QStringLiteral("error: set FIELD VALUE");
        // The value is the rest of the line, so that a password may be set empty.
        const QString value = trimmed.section(QRegularExpression(QStringLiteral("\\s+")), 2);
        return setField(words[1], value);
    }
    if (command == QLatin1String("forget")) {
        if (words.size() == 1) {
            m_simulator.forgetLogin();
            return QStringLiteral("ok login forgotten");
        }
        quint32 every = 0;
        if (words.size() != 3 || argument(1).toLower() != QLatin1String("every")
            || !parseNumber(argument(2), 1000000, &every))
            return QStringLiteral("error: forget [every N]");
        m_simulator.setForgetEvery(int(every));
        return every == 0 ? QStringLiteral("ok forget every off")
                          : QStringLiteral("ok forget the login every %1 requests").arg(every);
    }
    if (command == QLatin1String("silent")) {
        m_simulator.setAnswering(false);
        return QStringLiteral("ok silent");
    }
    if (command == QLatin1String("answer")) {
        m_simulator.setAnswering(true);
        return QStringLiteral("ok answering");
    }
    if (command == QLatin1String("update")) {
        bool on = false;
        if (!parseBool(argument(1), &on))
            return QStringLiteral("error: update on|off");
        m_simulator.setUpdateMode(on);
        return on ? QStringLiteral("ok update mode on (work mode 0)") : QStringLiteral("ok update mode off");
    }
    if (command == QLatin1String("lively")) {
        bool on = false;
        quint32 period = 1500;
        if (!parseBool(argument(1), &on) || (words.size() > 2 && !parseNumber(argument(2), 3600000, &period)))
            return QStringLiteral("error: lively on|off [MS]");
        m_simulator.setLively(on, int(period));
        return on ? QStringLiteral("ok lively on every %1 ms").arg(period) : QStringLiteral("ok lively off");
    }
    if (command == QLatin1String("partner")) {
        const QString address = argument(1);
        bool on = false;
        quint32 silentMs = 0, answeringMs = 0;
        const bool flap = argument(2).toLower() == QLatin1String("flap");
        if (flap ? !parseFlap(words, 3, &silentMs, &answeringMs) : (words.size() != 3 || !parseBool(argument(2), &on)))
            return QStringLiteral("error: partner ADDR on|off|flap SILENT_MS ANSWER_MS|flap off");
        if (!m_simulator.partnerAddresses().contains(address))
            return QStringLiteral("error: no partner %1").arg(address);
        if (flap) {
            m_simulator.setPartnerFlapping(address, int(silentMs), int(answeringMs));
            return silentMs == 0 && answeringMs == 0
                ? QStringLiteral("ok partner %1 flap off").arg(address)
                : QStringLiteral("ok partner %1 flap silent %2 ms, answering %3 ms")
                      .arg(address)
                      .arg(silentMs)
                      .arg(answeringMs);
        }
        m_simulator.setPartnerAnswering(address, on);
        return QStringLiteral("ok partner %1 %2")
            .arg(address, on ? QStringLiteral("answering") : QStringLiteral("silent"));
    }
    if (command == QLatin1String("fault")) {
        // fault NAME [COUNT [CODE|MS]] [type T]
        QStringList args = words.mid(1);
        int type = DeviceSimulator::AnyType;
        const int typeAt = args.indexOf(QRegularExpression(QStringLiteral("^type$"),
                                                           QRegularExpression::CaseInsensitiveOption));
        quint32 typeNumber = 0;
        const QString usage = QStringLiteral("error: fault NAME [COUNT [CODE|MS]] [type T]");
        if (typeAt >= 0) {
            if (typeAt != args.size() - 2 || !parseNumber(args[typeAt + 1], 65535, &typeNumber))
                return usage;
            type = int(typeNumber);
            args = args.mid(0, typeAt);
        }
        DeviceSimulator::Fault fault = DeviceSimulator::Fault::None;
        quint32 count = 1;
        quint32 value = 1;
        if (args.isEmpty() || args.size() > 3 || !parseFault(args[0], &fault)
            || (args.size() > 1 && !parseNumber(args[1], 1000000, &count))
            || (args.size() > 2 && !parseNumber(args[2], 0xFFFFFFFFu, &value)))
            return usage;
        if (fault == DeviceSimulator::Fault::Late)
            m_simulator.setLateBy(args.size() > 2 ? int(std::min<quint32>(value, 600000)) : 0);
        m_simulator.setFault(fault, int(count), fault == DeviceSimulator::Fault::ErrorCode ? value : 1, type);
        if (fault == DeviceSimulator::Fault::None || count == 0)
            return QStringLiteral("ok no fault");
        return QStringLiteral("ok fault %1 on the next %2 answers%3")
            .arg(faultName(fault))
            .arg(count)
            .arg(type == DeviceSimulator::AnyType ? QString() : QStringLiteral(" to type %1").arg(type));
    }
    if (command == QLatin1String("drop")) {
        bool ok = false;
        const double percent = argument(1).toDouble(&ok);
        quint32 seed = 1;
        if (!ok || percent < 0 || percent > 100 || words.size() > 3
            || (words.size() == 3 && !parseNumber(argument(2), 0xFFFFFFFFu, &seed)))
            return QStringLiteral("error: drop PERCENT [SEED]");
        m_simulator.setDropShare(percent / 100.0, seed);
        return QStringLiteral("ok drop %1% of the answers (seed %2)").arg(percent).arg(seed);
    }
    if (command == QLatin1String("flap")) {
        quint32 silentMs = 0, answeringMs = 0;
        if (!parseFlap(words, 1, &silentMs, &answeringMs))
            return QStringLiteral("error: flap SILENT_MS ANSWER_MS|off");
        m_simulator.setFlapping(int(silentMs), int(answeringMs));
        if (silentMs == 0 && answeringMs == 0)
            return QStringLiteral("ok flap off");
        return QStringLiteral("ok flap silent %1 ms, answering %2 ms").arg(silentMs).arg(answeringMs);
    }
    if (command == QLatin1String("delay")) {
        quint32 ms = 0;
        if (!parseNumber(argument(1), 600000, &ms))
            return QStringLiteral("error: delay MS");
        m_simulator.setReplyDelay(int(ms));
        return QStringLiteral("ok delay %1 ms").arg(ms);
    }
    if (command == QLatin1String("received")) {
        quint32 count = 10;
        if (words.size() > 1 && !parseNumber(argument(1), 10000, &count))
            return QStringLiteral("error: received [N]");
        const QList<DeviceSimulator::Received> all = m_simulator.received();
        QStringList lines;
        lines << QStringLiteral("ok %1 frames received").arg(all.size());
        for (int i = std::max(0, all.size() - int(count)); i < all.size(); ++i) {
            const DeviceSimulator::Received& r = all[i];
            lines << QStringLiteral("  type %1 login %2 seq %3%4 %5")
                         .arg(r.type)
                         .arg(r.loginId, 8, 16, QLatin1Char('0'))
                         .arg(r.sequence)
                         .arg(r.intact ? QString() : QStringLiteral(" (dropped)"))
                         .arg(QString::fromLatin1(r.frame.toHex(' ')));
        }
        return lines.join(QLatin1Char('\n'));
    }
    return QStringLiteral("error: unknown command %1 (try help)").arg(words[0]);
}

QString SimConsole::setField(const QString& field, const QString& value)
{
    using Setter = std::function<bool(SimDeviceState&, const QString&)>;
    const auto flag = [](bool SimDeviceState::*member) {
        return Setter([member](SimDeviceState& s, const QString& v) { return parseBool(v, &(s.*member)); });
    };
    const auto byte = [](quint8 SimDeviceState::*member) {
        return Setter([member](SimDeviceState& s, const QString& v) {
            quint32 n = 0;
            if (!parseNumber(v, 255, &n))
                return false;
            s.*member = quint8(n);
            return true;
        });
    };
    const auto word = [](quint32 SimDeviceState::*member) {
        return Setter(
            [member](SimDeviceState& s, const QString& v) { return parseNumber(v, 0xFFFFFFFFu, &(s.*member)); });
    };
    const auto address = [](quint32 SimDeviceState::*member) {
        return Setter(
            [member](SimDeviceState& s, const QString& v) { return SimDevice::parseAddress(v, &(s.*member)); });
    };
    const auto text = [](QString SimDeviceState::*member) {
        return Setter([member](SimDeviceState& s, const QString& v) {
            s.*member = v;
            return true;
        });
    };
    const auto partnerAddress = [](QString* (*slot)(SimDeviceState&)) {
        return Setter([slot](SimDeviceState& s, const QString& v) {
            quint32 parsed = 0;
            if (!SimDevice::parseAddress(v, &parsed))
                return false;
            *slot(s) = SimDevice::addressText(parsed);
            return true;
        });
    };
    const auto partnerText = [](QString* (*slot)(SimDeviceState&)) {
        return Setter([slot](SimDeviceState& s, const QString& v) {
            *slot(s) = v;
            return true;
        });
    };

    static const std::map<QString, QString> aliases = {
        { QStringLiteral("green"), QStringLiteral("gpioGreenMask") },
        { QStringLiteral("red"), QStringLiteral("gpioRedMask") },
        { QStringLiteral("pcb"), QStringLiteral("pcbVersion") },
        { QStringLiteral("firmware"), QStringLiteral("firmwareVersion") },
    };

    const std::map<QString, Setter> setters = {
        { QStringLiteral("keyLock"), flag(&SimDeviceState::keyLock) },
        { QStringLiteral("autoMode"), flag(&SimDeviceState::autoMode) },
        { QStringLiteral("panelType"),
          Setter([](SimDeviceState& s, const QString& v) { return parsePanel(v, &s.panelType); }) },
        { QStringLiteral("ps1Led"), flag(&SimDeviceState::ps1Led) },
        { QStringLiteral("ps2Led"), flag(&SimDeviceState::ps2Led) },
        { QStringLiteral("localLed"), byte(&SimDeviceState::localLed) },
        { QStringLiteral("remoteLed"), byte(&SimDeviceState::remoteLed) },
        { QStringLiteral("gpioGreenMask"), byte(&SimDeviceState::gpioGreenMask) },
        { QStringLiteral("gpioRedMask"), byte(&SimDeviceState::gpioRedMask) },
        { QStringLiteral("keyMask"), byte(&SimDeviceState::keyMask) },
        { QStringLiteral("phaseAlign"), byte(&SimDeviceState::phaseAlign) },
        { QStringLiteral("ipReset"), flag(&SimDeviceState::ipReset) },
        { QStringLiteral("upgrade"), flag(&SimDeviceState::upgrade) },
        { QStringLiteral("remCtrl"), flag(&SimDeviceState::remCtrl) },
        { QStringLiteral("workMode"), byte(&SimDeviceState::workMode) },
        { QStringLiteral("firmwareVersion"), Setter([](SimDeviceState& s, const QString& v) {
              return parseFirmware(v, &s.firmwareVersion) || parseNumber(v, 0xFFFFFFFFu, &s.firmwareVersion);
          }) },
        { QStringLiteral("pcbVersion"), word(&SimDeviceState::pcbVersion) },
        { QStringLiteral("productCode"), word(&SimDeviceState::productCode) },
        { QStringLiteral("serial"),
          Setter([](SimDeviceState& s, const QString& v) { return parseSerial(v, &s.serial); }) },
        { QStringLiteral("isDefault"), flag(&SimDeviceState::isDefault) },
        { QStringLiteral("address"), address(&SimDeviceState::address) },
        { QStringLiteral("subnetMask"), address(&SimDeviceState::subnetMask) },
        { QStringLiteral("gateway"), address(&SimDeviceState::gateway) },
        { QStringLiteral("adminPassword"), text(&SimDeviceState::adminPassword) },
        { QStringLiteral("guestPassword"), text(&SimDeviceState::guestPassword) },
        { QStringLiteral("remoteAddress"), partnerAddress([](SimDeviceState& s) { return &s.remoteAddress; }) },
        { QStringLiteral("remotePassword"), partnerText([](SimDeviceState& s) { return &s.remotePassword; }) },
        { QStringLiteral("slave1Address"), partnerAddress([](SimDeviceState& s) { return &s.slaveAddress[0]; }) },
        { QStringLiteral("slave2Address"), partnerAddress([](SimDeviceState& s) { return &s.slaveAddress[1]; }) },
        { QStringLiteral("slave3Address"), partnerAddress([](SimDeviceState& s) { return &s.slaveAddress[2]; }) },
        { QStringLiteral("slave1Password"), partnerText([](SimDeviceState& s) { return &s.slavePassword[0]; }) },
        { QStringLiteral("slave2Password"), partnerText([](SimDeviceState& s) { return &s.slavePassword[1]; }) },
        { QStringLiteral("slave3Password"), partnerText([](SimDeviceState& s) { return &s.slavePassword[2]; }) },
    };

    QString name = field;
    for (const auto& alias : aliases) {
        if (alias.first.compare(name, Qt::CaseInsensitive) == 0)
            name = alias.second;
    }
    const Setter* setter = nullptr;
    for (const auto& entry : setters) {
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0) {
            name = entry.first;
            setter = &entry.second;
        }
    }
    if (!setter)
        return QStringLiteral("error: unknown field %1").arg(field);

    bool ok = false;
    m_simulator.modify([&](SimDeviceState& s) {
        SimDeviceState changed = s;
        ok = (*setter)(changed, value);
        if (ok)
            s = changed;
    });
    if (!ok)
        return QStringLiteral("error: bad value for %1: %2").arg(name, value);
    return QStringLiteral("ok %1=%2").arg(name, value);
}

QString SimConsole::describe(const SimDeviceState& s)
{
    QStringList lines;
    lines << QStringLiteral("product %1 serial %2 pcb 1.%3 firmware %4 workMode %5")
                 .arg(s.productCode)
                 .arg(SimDevice::serialText(s.serial))
                 .arg(s.pcbVersion)
                 .arg(firmwareText(s.firmwareVersion))
                 .arg(s.workMode);
    lines << QStringLiteral("net address %1 subnetMask %2 gateway %3 isDefault %4")
                 .arg(SimDevice::addressText(s.address), SimDevice::addressText(s.subnetMask),
                      SimDevice::addressText(s.gateway), onOff(s.isDefault));
    lines << QStringLiteral("keys keyLock %1 autoMode %2 panelType %3 (%4) keyMask %5")
                 .arg(onOff(s.keyLock), onOff(s.autoMode))
                 .arg(s.panelType)
                 .arg(panelName(s.panelType), hex8(s.keyMask));
    lines << QStringLiteral("leds ps1Led %1 ps2Led %2 localLed %3 remoteLed %4 green %5 red %6 phaseAlign %7")
                 .arg(onOff(s.ps1Led), onOff(s.ps2Led))
                 .arg(s.localLed)
                 .arg(s.remoteLed)
                 .arg(hex8(s.gpioGreenMask), hex8(s.gpioRedMask))
                 .arg(s.phaseAlign);
    lines << QStringLiteral("flags ipReset %1 upgrade %2 remCtrl %3")
                 .arg(onOff(s.ipReset), onOff(s.upgrade), onOff(s.remCtrl));
    lines << QStringLiteral("remote %1 \"%2\" slaves %3 \"%4\", %5 \"%6\", %7 \"%8\"")
                 .arg(s.remoteAddress, s.remotePassword, s.slaveAddress[0], s.slavePassword[0], s.slaveAddress[1],
                      s.slavePassword[1], s.slaveAddress[2], s.slavePassword[2]);
    lines << QStringLiteral("passwords admin \"%1\" guest \"%2\"").arg(s.adminPassword, s.guestPassword);
    return lines.join(QLatin1Char('\n'));
}

QString SimConsole::show() const
{
    QStringList lines;
    lines << QStringLiteral("device %1:%2 %3 loginId 0x%4")
                 .arg(m_simulator.address())
                 .arg(m_simulator.port())
                 .arg(m_simulator.isAnswering() ? QStringLiteral("answering") : QStringLiteral("silent"))
                 .arg(m_simulator.loginId(), 8, 16, QLatin1Char('0'));
    lines << describe(m_simulator.state());
    const DeviceSimulator::FaultState f = m_simulator.faultState();
    lines << QStringLiteral("faults fault %1 count %2 type %3 errorCode %4 lateBy %5 delay %6 drop %7% "
                            "forgetEvery %8 flap %9/%10")
                 .arg(faultName(f.fault))
                 .arg(f.count)
                 .arg(f.type == DeviceSimulator::AnyType ? QStringLiteral("any") : QString::number(f.type))
                 .arg(f.errorCode)
                 .arg(f.lateByMs)
                 .arg(f.replyDelayMs)
                 .arg(f.dropShare * 100)
                 .arg(f.forgetEvery)
                 .arg(f.flapSilentMs)
                 .arg(f.flapAnsweringMs);
    for (const QString& partner : m_simulator.partnerAddresses()) {
        lines << QStringLiteral("partner %1 %2 hellos %3")
                     .arg(partner,
                          m_simulator.isPartnerAnswering(partner) ? QStringLiteral("answering")
                                                                  : QStringLiteral("silent"))
                     .arg(m_simulator.partnerHelloCount(partner));
    }
    return lines.join(QLatin1Char('\n'));
}
