#ifndef DIVEVODSETTINGS_H
#define DIVEVODSETTINGS_H

#include <QLatin1String>

// Where the settings live: every reader and writer opens the native store in user scope with these
// names for one operation, e.g. QSettings settings{kSettingsOrganisation, kSettingsApplication};
// Not constexpr: the QLatin1String constructor counts with strlen, which only gcc evaluates at compile time.
inline const QLatin1String kSettingsOrganisation("Brennhart");
inline const QLatin1String kSettingsApplication("DiveVod");

#endif // DIVEVODSETTINGS_H
