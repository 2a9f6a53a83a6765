#ifndef PASSWORDFIELDTEST_H
#define PASSWORDFIELDTEST_H

// What the password dialog tests share: the one tool tip label, key releases and typing the way a keyboard does.
#include "CapsLockState.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QToolTip>

namespace PasswordFieldTest {

inline const QString kWarning = QStringLiteral("The Caps Lock is enabled.");

// The toolkit's tool tip window, when one exists.
inline QLabel* label()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("qtooltip_label") && w->isVisible())
            return qobject_cast<QLabel*>(w);
    return nullptr;
}

inline QString shownText()
{
    QLabel* tip = label();
    return tip ? tip->text() : QString();
}

// A tool tip that the code under test must either keep or replace.
inline void showOther()
{
    QToolTip::showText(QPoint(10, 10), QStringLiteral("other"));
}

inline void hideNow()
{
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
}

// Where a warning shown for `at` ends up: the toolkit puts the label a little below and right of the point.
inline QPoint labelPosFor(const QPoint& at)
{
    return at + QPoint(2, 16);
}

inline void verifyNoWindowLeft()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
}

// Types text key by key; characters outside ASCII arrive as a keyboard without a key code of its own sends them.
inline void typeText(QWidget* receiver, const QString& text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(receiver, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, receiver, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

inline void releaseKey(QWidget* receiver, Qt::Key key)
{
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(receiver, &release);
}

} // namespace PasswordFieldTest

#endif // PASSWORDFIELDTEST_H
