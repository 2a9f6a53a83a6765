// The real Caps Lock query against an X server (under Xvfb; skipped elsewhere), the key toggled by xdotool.
#include "CapsLockState.h"
#include "Login.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>
#include <QToolTip>
#include <QX11Info>

class TestCapsLockX11 : public QObject
{
    Q_OBJECT
    QString xdotool;

    void pressCapsLock()
    {
        QProcess p;
        p.start(xdotool, { QStringLiteral("key"), QStringLiteral("Caps_Lock") });
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 0);
    }

private slots:
    void initTestCase()
    {
        if (!QX11Info::isPlatformX11() || (xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"))).isEmpty())
            QSKIP("needs an X11 display and xdotool");
    }

    // The whole way: a real key release reaches the dialog, which asks the X server.
    void loginWarnsOnTheRealKey()
    {
        if (CapsLockState::queryKeyboard())
            pressCapsLock();
        QTRY_VERIFY(!CapsLockState::queryKeyboard());
        Login dialog;
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        pressCapsLock();
        QTRY_COMPARE(QToolTip::text(), QStringLiteral("The Caps Lock is enabled."));
        pressCapsLock();
        QTRY_COMPARE(QToolTip::text(), QString());
        QVERIFY(!CapsLockState::queryKeyboard());
    }
};

QTEST_MAIN(TestCapsLockX11)
#include "tst_CapsLockX11.moc"
