#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QWidget>

#include <functional>

// Helpers shared by the test programs: a clean settings store per case, and a way to answer modal
// dialogs and message boxes the way a user would.
namespace TestSupport {
// Points the user-scope settings at a fresh temporary directory for this process and empties it.
void isolateSettings();
void clearSettings();

// Runs `action` on the next modal widget that appears (polling up to timeoutMs), from the event loop.
// Returns immediately; the action runs while the caller sits in exec().
void onNextModal(const std::function<void(QWidget*)>& action, int timeoutMs = 5000);
} // namespace TestSupport

#endif // TESTSUPPORT_H
