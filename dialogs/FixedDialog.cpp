#include "FixedDialog.h"

#include <QDialog>

void fixDialogFrame(QDialog* dialog)
{
    dialog->setWindowFlags((dialog->windowFlags() & ~Qt::WindowContextHelpButtonHint)
                           | Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFixedSize(dialog->size().expandedTo(dialog->minimumSizeHint()));
}
