#include "reports/colore.h"

#include <QString>

#include "common/interazione.h"

namespace varimo {

ColoriSfondo colorare(quint32 coloreQuesta) {
    ColoriSfondo esito;
    if ((coloreQuesta & 0xFFFFFF) != kGrigioRiposante) {
        const Risposta r = messaggio(QStringLiteral("Desideri un colore riposante (grigio)?"),
                                     QStringLiteral("Varimo: colore di sfondo"), Icona::Nessuna,
                                     Pulsanti::SiNo, Risposta::Si);
        if (r == Risposta::Si) {
            esito.questa = kGrigioRiposante;
            esito.altra = kGrigioRiposante;
            return esito;
        }
    }
    // The dialog opens on the window's current colour.
    if (const std::optional<quint32> scelto = chiediColore(coloreQuesta))
        esito.questa = *scelto & 0xFFFFFF;
    return esito;
}

}  // namespace varimo
