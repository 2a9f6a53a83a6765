#ifndef FIXEDDIALOG_H
#define FIXEDDIALOG_H

class QDialog;
class QLineEdit;

// Drops the context-help button, sets the fixed-size hint and fixes the dialog at its designed
// size (grown to the contents' minimum if needed). The hint alone fixes the size only on
// Windows; window managers elsewhere ignore it. Call after setupUi, and again after a retranslation
// or after filling in values: every call starts from the size the dialog had at the first one, so
// switching languages back and forth gives each language the same size instead of letting the dialog grow.
// The first call also lets Escape reject the dialog while it is disabled as a whole (a read-only
// view): its controls stay inert, but the keyboard can still close it as the close button does.
void fixDialogFrame(QDialog* dialog);

// Widens an address field so that the longest address, "255.255.255.254", shows whole.
void fitAddressField(QLineEdit* field);

#endif // FIXEDDIALOG_H
