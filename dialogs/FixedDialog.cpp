#include "FixedDialog.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOption>
#include <QVariant>

namespace {

const char kDesignedSize[] = "divevodDesignedSize";

// A disabled widget drops key events in its own event handler, but its event filters still see them.
class EscapeWhileDisabled : public QObject
{
public:
    explicit EscapeWhileDisabled(QDialog* dialog)
        : QObject(dialog)
        , dialog(dialog)
    {
        dialog->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != dialog || dialog->isEnabled() || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            dialog->reject();
            return true;
        }
        return false;
    }

private:
    QDialog* dialog;
};

} // namespace

void fixDialogFrame(QDialog* dialog)
{
    dialog->setWindowFlags((dialog->windowFlags() & ~Qt::WindowContextHelpButtonHint)
                           | Qt::MSWindowsFixedSizeDialogHint);
    QVariant designed = dialog->property(kDesignedSize);
    if (!designed.isValid()) {
        designed = dialog->size();
        dialog->setProperty(kDesignedSize, designed);
        new EscapeWhileDisabled(dialog);
    }
    // Measure with the style and fonts the dialog will be shown with, not the unpolished defaults. After new texts
    // (a retranslation, values read from the device) the layouts may still hold the old minimum, which reaches
    // the enclosing layouts only through posted layout requests: recompute them innermost first.
    dialog->ensurePolished();
    QList<QWidget*> widgets = dialog->findChildren<QWidget*>();
    widgets.prepend(dialog);
    for (auto it = widgets.crbegin(); it != widgets.crend(); ++it) {
        if (QLayout* layout = (*it)->layout()) {
            layout->invalidate();
            layout->activate();
        }
    }
    QSize size = designed.toSize().expandedTo(dialog->minimumSizeHint());
    // Wrapped texts need more lines at a narrow width than the plain minimum allows for.
    if (dialog->hasHeightForWidth())
        size.setHeight(qMax(size.height(), dialog->heightForWidth(size.width())));
    dialog->setFixedSize(size);
}

void fitAddressField(QLineEdit* field)
{
    // As the line edit measures its own contents: the text, its inner margins and the cursor, then the frame.
    const int innerMargin = 2;
    const QMargins margins = field->textMargins() + field->contentsMargins();
    const int text = field->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.254")) + 2 * innerMargin + 1
        + margins.left() + margins.right();
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field) : 0;
    const int width
        = field->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(text, field->height()), field).width();
    field->setMinimumWidth(qMax(field->minimumWidth(), width));
}
