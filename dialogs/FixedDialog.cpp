#include "FixedDialog.h"

#include <QDialog>
#include <QLayout>
#include <QVariant>

namespace {

const char kDesignedSize[] = "divevodDesignedSize";

} // namespace

void fixDialogFrame(QDialog* dialog)
{
    dialog->setWindowFlags((dialog->windowFlags() & ~Qt::WindowContextHelpButtonHint)
                           | Qt::MSWindowsFixedSizeDialogHint);
    QVariant designed = dialog->property(kDesignedSize);
    if (!designed.isValid()) {
        designed = dialog->size();
        dialog->setProperty(kDesignedSize, designed);
    }
    // Right after a retranslation the layout may still hold the old texts' minimum (new texts reach it only
    // through posted layout requests): recompute it from every item first.
    if (QLayout* layout = dialog->layout()) {
        layout->invalidate();
        layout->activate();
    }
    dialog->setFixedSize(designed.toSize().expandedTo(dialog->minimumSizeHint()));
}
