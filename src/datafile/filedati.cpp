#include "datafile/filedati.h"

#include "common/piattaforma.h"
#include "common/scritturafile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace varimo {

std::variant<ProgettoFile, QString> leggiFileProgetto(const QString& percorso) {
    return leggiFileProgetto(percorso, nullptr);
}

std::variant<ProgettoFile, QString> leggiFileProgetto(const QString& percorso,
                                                      QByteArray* contenuto) {
    // Only a regular file is read, and never waited on (a FIFO, a device).
    auto letto = piattaforma::leggiFileRegolare(percorso, dimensioneMassimaFile);
    if (auto* e = std::get_if<QString>(&letto)) return *e;
    const QByteArray& dati = std::get<QByteArray>(letto);
    if (dati.size() > dimensioneMassimaFile)
        return QStringLiteral("il file è troppo grande per essere un file di dati di Varimo.");
    if (contenuto) *contenuto = dati;
    auto progetto = leggiProgettoFile(dati);
    if (auto* e = std::get_if<ErroreLettura>(&progetto))
        return QStringLiteral("il contenuto non è quello di un file di dati di Varimo: ") +
               e->testo() + u'.';
    return std::get<ProgettoFile>(std::move(progetto));
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
