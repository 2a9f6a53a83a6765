// Both status panels: repainting from records, flashing, reset, language, and the input keys on the simulator.
#include "AcoGpioInfo.h"
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "DiveVodResources.h"
#include "GPIOStatus2x1.h"
#include "GPIOStatus4x1.h"
#include "LedStatusTimer.h"
#include "PanelStyles.h"
#include "StatusPanelLogic.h"

#include <QtTest>
#include <QtWidgets>

#include <numeric>

namespace {
// One status panel of either kind ("2x1", "4x1") behind a uniform face, so that each case runs on both.
struct PanelUnderTest
{
    template <class Panel> static PanelUnderTest Wrap(Panel* panel)
    {
        return { std::unique_ptr<QWidget>(panel), [panel](const AcoGpioInfo& info) { panel->OnRecvStatusInfo(info); },
                 [panel]() { panel->ResetStatus(); }, [panel](bool on) { panel->SetABKeysEnabled(on); },
                 [panel](int slot) { return panel->FlashTimer(slot); }, [panel]() { return panel->FlashSlots(); } };
    }
    static PanelUnderTest Make(const QString& kind, DiveVodNetClient* client = nullptr)
    {
        initDiveVodResources();
        return kind == "2x1" ? Wrap(new GPIOStatus2x1(client)) : Wrap(new GPIOStatus4x1(client));
    }

    QString look(const QString& name) const
    {
        const QMap<QString, QString> names = { { LED_GRAY, "LED_GRAY" }, { LED_GREEN, "LED_GREEN" }, { LED_RED, "LED_RED" },
                                               { KEY_IDLE, "KEY_IDLE" }, { KEY_ACTIVE, "KEY_ACTIVE" } };
        return names.value(child(name)->styleSheet(), child(name)->styleSheet());
    }
    QMap<QString, QString> looks() const
    {
        QMap<QString, QString> all;
        for (const QWidget* w : widget->findChildren<QWidget*>(QRegularExpression("^(label|pushButton)")))
            all.insert(w->objectName(), look(w->objectName()) + " " + w->toolTip());
        return all;
    }
    QWidget* child(const QString& name) const { return widget->findChild<QWidget*>(name); }
    QAbstractButton* button(const QString& name) const { return widget->findChild<QAbstractButton*>(name); }

    std::unique_ptr<QWidget> widget;
    std::function<void(const AcoGpioInfo&)> apply;
    std::function<void()> reset;
    std::function<void(bool)> setKeysEnabled;
    std::function<LedStatusTimer*(int)> timer;
    std::function<QVector<int>()> flashSlots;
};

// A record from "field=value ..." (decimal or 0x hex) over `base`.
inline AcoGpioInfo recordFrom(const QString& fields, AcoGpioInfo base = AcoGpioInfo())
{
#define DIVEVOD_FIELD(f) { #f, [](AcoGpioInfo& i, quint32 v) { i.f = decltype(i.f)(v); } }
    static const QMap<QString, std::function<void(AcoGpioInfo&, quint32)>> setters = {
        DIVEVOD_FIELD(ps1Led),    DIVEVOD_FIELD(ps2Led),        DIVEVOD_FIELD(localLed),    DIVEVOD_FIELD(remoteLed),
        DIVEVOD_FIELD(panelType), DIVEVOD_FIELD(gpioGreenMask), DIVEVOD_FIELD(gpioRedMask), DIVEVOD_FIELD(keyMask),
        DIVEVOD_FIELD(ipReset),   DIVEVOD_FIELD(upgrade),       DIVEVOD_FIELD(remCtrl),     DIVEVOD_FIELD(keyLock),
        DIVEVOD_FIELD(autoMode),  DIVEVOD_FIELD(phaseAlign),    DIVEVOD_FIELD(remoteKeyMask)
    };
#undef DIVEVOD_FIELD
    for (const QString& pair : fields.split(' ', Qt::SkipEmptyParts)) {
        bool ok = false;
        const quint32 value = pair.section('=', 1).toUInt(&ok, 0);
        if (!ok || !setters.contains(pair.section('=', 0, 0)))
            qFatal("bad field %s", qPrintable(pair));
        setters[pair.section('=', 0, 0)](base, value);
    }
    return base;
}

// The tool's own key presses (remoteKeyMask) change no look.
const AcoGpioInfo kDark = recordFrom("localLed=1 remoteLed=1 remoteKeyMask=0x3F");
const AcoGpioInfo kLit = recordFrom("ps1Led=1 ps2Led=1 localLed=0 remoteLed=0 panelType=1 gpioGreenMask=0x3F "
                                    "gpioRedMask=0x3F keyMask=0x3F ipReset=1 upgrade=1 remCtrl=1 keyLock=1 "
                                    "autoMode=1 phaseAlign=1 remoteKeyMask=0x3F");

// Flash slots: inputs 0-5, Local 6, Remote 7, PHASE ALIGN 8.
int slotOf(const QString& object)
{
    const int i = QStringList({ "labelLocal", "labelRemote", "pushButtonPhaseAlign" }).indexOf(object);
    return object.startsWith("labelIN") ? object.mid(7).toInt() - 1 : (i < 0 ? -1 : 6 + i);
}

QTime fakeNow;

} // namespace

class TestPanelStatus : public QObject
{
    Q_OBJECT

private slots:
    void cleanupTestCase() { QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void mapping_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("look"); // right after the record
        QTest::addColumn<QString>("said"); // the state in its tool tip (a state "... Flashing" flashes), or all of it
        for (const QString kind : { "2x1", "4x1" }) {
            auto row = [&](const QString& fields, const QString& object, const QString& look, const QString& said) {
                QTest::addRow("%s %s %s", qPrintable(kind), qPrintable(fields), qPrintable(object))
                    << kind << fields << object << look << said;
            };
            for (const QString n : { "1", "2" }) {
                row("ps" + n + "Led=1", "labelPS" + n, "LED_GREEN", "Green");
                row("ps" + n + "Led=0", "labelPS" + n, "LED_GRAY", "Off");
            }
            for (const QString led : { "Local", "Remote" }) {
                row(led.toLower() + "Led=0", "label" + led, "LED_GREEN", "Green");
                row(led.toLower() + "Led=1", "label" + led, "LED_GRAY", "Off");
                row(led.toLower() + "Led=2", "label" + led, "LED_GRAY", "Green Flashing");
            }
            const QStringList modes = { "label2x1", "label4x1", "labelOthers" };
            for (int type = 0; type < 3; ++type) {
                row(QStringLiteral("panelType=%1").arg(type), modes[type], "LED_GREEN", "Green");
                row(QStringLiteral("panelType=%1").arg((type + 1) % 3), modes[type], "LED_GRAY", "Off");
                row("panelType=7", modes[type], "LED_GRAY", "Off");
            }
            for (int i = 0; i < 6; ++i) {
                const QString led = QStringLiteral("labelIN%1").arg(i + 1), key = QStringLiteral("pushButtonIN%1").arg(i + 1);
                const auto masks = [i](int green, int red) {
                    return QStringLiteral("gpioGreenMask=%1 gpioRedMask=%2").arg(green << i).arg(red << i);
                };
                row(masks(0, 0), led, "LED_GRAY", "Off");
                row(masks(0, 1), led, "LED_RED", "Red");
                row(masks(1, 0), led, "LED_GREEN", "Green");
                row(masks(1, 1), led, "LED_RED", "Green Red Flashing");
                row(QStringLiteral("keyMask=%1").arg(1 << i), key, "KEY_ACTIVE", "Enabled");
                row(QStringLiteral("keyMask=%1").arg(0x3F & ~(1 << i)), key, "KEY_IDLE", "Disabled");
            }
            row("phaseAlign=0", "pushButtonPhaseAlign", "KEY_IDLE", "Disabled");
            row("phaseAlign=1", "pushButtonPhaseAlign", "KEY_ACTIVE", "Enabled");
            row("phaseAlign=2", "pushButtonPhaseAlign", "KEY_ACTIVE", "Flashing");
            // Unknown states keep the look and description (and timer) that the indicator had.
            for (const QString field : { "localLed=3:labelLocal", "remoteLed=255:labelRemote", "phaseAlign=3:pushButtonPhaseAlign" })
                row(field.section(':', 0, 0), field.section(':', 1), "kept", "kept");
            for (const QString flag : { "ipReset:IpReset", "remCtrl:RemCtrl", "upgrade:Upgrade", "keyLock:Lock",
                                        "autoMode:AutoMode" }) {
                row(flag.section(':', 0, 0) + "=1", "pushButton" + flag.section(':', 1), "KEY_ACTIVE", "Enabled");
                row(flag.section(':', 0, 0) + "=0", "pushButton" + flag.section(':', 1), "KEY_IDLE", "Disabled");
            }
        }
        // Whole descriptions, for the names of the inputs and their keys.
        QTest::newRow("2x1 group B input") << "2x1" << "gpioGreenMask=0x10 gpioRedMask=0" << "labelIN5" << "LED_GREEN" << "Group B IN 2: Green";
        QTest::newRow("2x1 bypass") << "2x1" << "gpioGreenMask=0 gpioRedMask=4" << "labelIN3" << "LED_RED" << "Group A BYPASS: Red";
        QTest::newRow("4x1 uncaptioned") << "4x1" << "gpioGreenMask=0x10 gpioRedMask=0" << "labelIN5" << "LED_GREEN" << "IN 5 (unused): Green";
        QTest::newRow("4x1 bypass key") << "4x1" << "keyMask=0x20" << "pushButtonIN6" << "KEY_ACTIVE" << "BYPASS key: Enabled";
        QTest::newRow("2x1 group B key") << "2x1" << "keyMask=0x08" << "pushButtonIN4" << "KEY_ACTIVE" << "Group B IN 1 key: Enabled";
    }

    void mapping()
    {
        QFETCH(QString, kind);
        QFETCH(QString, fields);
        QFETCH(QString, object);
        QFETCH(QString, look);
        QFETCH(QString, said);
        const bool flashing = said.endsWith("Flashing");
        PanelUnderTest p = PanelUnderTest::Make(kind);
        // From the dark look to the record over the lit one and back, so that the record has to change the look.
        for (const auto& [before, base] : { std::make_pair(kDark, kLit), std::make_pair(kLit, kDark) }) {
            p.apply(before);
            const QString lookBefore = p.look(object), saidBefore = p.child(object)->toolTip().section(": ", 1);
            const int slot = slotOf(object);
            const bool keepsRhythm = flashing && p.timer(slot); // flashing already: keeps its timer and look
            p.apply(recordFrom(fields, base));
            QCOMPARE(p.look(object), look == "kept" || keepsRhythm ? lookBefore : look);
            const QString described = p.child(object)->toolTip();
            QCOMPARE(said.contains(':') ? described : described.section(": ", 1), said == "kept" ? saidBefore : said);
            QCOMPARE(p.child(object)->accessibleName(), described);
            if (slot >= 0) {
                QCOMPARE(p.timer(slot) != nullptr, flashing);
                QCOMPARE(p.flashSlots().at(slot), flashing ? slot : -1);
            }
            if (flashing) {
                // The set of flashing slots changed: the next tick shows the first style again, the one after the second.
                p.timer(slot)->OnTimer();
                QCOMPARE(p.look(object), look);
                p.timer(slot)->OnTimer();
                QCOMPARE(p.look(object), object.startsWith("label") ? "LED_GREEN" : "KEY_IDLE");
            }
        }
    }

    // Real time: the timers tick once a second.
    void flashingInStep()
    {
        PanelUnderTest p = PanelUnderTest::Make("4x1");
        const QString flashing = "gpioGreenMask=1 gpioRedMask=1 localLed=2 remoteLed=2 phaseAlign=2";
        p.apply(recordFrom(flashing));
        LedStatusTimer* local = p.timer(6);
        LedStatusTimer* phase = p.timer(8);
        // Out of step: Local shows its first style with green next, PHASE ALIGN its second style.
        local->OnTimer();
        phase->OnTimer(), phase->OnTimer();
        QTest::qWait(300);
        // The same set again keeps every timer and its rhythm.
        p.apply(recordFrom(flashing));
        QCOMPARE(p.timer(6), local);
        QVERIFY(local->findChild<QTimer*>()->remainingTime() < 800);
        // Input 5 starts flashing and Remote stops: every timer restarts, and all show their first style,
        // then their second, together.
        p.apply(recordFrom("gpioGreenMask=0x11 gpioRedMask=0x11 localLed=2 remoteLed=0 phaseAlign=2"));
        QCOMPARE(p.flashSlots(), QVector<int>({ 0, -1, -1, -1, 4, -1, 6, -1, 8 }));
        QVERIFY(!p.timer(7));
        QCOMPARE(p.timer(8), phase);
        QElapsedTimer sinceChange;
        sinceChange.start();
        const auto shown = [&p]() {
            return QStringList({ p.look("labelLocal"), p.look("pushButtonPhaseAlign"), p.look("labelIN5"), p.look("labelIN1") });
        };
        QSignalSpy ticks(local->findChild<QTimer*>(), SIGNAL(timeout()));
        for (const QString expected : { "LED_GRAY KEY_ACTIVE LED_RED LED_RED", "LED_GREEN KEY_IDLE LED_GREEN LED_GREEN" }) {
            QVERIFY(ticks.wait(2000));
            QVERIFY2(sinceChange.elapsed() >= 900 * ticks.count(), qPrintable(QString::number(sinceChange.elapsed())));
            QTRY_COMPARE_WITH_TIMEOUT(shown().join(' '), expected, 100);
        }
        // An unknown Local state keeps its timer but no longer counts as flashing: a change, so all restart.
        QTest::qWait(300);
        p.apply(recordFrom("gpioGreenMask=0x11 gpioRedMask=0x11 localLed=3 remoteLed=0 phaseAlign=2"));
        QCOMPARE(p.timer(6), local);
        QCOMPARE(p.flashSlots().at(6), -1);
        QVERIFY(local->findChild<QTimer*>()->remainingTime() > 900);
    }

    void languageAndReset_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("2x1") << QStringLiteral("2x1");
        QTest::newRow("4x1") << QStringLiteral("4x1");
    }

    void languageAndReset()
    {
        QFETCH(QString, kind);
        PanelUnderTest p = PanelUnderTest::Make(kind);
        // Right after construction: disconnected, nothing flashing.
        const QMap<QString, QString> disconnected = p.looks();
        const QString all = QStringList(disconnected.values()).join('|');
        QCOMPARE(QString("%1 %2 %3 %4").arg(all.count("LED_GRAY ")).arg(all.count("KEY_IDLE "))
                     .arg(all.count(": Off")).arg(all.count(": Disabled")), "13 12 13 12");

        QTranslator chinese;
        QVERIFY(chinese.load(QStringLiteral(DIVEVOD_LANG_DIR "/divevod_zh.qm")));
        p.apply(recordFrom("ps1Led=1 gpioGreenMask=2 gpioRedMask=2"));
        const auto texts = [&p]() {
            return QStringList({ p.child("labelPS1")->toolTip(), p.child("labelIN2")->accessibleName(),
                                 static_cast<QLabel*>(p.child("label"))->text() })
                .join('|');
        };
        // Switched into a language, the panel is laid out exactly as one built in that language.
        const auto layoutOf = [](QWidget* panel) {
            panel->resize(1200, 180), panel->show();
            QCoreApplication::sendPostedEvents();
            QApplication::processEvents();
            QStringList geometries;
            for (const QWidget* w : panel->findChildren<QWidget*>())
                geometries << QString("%1 %2,%3 %4x%5").arg(w->objectName()).arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height());
            QStringList squeezed; // no input column pressed together (LED, key, caption), listed first
            for (const QGroupBox* box : panel->findChildren<QGroupBox*>(QRegularExpression("^groupBox_?2?$")))
                if (box->layout()->minimumSize().height() > box->contentsRect().height())
                    squeezed << QString("squeezed %1 %2<%3").arg(box->objectName()).arg(box->contentsRect().height())
                                    .arg(box->layout()->minimumSize().height());
            return squeezed + geometries;
        };
        const QStringList english = layoutOf(p.widget.get());
        QVERIFY2(!english.join(' ').contains("squeezed"), qPrintable(english.join(' ')));
        QCoreApplication::installTranslator(&chinese); // language changes arrive as posted events
        QTRY_COMPARE(texts(), QString::fromUtf8("PS1：绿色|%1输入 2：绿红闪烁|输入 1").arg(kind == "2x1" ? "A 组 " : ""));
        const QStringList chineseLayout = layoutOf(PanelUnderTest::Make(kind).widget.get());
        QVERIFY2(!chineseLayout.join(' ').contains("squeezed"), qPrintable(chineseLayout.join(' ')));
        QCOMPARE(layoutOf(p.widget.get()), chineseLayout);
        p.apply(recordFrom("gpioGreenMask=2 gpioRedMask=2")); // described in the new language too
        QCOMPARE(p.child("labelPS1")->toolTip(), QString::fromUtf8("PS1：熄灭"));
        QCoreApplication::removeTranslator(&chinese);
        QTRY_COMPARE(texts(), QString("PS1: Off|%1IN 2: Green Red Flashing|IN 1").arg(kind == "2x1" ? "Group A " : ""));
        QCOMPARE(layoutOf(p.widget.get()), english);

        p.setKeysEnabled(true);
        p.apply(recordFrom("gpioRedMask=0x2A localLed=2 remoteLed=2 phaseAlign=2", kLit));
        QCOMPARE(p.flashSlots(), QVector<int>({ -1, 1, -1, 3, -1, 5, 6, 7, 8 }));
        QList<QPointer<LedStatusTimer>> timers;
        for (int s : { 1, 3, 5, 6, 7, 8 })
            timers << QPointer<LedStatusTimer>(p.timer(s));
        p.reset();
        for (const auto& timer : timers)
            QVERIFY(timer.isNull()); // deleted, not just stopped
        QCOMPARE(p.looks(), disconnected);
        QCOMPARE(p.flashSlots(), QVector<int>(9, -1));
        QVERIFY(!p.button("pushButtonIN1")->isEnabled() && !p.button("pushButtonIN6")->isEnabled());
        p.apply(recordFrom("localLed=2"));
        QPointer<LedStatusTimer> local = p.timer(6);
        p.widget.reset();
        QVERIFY(local.isNull());
    }

    void clickFilter_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QList<int>>("gaps"); // ms since the previous click (the first: since construction)
        QTest::addColumn<QList<int>>("requested"); // the clicks that reach the device
        QTest::addColumn<bool>("refused"); // by the device
        for (const QString kind : { "2x1", "4x1" }) {
            const auto row = [&](const char* name, QList<int> gaps, QList<int> requested, bool refused = false) {
                QTest::addRow("%s %s", qPrintable(kind), name) << kind << gaps << requested << refused;
            };
            row("every key", { 1500, 1500, 1500, 1500, 1500, 1500 }, { 0, 1, 2, 3, 4, 5 }); // IN5 inert on the 4x1
            row("refused", { 1500 }, { 0 }, true);
            row("right after construction", { 300, 1000 }, { 1 });
            row("999 ms is too soon", { 1000, 999, 1000 }, { 0, 2 });
            row("exactly 1000 ms", { 1000, 1000, 1000 }, { 0, 1, 2 });
            row("ignored click counts as previous", { 2000, 500, 700, 1100 }, { 0, 3 });
            row("inert key counts as previous", { 1500, 1500, 1500, 500 }, { 0, 1, 2 }); // IN5, none on the 4x1
            // Past midnight the time of day is smaller: the difference is negative and the click ignored.
            row("earlier time of day", { 1500, -1500, 1000 }, { 0, 2 });
        }
    }

    void clickFilter()
    {
        QFETCH(QString, kind);
        QFETCH(QList<int>, gaps);
        QFETCH(QList<int>, requested);
        QFETCH(bool, refused);
        DeviceSimulator sim;
        DiveVodNetClient client;
        QVERIFY(sim.start("127.0.0.1", 0));
        QCOMPARE(client.OpenChannel(sim.address(), sim.port()), 0);
        client.SetLoginInfo(0, QStringLiteral("123456"));
        QCOMPARE(client.Authenticate(), 0);
        fakeNow = QTime(10, 0, 0);
        StatusPanelLogic::SetClock([]() { return fakeNow; });
        const auto realClock = qScopeGuard([] { StatusPanelLogic::SetClock(nullptr); });
        PanelUnderTest panel = PanelUnderTest::Make(kind, &client); // notes the time it is made
        QSignalSpy spy(panel.widget.get(), SIGNAL(RemoteABKey(int)));
        panel.setKeysEnabled(true);
        sim.clearReceived();
        if (refused)
            sim.setFault(DeviceSimulator::Fault::ErrorCode);
        const int mask = sim.state().keyMask;
        const int keys[] = { 1, 2, 5, 3, 6, 4 };
        QList<int> expected, sent, announced;
        for (int i = 0; i < gaps.size(); ++i) {
            fakeNow = fakeNow.addMSecs(gaps[i]);
            panel.button(QStringLiteral("pushButtonIN%1").arg(keys[i]))->click();
            if (requested.contains(i) && (kind == "2x1" || keys[i] != 5))
                expected << (1 << (keys[i] - 1));
        }
        for (const DeviceSimulator::Received& r : sim.received())
            if (r.type == 72) // SetABKeyState, its key byte
                sent << quint8(r.frame.at(11));
        for (const auto& signal : spy)
            announced << signal.at(0).toInt();
        QCOMPARE(sent, expected);
        QCOMPARE(int(sim.state().keyMask),
                 refused ? mask : std::accumulate(expected.begin(), expected.end(), mask, std::bit_xor<int>()));
        QCOMPARE(announced, refused ? QList<int>() : expected);
    }
};

QTEST_MAIN(TestPanelStatus)
#include "tst_PanelStatus.moc"
