#include "PanelStyles.h"

const QString LED_GRAY = QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/gray.png)}");
const QString LED_GREEN = QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/green.png)}");
const QString LED_RED = QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/red.png)}");
// Not drawn by the panels today; kept with the others for a future amber state.
const QString LED_YELLOW = QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/yellow.png)}");

const QString KEY_IDLE = QStringLiteral(
    "QPushButton{border-width: 3px; border-radius: 10px; padding: 2px 2px; border-color: rgb(50,50,50); "
    "background-color: rgb(100,100,100); border-style: outset;}"
    "QPushButton:pressed{border-width: 3px; border-radius: 10px; padding: 2px 2px; border-color: rgb(50,50,50); "
    "background-color: rgb(105,105,105); border-style: inset;}");

const QString KEY_ACTIVE = QStringLiteral(
    "QPushButton{border-width: 3px; border-radius: 10px; padding: 2px 2px; border-color: rgb(225,225,0); "
    "background-color: rgb(255,255,255); border-style: outset;}"
    "QPushButton:pressed{border-width: 3px; border-radius: 10px; padding: 2px 2px; border-color: rgb(225,225,0); "
    "background-color: rgb(250,250,250); border-style: inset;}");
