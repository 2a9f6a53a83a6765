#ifndef PASSWORDFIELDTEST_H
#define PASSWORDFIELDTEST_H

// What the password dialog tests share: the one tool tip label, the user's actions on a dialog with a
// password field, and typing the way a keyboard does.
#include "CapsLockState.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QToolTip>

namespace PasswordFieldTest {

inline const QString kWarning = QStringLiteral("The Caps Lock is enabled.");

template <typename T> T* child(QWidget& parent, const char* name)
{
    T* w = parent.findChild<T*>(QLatin1String(name));
    if (!w)
        qFatal("no child %s", name);
    return w;
}

// Shown at a known place and active, as the main window runs it.
inline void showActive(QDialog& dialog)
{
    dialog.move(100, 80);
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

// The text of the visible tool tip, empty when none is shown.
inline QString shownText()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("qtooltip_label") && w->isVisible())
            return static_cast<QLabel*>(w)->text();
    return QString();
}

// The warning sits below `field`: dialog position + field position + two field heights (the toolkit adds
// its small offset from the point, as for any tool tip).
inline void verifyWarningUnder(const QWidget& dialog, const QWidget* field)
{
    QTRY_COMPARE(shownText(), kWarning);
    const QPoint under(dialog.x() + field->x(), dialog.y() + field->y() + 2 * field->height());
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("qtooltip_label") && w->isVisible())
            QCOMPARE(w->pos(), under + QPoint(2, 16));
}

// Runs one test row: Caps Lock on or off, another tool tip shown or not, then the action; checks the tip after.
// Actions: "release Caps Lock", "release A" (on the focused widget), "hover", "click", "leave", "enter" (on field).
inline void act(QDialog& dialog, QWidget* field, const QString& action, bool capsOn, bool otherTipBefore,
                const QString& tipAfter)
{
    if (otherTipBefore)
        QToolTip::showText(QPoint(10, 10), QStringLiteral("other"));
    CapsLockState::setOverride(capsOn);
    QWidget* focused = QApplication::focusWidget() ? QApplication::focusWidget() : &dialog;
    const QPoint inside(5, 5);
    if (action == QLatin1String("release Caps Lock")) {
        QTest::keyRelease(focused, Qt::Key_CapsLock); // unhandled by the focused widget, it reaches the dialog
    } else if (action == QLatin1String("release A")) {
        QTest::keyRelease(focused, Qt::Key_A);
    } else if (action == QLatin1String("hover")) {
        QMouseEvent move(QEvent::MouseMove, inside, field->mapToGlobal(inside), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(field, &move);
    } else if (action == QLatin1String("click")) {
        QTest::mouseClick(field, Qt::LeftButton, Qt::NoModifier, inside);
    } else {
        QEvent event(action == QLatin1String("leave") ? QEvent::Leave : QEvent::Enter);
        QApplication::sendEvent(field, &event);
    }
    if (tipAfter == kWarning)
        verifyWarningUnder(dialog, field);
    else
        QTRY_COMPARE(shownText(), tipAfter);
}

inline void cleanup()
{
    CapsLockState::clearOverride();
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
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

} // namespace PasswordFieldTest

#endif // PASSWORDFIELDTEST_H
