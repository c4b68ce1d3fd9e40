#pragma once

#include <QString>

#include <cstdint>

namespace varimo {

// Program-wide values shared by every window. They live for the whole run;
// the procedures below write the same constants again each time they run.
struct ModVarimo {
    // Written by datiprogramma().
    static inline QString nomeprogramma;
    static inline QString descrizioneprogramma;
    static inline QString versioneprogramma;
    static inline QString dataversione;
    static inline QString codicecompilazione;

    // Message titles, written by impostatitoli().
    static inline QString titolocontrollo;
    static inline QString titoloaiuto;
    static inline QString titoloelimina;

    // Project name and currency (framework window, data file, reports).
    static inline QString nomeprogetto;
    static inline QString valuta;

    // Title and text of the guide that stampaguida prints next.
    static inline QString titologuida;
    static inline QString testoguida;

    static void datiprogramma();
    static void impostatitoli();

    // Puts every value back to its state before the program started
    // (used when a test needs a fresh program).
    static void azzera();
};

}  // namespace varimo
