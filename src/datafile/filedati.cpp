#include "datafile/filedati.h"

#include "datafile/scritturafile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace varimo {

namespace {

// Qt's own error strings are English; the program speaks Italian and adds
// Qt's text only as a detail.
QString conDettaglio(const QString& motivo, const QString& dettaglio) {
    if (dettaglio.isEmpty()) return motivo;
    return motivo + QStringLiteral(" (") + dettaglio + u')';
}

}  // namespace

std::variant<ProgettoFile, QString> leggiFileProgetto(const QString& percorso) {
    const QFileInfo info(percorso);
    if (!info.exists()) return QStringLiteral("il file non esiste.");
    if (info.isDir()) return QStringLiteral("è una cartella, non un file.");
    if (info.size() > dimensioneMassimaFile)
        return QStringLiteral("il file è troppo grande per essere un file di dati di Varimo.");
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) {
        if (!info.isReadable())
            return QStringLiteral("non si hanno i permessi per leggere il file.");
        return conDettaglio(QStringLiteral("il file non può essere aperto."), f.errorString());
    }
    // Read one byte more than allowed, in case the file grew since the check.
    const QByteArray dati = f.read(dimensioneMassimaFile + 1);
    if (f.error() != QFileDevice::NoError)
        return conDettaglio(QStringLiteral("errore durante la lettura del file."), f.errorString());
    if (dati.size() > dimensioneMassimaFile)
        return QStringLiteral("il file è troppo grande per essere un file di dati di Varimo.");
    auto letto = leggiProgettoFile(dati);
    if (auto* e = std::get_if<ErroreLettura>(&letto))
        return QStringLiteral("il contenuto non è quello di un file di dati di Varimo: ") +
               e->testo() + u'.';
    return std::get<ProgettoFile>(std::move(letto));
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
