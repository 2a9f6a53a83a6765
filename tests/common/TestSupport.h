#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QString>
#include <QWidget>

#include <functional>

// Helpers shared by the test programs: a clean settings store per case and a way to answer
// modal dialogs and message boxes the way a user would.
class TestSupport
{
public:
    // Points the user-scope settings at a fresh temporary directory for this process and empties it.
    static void isolateSettings();
    static void clearSettings();

    // Runs `action` on the next modal widget that appears (polling up to timeoutMs), from the event loop.
    // Returns immediately; the action runs while the caller sits in exec().
    static void onNextModal(const std::function<void(QWidget*)>& action, int timeoutMs = 5000);

    // Closes a QMessageBox (or any dialog) by clicking the button with this text, or by Enter when empty.
    static void clickButton(QWidget* dialog, const QString& text);
};

#endif // TESTSUPPORT_H
