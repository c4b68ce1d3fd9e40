#pragma once

#include <QString>

namespace varimo {

// The edition line of the about window: "edizione professionale - versione ",
// the version, two blanks, the four-digit year of the release date (day/month/
// year) written with the blank a number keeps for its sign, "- 20" and the last
// two characters of the build code. With the program's values:
// "edizione professionale - versione 2.04.05   2005- 2011".
QString rigaEdizione(const QString& versione, const QString& dataversione,
                     const QString& codicecompilazione);

// The four-digit year of a date written day/month/year. A two-digit year is
// read as the system reads it: 00..29 are 2000..2029, 30..99 are 1930..1999.
// Returns 0 when the text holds no readable year.
int annoVersione(const QString& dataversione);

}  // namespace varimo
