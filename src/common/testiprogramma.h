#pragma once

#include <QString>

namespace varimo {

// The program's own texts: its name, description, version and the titles of
// its messages.
struct TestiProgramma {
    static inline const QString nomeprogramma = QStringLiteral("Varimo");
    static inline const QString descrizioneprogramma =
        QStringLiteral("elaborazione di un quadro economico");
    static inline const QString versioneprogramma = QStringLiteral("2.04.05");
    static inline const QString dataversione = QStringLiteral("26/01/05");
    // Build date as ddmmyy; the release was built in 2011.
    static inline const QString codicecompilazione = QStringLiteral("150311");

    // Message titles.
    static inline const QString titolocontrollo =
        nomeprogramma + QStringLiteral(": controllo dati immessi nella finestra attiva");
    static inline const QString titoloaiuto = nomeprogramma + QStringLiteral(": aiuto in linea");
    static inline const QString titoloelimina =
        QStringLiteral("Elimina: seleziona il file desiderato e clicca su Apri per cancellarlo");
};

}  // namespace varimo
