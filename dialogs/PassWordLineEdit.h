#ifndef PASSWORDLINEEDIT_H
#define PASSWORDLINEEDIT_H

#include <QLineEdit>

// A password field that warns with a tool tip below itself while Caps Lock is on.
class PassWordLineEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit PassWordLineEdit(QWidget* parent = nullptr);

    // Shows the Caps Lock warning at `at` (global) when Caps Lock is on, hides any tool tip when it is off.
    // The dialogs that hold these fields call it on a Caps Lock key release.
    static void updateCapsLockWarning(const QPoint& at);

    // Where the warning goes for a field: the owner's position plus the field's, two field heights down.
    static QPoint warningPoint(const QWidget* owner, const QWidget* field);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void showWarningIfCapsLock();
};

#endif // PASSWORDLINEEDIT_H
