#include "common/scritturafile.h"

namespace varimo {

QString conDettaglio(const QString& motivo, const QString& dettaglio) {
    if (dettaglio.isEmpty()) return motivo;
    return motivo + QStringLiteral(" (") + dettaglio + u')';
}

QString motivoScritturaFallita(const QString& dettaglio) {
    return conDettaglio(
        QStringLiteral("errore durante la scrittura (il disco potrebbe essere pieno)."), dettaglio);
}

}  // namespace varimo
