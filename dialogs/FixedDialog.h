#ifndef FIXEDDIALOG_H
#define FIXEDDIALOG_H

class QDialog;

// Drops the context-help button, sets the fixed-size hint and fixes the dialog at its designed
// size (grown to the contents' minimum if needed). The hint alone fixes the size only on
// Windows; window managers elsewhere ignore it. Call after setupUi, and again after a retranslation:
// every call starts from the size the dialog had at the first one, so switching languages back and
// forth gives each language the same size instead of letting the dialog grow.
void fixDialogFrame(QDialog* dialog);

#endif // FIXEDDIALOG_H
