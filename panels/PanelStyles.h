#ifndef PANELSTYLES_H
#define PANELSTYLES_H

#include <QString>

// Style sheets of the status panels' indicators. An LED is a label with one of the LED images
// stretched over it; a key is a rounded button, gray when idle and white with a yellow rim when on.
extern const QString LED_GRAY;
extern const QString LED_GREEN;
extern const QString LED_RED;
extern const QString LED_YELLOW;
extern const QString KEY_IDLE;
extern const QString KEY_ACTIVE;

#endif // PANELSTYLES_H
