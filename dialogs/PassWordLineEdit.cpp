#include "PassWordLineEdit.h"

#include "CapsLockState.h"

#include <QToolTip>

PassWordLineEdit::PassWordLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
}

void PassWordLineEdit::updateCapsLockWarning(const QPoint& at)
{
    if (CapsLockState::isOn())
        QToolTip::showText(at, tr("The Caps Lock is enabled."));
    else
        QToolTip::hideText();
}

QPoint PassWordLineEdit::warningPoint(const QWidget* owner, const QWidget* field)
{
    return QPoint(owner->pos().x() + field->pos().x(), owner->pos().y() + field->pos().y() + 2 * field->height());
}

void PassWordLineEdit::showWarningIfCapsLock()
{
    // A field without an owner has no position to add to its own: place the warning below it on the screen.
    updateCapsLockWarning(parentWidget() ? warningPoint(parentWidget(), this) : mapToGlobal(QPoint(0, 2 * height())));
}

void PassWordLineEdit::mouseMoveEvent(QMouseEvent* event)
{
    showWarningIfCapsLock();
    // Keep the line edit's own text selection with the mouse.
    QLineEdit::mouseMoveEvent(event);
}

void PassWordLineEdit::mouseReleaseEvent(QMouseEvent* event)
{
    showWarningIfCapsLock();
    QLineEdit::mouseReleaseEvent(event);
}

void PassWordLineEdit::enterEvent(QEvent* event)
{
    // Entering shows nothing by itself: the first mouse move over the field does.
    QLineEdit::enterEvent(event);
}

void PassWordLineEdit::leaveEvent(QEvent* event)
{
    QToolTip::hideText();
    QLineEdit::leaveEvent(event);
}
