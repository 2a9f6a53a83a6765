// Comforts around the device: the busy cursor while the window waits on the device (login, a panel's
// key press), never over the message that follows; the alarm table's columns sized once rows arrive.
// The device is a scripted peer on 127.0.153.1:33904 that refuses every request.
#include "DiveVodNetClient.h"
#include "GPIOStatus2x1.h"
#include "ScriptedPeer.h"
#include "StatusPanelLogic.h"
#include "TestFrames.h"
#include "WindowFixture.h"

#include <QCursor>
#include <QGuiApplication>
#include <QHeaderView>

#include <mutex>

namespace {
const char kDevice[] = "127.0.153.1";
constexpr quint16 kDevicePort = 33904;

QTime fakeNow;
QTime fakeClock()
{
    return fakeNow;
}
} // namespace

class TestComforts : public QObject
{
    Q_OBJECT

    ScriptedPeer peer;
    std::mutex seenMutex;
    QList<int> cursorsSeen; // the override cursor's shape at each request, -1 for none

    QList<int> seen()
    {
        std::lock_guard<std::mutex> lock(seenMutex);
        return cursorsSeen;
    }

    static int overrideShape()
    {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        return cursor ? int(cursor->shape()) : -1;
    }

private slots:
    void initTestCase()
    {
        TestSupport::isolateSettings();
        QVERIFY(peer.start(kDevice, nullptr, kDevicePort));
        peer.setScript([this](int, const QByteArray& request) {
            // The user-interface thread stays blocked in the exchange until this answer goes out, so its
            // cursor holds still while it is read here.
            {
                std::lock_guard<std::mutex> lock(seenMutex);
                cursorsSeen << overrideShape();
            }
            return ScriptedPeer::reply(
                TestFrames::response(TestFrames::type(request), 1, TestFrames::sequence(request)));
        });
    }
    void init()
    {
        std::lock_guard<std::mutex> lock(seenMutex);
        cursorsSeen.clear();
    }
    void cleanup()
    {
        QCOMPARE(overrideShape(), -1);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void loginWaitsWithBusyCursor()
    {
        WindowFixture f;
        f.window->show();
        int shapeUnderMessage = -2;
        QString shown;
        TestSupport::onNextModal([&](QWidget* dialog) {
            WindowFixture::fillLogin(dialog, QLatin1String(kDevice), 0, QStringLiteral("123456"));
            TestSupport::onNextModal([&](QWidget* box) {
                shapeUnderMessage = overrideShape();
                shown = qobject_cast<QMessageBox*>(box) ? qobject_cast<QMessageBox*>(box)->text() : QString();
                TestSupport::clickButton(box, QString());
                TestSupport::onNextModal([](QWidget* again) { qobject_cast<QDialog*>(again)->reject(); });
            });
        });
        f.action("actionConnect")->trigger();
        QCOMPARE(shown, QStringLiteral("Device is off-line."));
        QVERIFY(!seen().isEmpty());
        for (int shape : seen())
            QCOMPARE(shape, int(Qt::WaitCursor));
        QCOMPARE(shapeUnderMessage, -1);
    }

    void keyPressWaitsWithBusyCursor()
    {
        DiveVodNetClient client;
        QCOMPARE(client.OpenChannel(QLatin1String(kDevice), kDevicePort), 0);
        GPIOStatus2x1 panel(&client);
        panel.SetABKeysEnabled(true);
        fakeNow = QTime(10, 0, 0);
        StatusPanelLogic::SetClock(&fakeClock);
        fakeNow = fakeNow.addSecs(2);
        panel.findChild<QAbstractButton*>(QStringLiteral("pushButtonIN1"))->click();
        StatusPanelLogic::SetClock(nullptr);
        client.CloseChannel();
        QCOMPARE(seen(), QList<int>({int(Qt::WaitCursor)}));
    }

    void columnsFitTheFirstRows()
    {
        WindowFixture f;
        f.window->show();
        QHeaderView* header = f.table()->horizontalHeader();
        const int typeWidth = header->sectionSize(3);
        const QDateTime t = QDateTime::currentDateTime();
        // Short first rows keep the starting width, which has room for the longer texts that follow.
        f.window->AppendAlarmRow(AlarmRecord{t, QString(), "KEY-LOCK", "Enabled", ""});
        QCOMPARE(header->sectionSize(3), typeWidth);
        f.window->findChild<QAbstractButton*>(QStringLiteral("pushButtonClear"))->click();
        // A wider first row after the table was emptied widens its column.
        const QString longType = QStringLiteral("Remote ACO 127.0.0.2 and a much longer alarm type text");
        f.window->AppendAlarmRow(AlarmRecord{t, QString(), longType, "Lost", ""});
        QVERIFY(header->sectionSize(3) >= f.table()->fontMetrics().horizontalAdvance(longType));
        // Later rows leave the widths alone: the append path stays as fast as a bare table's.
        const int fitted = header->sectionSize(3);
        f.window->AppendAlarmRow(AlarmRecord{t, QString(), longType + longType, "", ""});
        QCOMPARE(header->sectionSize(3), fitted);
    }
};

QTEST_MAIN(TestComforts)
#include "tst_comforts.moc"
