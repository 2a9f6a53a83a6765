#ifndef DIVEVODSETTINGS_H
#define DIVEVODSETTINGS_H

#include <QLatin1String>

// Where the settings live: every reader and writer opens the native store in user scope with these
// names for one operation, e.g. QSettings settings{kSettingsOrganisation, kSettingsApplication};
constexpr QLatin1String kSettingsOrganisation("Brennhart");
constexpr QLatin1String kSettingsApplication("DiveVod");

#endif // DIVEVODSETTINGS_H
