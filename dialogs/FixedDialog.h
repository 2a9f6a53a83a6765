#ifndef FIXEDDIALOG_H
#define FIXEDDIALOG_H

class QDialog;

// Drops the context-help button, sets the fixed-size hint and fixes the dialog at its current
// size (grown to the contents' minimum if needed). The hint alone fixes the size only on
// Windows; window managers elsewhere ignore it. Call after setupUi, and again after a retranslation.
void fixDialogFrame(QDialog* dialog);

#endif // FIXEDDIALOG_H
