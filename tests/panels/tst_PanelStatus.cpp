// Repainting a panel from status records (every row of the mapping on both panels, unknown
// values, the disconnected look), the forms' captions and their retranslation.
#include "DiveVodResources.h"
#include "PanelFixture.h"

#include <QLabel>
#include <QPointer>
#include <QTranslator>

namespace {

// Sets one field of the record by its name; "gpio" takes green in the low byte, red in the next.
void setRecordField(AcoGpioInfo& info, const QString& field, quint32 value)
{
    if (field == "gpio")
        info.gpioGreenMask = value & 0xFF, info.gpioRedMask = value >> 8;
    else
        setField(info, field, value);
}

int slotOf(const QString& object)
{
    if (object.startsWith("labelIN"))
        return object.mid(7).toInt() - 1;
    const int i = QStringList({ "labelLocal", "labelRemote", "pushButtonPhaseAlign" }).indexOf(object);
    return i < 0 ? -1 : 6 + i;
}

// A translator that marks every text of one context, to see which context a form uses.
class MarkingTranslator : public QTranslator
{
public:
    explicit MarkingTranslator(const char* context)
        : context(context)
    {
    }
    bool isEmpty() const override { return false; }
    QString translate(const char* ctx, const char* source, const char*, int) const override
    {
        return qstrcmp(ctx, context) == 0 && source && *source ? QStringLiteral("<%1>").arg(source) : QString();
    }

private:
    QByteArray context;
};

} // namespace

class TestPanelStatus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void mapping_data();
    void mapping();
    void unknownStateKeepsLook_data();
    void unknownStateKeepsLook();
    void panelType_data();
    void panelType();
    void resetStatus_data() { kindsData(); }
    void resetStatus();
    void captions_data();
    void captions();
};

void TestPanelStatus::initTestCase()
{
    initDiveVodResources();
}

void TestPanelStatus::cleanupTestCase()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestPanelStatus::mapping_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("look"); // style shown right after the record
    QTest::addColumn<bool>("flashing"); // a timer runs for the object's slot
    for (const QString kind : { "2x1", "4x1" }) {
        auto row = [&](const QString& field, quint32 value, const QString& object, const QString& look,
                       bool flashing = false) {
            QTest::addRow("%s %s=%u %s", qPrintable(kind), qPrintable(field), value, qPrintable(object))
                << kind << field << value << object << look << flashing;
        };
        for (const QString ps : { "1", "2" }) {
            row("ps" + ps + "Led", 1, "labelPS" + ps, "LED_GREEN");
            row("ps" + ps + "Led", 0, "labelPS" + ps, "LED_GRAY");
        }
        for (const QString led : { "local", "remote" }) {
            const QString object = led == "local" ? "labelLocal" : "labelRemote";
            row(led + "Led", 0, object, "LED_GREEN");
            row(led + "Led", 1, object, "LED_GRAY");
            row(led + "Led", 2, object, "LED_GRAY", true); // flashing gray first, then green
        }
        for (int i = 0; i < 6; ++i) {
            const QString led = QStringLiteral("labelIN%1").arg(i + 1);
            const quint32 bit = 1u << i;
            row("gpio", 0, led, "LED_GRAY");
            row("gpio", bit << 8, led, "LED_RED");
            row("gpio", bit, led, "LED_GREEN");
            row("gpio", bit | (bit << 8), led, "LED_RED", true); // flashing red first, then green
            const QString key = QStringLiteral("pushButtonIN%1").arg(i + 1);
            row("keyMask", bit, key, "KEY_ACTIVE");
            row("keyMask", 0x3F & ~bit, key, "KEY_IDLE");
        }
        row("phaseAlign", 0, "pushButtonPhaseAlign", "KEY_IDLE");
        row("phaseAlign", 1, "pushButtonPhaseAlign", "KEY_ACTIVE");
        row("phaseAlign", 2, "pushButtonPhaseAlign", "KEY_ACTIVE", true); // active first, then idle
        for (const auto& ind : QList<QPair<QString, QString>> { { "ipReset", "pushButtonIpReset" },
                                                                { "remCtrl", "pushButtonRemCtrl" },
                                                                { "upgrade", "pushButtonUpgrade" },
                                                                { "keyLock", "pushButtonLock" },
                                                                { "autoMode", "pushButtonAutoMode" } }) {
            row(ind.first, 1, ind.second, "KEY_ACTIVE");
            row(ind.first, 0, ind.second, "KEY_IDLE");
        }
    }
}

void TestPanelStatus::mapping()
{
    QFETCH(QString, kind);
    QFETCH(QString, field);
    QFETCH(quint32, value);
    QFETCH(QString, object);
    QFETCH(QString, look);
    QFETCH(bool, flashing);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    // Start from another look so that the record has to change something.
    AcoGpioInfo before = darkRecord();
    if (field == "gpio") {
        const quint32 green = value & 0xFF, red = value >> 8;
        before.gpioGreenMask = green && !red ? 0 : 0x3F;
        before.gpioRedMask = (!green && !red) || (green && !red) ? 0x3F : 0;
    } else if (field == "keyMask") {
        before.keyMask = ~value & 0x3F;
    } else {
        setRecordField(before, field, value == 0 ? 1 : 0);
    }
    p.apply(before);
    QVERIFY(styleName(p.style(object)) != look);

    AcoGpioInfo info = before;
    setRecordField(info, field, value);
    info.remoteKeyMask = 0x3F; // the tool's own key presses change no look
    p.apply(info);
    QCOMPARE(styleName(p.style(object)), look);
    const int slot = slotOf(object);
    if (slot >= 0) {
        QCOMPARE(p.timer(slot) != nullptr, flashing);
        QCOMPARE(p.flashSlots().at(slot), flashing ? slot : -1);
    }
    if (flashing) {
        // The second style comes one tick later, after a first tick that shows the first style again.
        p.timer(slot)->OnTimer();
        QCOMPARE(styleName(p.style(object)), look);
        p.timer(slot)->OnTimer();
        QCOMPARE(styleName(p.style(object)), object.startsWith("label") ? "LED_GREEN" : "KEY_IDLE");
    }
    for (int s = 0; s < 9; ++s)
        QVERIFY2(s == slot || !p.timer(s), qPrintable(QString::number(s))); // nothing else flashes
}

void TestPanelStatus::unknownStateKeepsLook_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<quint32>("before");
    QTest::addColumn<quint32>("value");
    for (const QString kind : { "2x1", "4x1" }) {
        for (const QString field : { "localLed", "remoteLed", "phaseAlign" }) {
            for (quint32 before : { 0u, 1u })
                QTest::addRow("%s %s %u then 3", qPrintable(kind), qPrintable(field), before) << kind << field << before << 3u;
            QTest::addRow("%s %s 0 then 255", qPrintable(kind), qPrintable(field)) << kind << field << 0u << 255u;
        }
    }
}

void TestPanelStatus::unknownStateKeepsLook()
{
    QFETCH(QString, kind);
    QFETCH(QString, field);
    QFETCH(quint32, before);
    QFETCH(quint32, value);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    AcoGpioInfo info = darkRecord();
    setRecordField(info, field, before);
    p.apply(info);
    const QMap<QString, QString> was = snapshot(p);
    setRecordField(info, field, value);
    p.apply(info);
    QCOMPARE(snapshot(p), was);
    QCOMPARE(p.flashSlots(), QVector<int>(9, -1));
    for (int s = 0; s < 9; ++s)
        QVERIFY(!p.timer(s));
}

void TestPanelStatus::panelType_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<quint32>("panelType");
    QTest::addColumn<QString>("looks"); // label2x1, label4x1, labelOthers
    for (const QString kind : { "2x1", "4x1" }) {
        QTest::addRow("%s D2X1", qPrintable(kind)) << kind << 0u << "LED_GREEN LED_GRAY LED_GRAY";
        QTest::addRow("%s 4X1", qPrintable(kind)) << kind << 1u << "LED_GRAY LED_GREEN LED_GRAY";
        QTest::addRow("%s Others", qPrintable(kind)) << kind << 2u << "LED_GRAY LED_GRAY LED_GREEN";
        QTest::addRow("%s 7", qPrintable(kind)) << kind << 7u << "LED_GRAY LED_GRAY LED_GRAY";
    }
}

void TestPanelStatus::panelType()
{
    QFETCH(QString, kind);
    QFETCH(quint32, panelType);
    QFETCH(QString, looks);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    // Go through each lit state first, so that the record must also switch the others off.
    for (quint32 before : { 0u, 1u, 2u }) {
        AcoGpioInfo info = darkRecord();
        info.panelType = before;
        p.apply(info);
        info.panelType = panelType;
        p.apply(info);
        QCOMPARE(QStringList({ styleName(p.style("label2x1")), styleName(p.style("label4x1")),
                               styleName(p.style("labelOthers")) })
                     .join(' '),
                 looks);
    }
}

void TestPanelStatus::resetStatus()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    // Right after construction: disconnected, keys disabled, nothing flashing.
    const QMap<QString, QString> disconnected = snapshot(p);
    for (auto it = disconnected.cbegin(); it != disconnected.cend(); ++it)
        QCOMPARE(it.value(), it.key().startsWith("label") ? "LED_GRAY" : "KEY_IDLE");
    QCOMPARE(p.flashSlots(), QVector<int>(9, -1));

    p.setKeysEnabled(true);
    for (int i = 1; i <= 6; ++i)
        QVERIFY(p.button(QStringLiteral("pushButtonIN%1").arg(i))->isEnabled());
    QVERIFY(!p.button("pushButtonLock")->isEnabled());
    AcoGpioInfo info;
    info.ps1Led = info.ps2Led = info.ipReset = info.remCtrl = info.upgrade = info.keyLock = info.autoMode = true;
    info.localLed = info.remoteLed = info.phaseAlign = 2;
    info.panelType = 1;
    info.gpioGreenMask = 0x3F;
    info.gpioRedMask = 0x2A; // inputs 2, 4 and 6 flash
    info.keyMask = 0x3F;
    p.apply(info);
    QCOMPARE(p.flashSlots(), QVector<int>({ -1, 1, -1, 3, -1, 5, 6, 7, 8 }));
    QList<QPointer<LedStatusTimer>> timers;
    for (int s : { 1, 3, 5, 6, 7, 8 })
        timers << QPointer<LedStatusTimer>(p.timer(s));

    p.reset();
    for (const auto& timer : timers)
        QVERIFY(timer.isNull()); // deleted, not just stopped
    QCOMPARE(snapshot(p), disconnected);
    QCOMPARE(p.flashSlots(), QVector<int>(9, -1));
    for (int i = 1; i <= 6; ++i)
        QVERIFY(!p.button(QStringLiteral("pushButtonIN%1").arg(i))->isEnabled());

    // The next record after a reset starts flashing afresh; destroying the panel deletes its timers.
    p.apply(info);
    QCOMPARE(p.flashSlots(), QVector<int>({ -1, 1, -1, 3, -1, 5, 6, 7, 8 }));
    QPointer<LedStatusTimer> local = p.timer(6);
    QVERIFY(local);
    p.widget.reset();
    QVERIFY(local.isNull());
}

void TestPanelStatus::captions_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("texts"); // object=text, ...
    const QString common = "label_3=PS1 label_16=PS2 label=IN 1 label_5=IN 2 label_13=BYPASS label_17=CONNECTION "
                           "label_20=Local label_21=Remote label_22=MODE label_25=D2X1 label_26=4X1 label_28=Others "
                           "label_29=LOCK label_30=AUTO MODE label_34=PHASE ALIGN label_31=REM CTRL "
                           "label_32=UPGRADE label_33=IP RESET";
    QTest::newRow("2x1") << "2x1" << common + " label_6=BYPASS label_2=IN 1 label_11=IN 2";
    QTest::newRow("4x1") << "4x1" << common + " label_2=IN 3 label_11=IN 4 label_6=";
}

void TestPanelStatus::captions()
{
    QFETCH(QString, kind);
    QFETCH(QString, texts);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    const QStringList pairs = texts.split(QRegularExpression(" (?=label)"));
    auto shown = [&]() {
        QStringList got;
        for (const QString& pair : pairs) {
            const QString name = pair.section('=', 0, 0);
            got << name + "=" + p.widget->findChild<QLabel*>(name)->text();
        }
        return got.join(' ');
    };
    QCOMPARE(shown(), texts);
    // A language change retranslates the form from its own context only.
    MarkingTranslator translator(kind == "2x1" ? "GpioStatus2x1" : "GpioStatus4x1");
    MarkingTranslator other(kind == "2x1" ? "GpioStatus4x1" : "GpioStatus2x1");
    QVERIFY(QCoreApplication::installTranslator(&translator));
    QTRY_COMPARE(p.widget->findChild<QLabel*>("label_3")->text(), QStringLiteral("<PS1>"));
    QString marked = texts;
    marked.replace(QRegularExpression("=([^=]+?)(?= label|$)"), "=<\\1>");
    QCOMPARE(shown(), marked);
    QCoreApplication::removeTranslator(&translator);
    QVERIFY(QCoreApplication::installTranslator(&other));
    QTRY_COMPARE(shown(), texts);
    QCoreApplication::removeTranslator(&other);
    QCOMPARE(p.style("labelPS1"), LED_GRAY); // translation changes texts only
}

QTEST_MAIN(TestPanelStatus)
#include "tst_PanelStatus.moc"
