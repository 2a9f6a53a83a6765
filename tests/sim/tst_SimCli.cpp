// The divevod-sim program: its options, its stdin commands and how it ends.
#include "RawUdpClient.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

// A loopback net of this test's own: partners need the fixed port 33903.
const QString DeviceAddress = QStringLiteral("127.0.233.1");
const QString PartnerA = QStringLiteral("127.0.233.2");
const QString PartnerB = QStringLiteral("127.0.233.3");
const quint16 PartnerPort = 33903;

// Frame readers and builders shared by the simulator tests.
constexpr auto u32At = &RawUdpClient::u32At;
constexpr auto errorOf = &RawUdpClient::errorOf;
constexpr auto payloadOf = &RawUdpClient::payloadOf;
constexpr auto authPayload = &RawUdpClient::authPayload;

} // namespace

class tst_SimCli : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QProcess> process;
    std::unique_ptr<RawUdpClient> client;
    QString output;
    quint16 port = 0;
    quint16 seq = 0;

    // Reads standard output until `text` shows up or the time is over.
    bool waitForOutput(const QString& text, int timeoutMs = 3000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!output.contains(text) && timer.elapsed() < timeoutMs) {
            process->waitForReadyRead(50);
            output += QString::fromLocal8Bit(process->readAllStandardOutput());
        }
        return output.contains(text);
    }

    bool launch(const QStringList& arguments)
    {
        output.clear();
        process.reset(new QProcess);
        process->setProgram(QStringLiteral(DIVEVOD_SIM_PROGRAM));
        process->setArguments(arguments);
        process->start();
        if (!process->waitForStarted(3000))
            return false;
        if (!waitForOutput(QStringLiteral("device listening on")))
            return false;
        const QRegularExpressionMatch match
            = QRegularExpression(QStringLiteral("device listening on ([0-9.]+):(\\d+)")).match(output);
        port = match.hasMatch() ? quint16(match.captured(2).toUInt()) : 0;
        return port != 0 && match.captured(1) == DeviceAddress;
    }

    // Sends one command line and waits for its reply.
    bool command(const QString& line, const QString& reply)
    {
        output.clear();
        process->write((line + QLatin1Char('\n')).toLocal8Bit());
        return waitForOutput(reply);
    }

    QByteArray call(quint16 type, quint32 loginId, const QByteArray& payload = {}, bool* answered = nullptr,
                    int timeoutMs = 1000)
    {
        return client->ask(RawUdpClient::request(type, loginId, ++seq, payload), DeviceAddress, port, answered,
                           timeoutMs);
    }

    quint32 login(const QByteArray& user, const QByteArray& password)
    {
        const QByteArray answer = call(2, 0, authPayload(user, password));
        return answer.size() == 16 && errorOf(answer) == 0 ? u32At(answer, 11) : 0;
    }

    bool hello(const QString& partner, int timeoutMs = 1000)
    {
        QByteArray answer;
        return client->send(RawUdpClient::request(1, 0, ++seq), partner, PartnerPort)
            && client->receive(&answer, timeoutMs) && errorOf(answer) == 0;
    }

private slots:
    void init()
    {
        client.reset(new RawUdpClient(QStringLiteral("127.0.0.1")));
        QVERIFY(client->isValid());
    }

    void cleanup()
    {
        if (process && process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(3000);
        }
        process.reset();
        client.reset();
    }

    void help()
    {
        QProcess p;
        p.start(QStringLiteral(DIVEVOD_SIM_PROGRAM), { QStringLiteral("--help") });
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        const QString text = QString::fromLocal8Bit(p.readAllStandardOutput());
        for (const char* expected : { "Usage: divevod-sim", "--bind ADDR", "--port N", "--panel 2x1|4x1|others",
                                      "--firmware X.Y.Z", "--work-mode N", "--admin-password P", "--guest-password P",
                                      "--lively", "--partner ADDR[:silent]", "--no-stdin", "set FIELD VALUE", "quit" })
            QVERIFY2(text.contains(QLatin1String(expected)), expected);
    }

    void badOptions_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("non-loopback bind") << QStringList{"--bind", "192.168.1.100"} << "only listens on loopback";
        QTest::newRow("any address") << QStringList{"--bind=0.0.0.0"} << "only listens on loopback";
        QTest::newRow("bind without value") << QStringList{"--bind"} << "needs a value";
        QTest::newRow("bad port") << QStringList{"--port", "70000"} << "bad port";
        QTest::newRow("bad panel") << QStringList{"--panel", "3x1"} << "bad panel type";
        QTest::newRow("bad firmware") << QStringList{"--firmware", "1.2"} << "bad firmware version";
        QTest::newRow("bad work mode") << QStringList{"--work-mode", "x"} << "bad work mode";
        QTest::newRow("foreign partner") << QStringList{"--partner", "10.0.0.5"} << "loopback";
        QTest::newRow("same partner twice")
            << QStringList{"--partner", "127.0.233.2", "--partner", "127.0.233.2:silent"} << "given twice";
        QTest::newRow("five partners")
            << QStringList{"--partner", "127.0.233.2", "--partner", "127.0.233.3", "--partner", "127.0.233.4",
                           "--partner", "127.0.233.5", "--partner", "127.0.233.6"} << "at most 4";
        QTest::newRow("unknown option") << QStringList{"--colour"} << "unknown option";
        QTest::newRow("value on a flag") << QStringList{"--lively=yes"} << "takes no value";
        // clang-format on
    }

    void badOptions()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QProcess p;
        p.start(QStringLiteral(DIVEVOD_SIM_PROGRAM), arguments);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 2);
        const QString error = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(p.readAllStandardOutput().isEmpty());
    }

    void startOptions()
    {
        QVERIFY(launch({ "--bind", DeviceAddress, "--port", "0", "--panel", "4x1", "--firmware", "1.2.30",
                         "--work-mode", "2", "--admin-password", "222222", "--guest-password", "333333", "--partner",
                         PartnerA, "--partner", PartnerB + ":silent" }));
        QVERIFY(waitForOutput(QStringLiteral("partner 127.0.233.2:33903 answering (main remote device)")));
        QVERIFY(waitForOutput(QStringLiteral("partner 127.0.233.3:33903 silent (slave 1)")));

        QCOMPARE(errorOf(call(2, 0, authPayload("admin", "123456"))), 12u);
        const quint32 id = login("admin", "222222");
        QVERIFY(id != 0);
        QVERIFY(login("guest", "333333") != 0);
        const quint32 current = login("admin", "222222");
        QCOMPARE(errorOf(call(63, id)), 13u); // replaced by the newer login

        QCOMPARE(payloadOf(call(62, current)).toHex(), QByteArray("000101"));
        QCOMPARE(payloadOf(call(23, current)).mid(8).toHex(), QByteArray("0102001e"));
        QCOMPARE(payloadOf(call(3, current)).toHex(), QByteArray("0200"));
        // First partner is the main remote device, the next is slave 1; both with admin password 123456.
        QCOMPARE(payloadOf(call(65, current)).toHex(), QByteArray("7f00e90206313233343536"));
        QCOMPARE(payloadOf(call(70, current)).toHex(),
                 QByteArray("7f00e90306313233343536"
                            "0000000000"
                            "0000000000"));

        QVERIFY(hello(PartnerA));
        QVERIFY(!hello(PartnerB, 300));

        QVERIFY(command(QStringLiteral("quit"), QStringLiteral("ok bye")));
        QVERIFY(process->waitForFinished(3000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
    }

    void stdinCommands()
    {
        QVERIFY(launch({ "--bind", DeviceAddress, "--port", "0", "--partner", PartnerA }));
        const quint32 id = login("admin", "123456");
        QVERIFY(id != 0);

        QVERIFY(command(QStringLiteral("set keyLock 1"), QStringLiteral("ok keyLock=1")));
        QVERIFY(command(QStringLiteral("set autoMode off"), QStringLiteral("ok autoMode=off")));
        QVERIFY(command(QStringLiteral("set panelType others"), QStringLiteral("ok panelType=others")));
        QCOMPARE(payloadOf(call(62, id)).toHex(), QByteArray("010002"));

        QVERIFY(command(QStringLiteral("set ps2Led 0"), QStringLiteral("ok ps2Led=0")));
        QVERIFY(command(QStringLiteral("set localLed 2"), QStringLiteral("ok localLed=2")));
        QVERIFY(command(QStringLiteral("set remoteLed 2"), QStringLiteral("ok remoteLed=2")));
        QVERIFY(command(QStringLiteral("set green 0x3f"), QStringLiteral("ok gpioGreenMask=0x3f")));
        QVERIFY(command(QStringLiteral("set red 3"), QStringLiteral("ok gpioRedMask=3")));
        QVERIFY(command(QStringLiteral("set keyMask 0x20"), QStringLiteral("ok keyMask=0x20")));
        QVERIFY(command(QStringLiteral("set ipReset 1"), QStringLiteral("ok ipReset=1")));
        QVERIFY(command(QStringLiteral("set upgrade 1"), QStringLiteral("ok upgrade=1")));
        QVERIFY(command(QStringLiteral("set remCtrl 1"), QStringLiteral("ok remCtrl=1")));
        QCOMPARE(payloadOf(call(63, id)).toHex(),
                 QByteArray("0100020202"
                            "3f0320"
                            "010101"));
        QVERIFY(command(QStringLiteral("set phaseAlign 2"), QStringLiteral("ok phaseAlign=2")));
        QCOMPARE(payloadOf(call(71, id)).toHex(), QByteArray("02"));

        QVERIFY(command(QStringLiteral("set firmware 2.0.7"), QStringLiteral("ok firmwareVersion=2.0.7")));
        QCOMPARE(payloadOf(call(23, id)).mid(8).toHex(), QByteArray("02000007"));
        QVERIFY(command(QStringLiteral("set isDefault 1"), QStringLiteral("ok isDefault=1")));
        QCOMPARE(payloadOf(call(26, id)).right(1).toHex(), QByteArray("01"));
        QVERIFY(command(QStringLiteral("set slave2Address 127.0.233.9"), QStringLiteral("ok slave2Address")));
        QCOMPARE(payloadOf(call(70, id)).mid(5, 4).toHex(), QByteArray("7f00e909"));
        QVERIFY(command(QStringLiteral("set serial QX00000001-00000002"), QStringLiteral("ok serial")));
        QCOMPARE(payloadOf(call(5, id)).mid(4, 8).toHex(), QByteArray("5158000000010002"));

        QVERIFY(command(QStringLiteral("set keyLock maybe"), QStringLiteral("error: bad value for keyLock")));
        QVERIFY(command(QStringLiteral("set nonsense 1"), QStringLiteral("error: unknown field nonsense")));
        QVERIFY(command(QStringLiteral("frobnicate"), QStringLiteral("error: unknown command frobnicate")));

        QVERIFY(command(QStringLiteral("show"), QStringLiteral("passwords admin")));
        QVERIFY(output.contains(QStringLiteral("keyLock 1 autoMode 0 panelType 2 (others)")));
        QVERIFY(output.contains(QStringLiteral("firmware 2.0.7")));
        QVERIFY(output.contains(QStringLiteral("partner 127.0.233.2 answering")));

        // Login handling.
        QVERIFY(command(QStringLiteral("forget"), QStringLiteral("ok login forgotten")));
        QCOMPARE(errorOf(call(71, id)), 13u);
        const quint32 renewed = login("admin", "123456");
        QVERIFY(renewed != 0);
        QVERIFY(command(QStringLiteral("set adminPassword 999999"), QStringLiteral("ok adminPassword=999999")));
        QCOMPARE(login("admin", "123456"), 0u);
        QVERIFY(login("admin", "999999") != 0);
        const quint32 current = login("admin", "999999");

        // Answering and update mode.
        bool answered = true;
        QVERIFY(command(QStringLiteral("silent"), QStringLiteral("ok silent")));
        call(1, 0, {}, &answered, 300);
        QVERIFY(!answered);
        QVERIFY(command(QStringLiteral("answer"), QStringLiteral("ok answering")));
        call(1, 0, {}, &answered);
        QVERIFY(answered);
        QVERIFY(command(QStringLiteral("update on"), QStringLiteral("ok update mode on")));
        QCOMPARE(payloadOf(call(3, current)).toHex(), QByteArray("0000"));
        QVERIFY(command(QStringLiteral("update off"), QStringLiteral("ok update mode off")));
        QCOMPARE(payloadOf(call(3, current)).toHex(), QByteArray("0100"));

        // Faults and delay.
        QVERIFY(command(QStringLiteral("fault error 1 5"), QStringLiteral("ok fault error")));
        QCOMPARE(errorOf(call(71, current)), 5u);
        QCOMPARE(errorOf(call(71, current)), 0u);
        QVERIFY(command(QStringLiteral("fault bogus"), QStringLiteral("error: fault NAME")));
        QVERIFY(command(QStringLiteral("delay 200"), QStringLiteral("ok delay 200 ms")));
        QElapsedTimer timer;
        timer.start();
        call(1, 0, {}, &answered);
        QVERIFY(answered);
        QVERIFY(timer.elapsed() >= 180);
        QVERIFY(command(QStringLiteral("delay 0"), QStringLiteral("ok delay 0 ms")));

        // Partners.
        QVERIFY(hello(PartnerA));
        QVERIFY(command(QStringLiteral("partner 127.0.233.2 off"), QStringLiteral("ok partner 127.0.233.2 silent")));
        QVERIFY(!hello(PartnerA, 300));
        QVERIFY(command(QStringLiteral("partner 127.0.233.2 on"), QStringLiteral("ok partner 127.0.233.2 answering")));
        QVERIFY(hello(PartnerA));
        QVERIFY(command(QStringLiteral("partner 127.0.233.7 on"), QStringLiteral("error: no partner 127.0.233.7")));

        QVERIFY(command(QStringLiteral("received 2"), QStringLiteral("frames received")));
        QVERIFY(command(QStringLiteral("help"), QStringLiteral("quit")));

        // The last command needs no newline: end of input still runs it, then the program ends.
        process->write("set keyLock 0");
        process->closeWriteChannel();
        QVERIFY(waitForOutput(QStringLiteral("ok keyLock=0")));
        QVERIFY(process->waitForFinished(3000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
    }

    void livelyCommand()
    {
        QVERIFY(launch({ "--bind", DeviceAddress, "--port", "0" }));
        const quint32 id = login("admin", "123456");
        const QByteArray first = payloadOf(call(63, id));
        QCOMPARE(first.size(), 11);
        QVERIFY(command(QStringLiteral("lively on 20"), QStringLiteral("ok lively on every 20 ms")));
        QElapsedTimer timer;
        timer.start();
        bool changed = false;
        while (!changed && timer.elapsed() < 3000) {
            changed = payloadOf(call(63, id)) != first;
            QTest::qSleep(20);
        }
        QVERIFY(changed);
        QVERIFY(command(QStringLiteral("lively off"), QStringLiteral("ok lively off")));
        QTest::qSleep(50);
        const QByteArray settled = payloadOf(call(63, id));
        QTest::qSleep(100);
        QCOMPARE(payloadOf(call(63, id)), settled);
    }

    void livelyOption()
    {
        QVERIFY(launch({ "--bind", DeviceAddress, "--port", "0", "--lively" }));
        QVERIFY(waitForOutput(QStringLiteral("lively")));
        QVERIFY(command(QStringLiteral("show"), QStringLiteral("passwords")));
    }

    void endOfInputEnds()
    {
        QVERIFY(launch({ "--bind", DeviceAddress, "--port", "0" }));
        process->closeWriteChannel();
        QVERIFY(process->waitForFinished(3000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
    }

    void noStdinRunsUntilSignalled_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void noStdinRunsUntilSignalled()
    {
        QFETCH(int, signal);
        QVERIFY(launch({ "--bind", DeviceAddress, "--port", "0", "--no-stdin", "--partner", PartnerA }));
        process->closeWriteChannel();
        QVERIFY(!process->waitForFinished(500));
        bool answered = false;
        call(1, 0, {}, &answered);
        QVERIFY(answered);
        QVERIFY(hello(PartnerA));

        QCOMPARE(::kill(pid_t(process->processId()), signal), 0);
        QVERIFY(process->waitForFinished(3000));
        QCOMPARE(process->exitStatus(), QProcess::NormalExit);
        QCOMPARE(process->exitCode(), 0);
        output += QString::fromLocal8Bit(process->readAllStandardOutput());
        QVERIFY(output.contains(QStringLiteral("signal received")));
    }

    void portInUse()
    {
        QVERIFY(launch({ "--bind", DeviceAddress, "--port", "0" }));
        QProcess second;
        second.start(QStringLiteral(DIVEVOD_SIM_PROGRAM),
                     { "--bind", DeviceAddress, "--port", QString::number(port), "--no-stdin" });
        QVERIFY(second.waitForFinished(5000));
        QCOMPARE(second.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(second.readAllStandardError()).contains(QStringLiteral("cannot answer on")));
    }
};

QTEST_GUILESS_MAIN(tst_SimCli)
#include "tst_SimCli.moc"
