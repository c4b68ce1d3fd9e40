#include "common/scritturafile.h"

#include <QFileInfo>

namespace varimo {

QString conDettaglio(const QString& motivo, const QString& dettaglio) {
    if (dettaglio.isEmpty()) return motivo;
    return motivo + QStringLiteral(" (") + dettaglio + u')';
}

QString motivoScritturaFallita(const QString& dettaglio) {
    return conDettaglio(
        QStringLiteral("errore durante la scrittura (il disco potrebbe essere pieno)."), dettaglio);
}

std::optional<QString> scriviFileProgetto(const QString& percorso, const QByteArray& contenuto) {
    const QFileInfo info(percorso);
    if (info.isDir()) return QStringLiteral("il nome scelto è quello di una cartella.");
    // A file with no write permission for anyone is read-only, also for a
    // user (such as the administrator) whom the system would let write.
    const bool nessunoScrive =
        !(info.permissions() &
          (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
    if (info.exists() && (!info.isWritable() || nessunoScrive))
        return QStringLiteral(
            "il file è di sola lettura o non si hanno i permessi per modificarlo.");
    const QFileInfo cartella(info.absolutePath());
    if (!cartella.exists()) return QStringLiteral("la cartella non esiste.");

    if (const auto errore = scriviFileCompleto(percorso, contenuto)) return errore->motivo;
    return std::nullopt;
}

}  // namespace varimo
