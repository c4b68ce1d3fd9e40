#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace varimo {

// Writing a whole file so that a failure never harms what was there: the
// bytes go to a new file beside the target, which is forced to the disk and
// only then renamed over the target. A full disk, a quota or a file-size
// limit is found while writing or syncing (never hidden in a buffer), the
// new file is removed and the old one stays byte for byte as it was.

enum class ModoScrittura {
    Sostituisci,  // an existing file is replaced (its permissions are kept)
    SoloNuovo,    // an existing file is never touched: giaEsistente
};

enum class Riservatezza {
    Comune,   // a new file gets the permissions the file-creation mask allows
    Privato,  // readable and writable by the user only, whatever was there
};

struct ErroreScritturaFile {
    QString motivo;             // Italian, for the user
    bool giaEsistente = false;  // SoloNuovo and the name is taken
};

// A reason followed by the system's detail in brackets, when there is one.
QString conDettaglio(const QString& motivo, const QString& dettaglio);

// The reason of a failed write of data: "errore durante la scrittura (il disco
// potrebbe essere pieno)." and the system's detail.
QString motivoScritturaFallita(const QString& dettaglio);

// Writes `contenuto` as the whole file at `percorso`. A symbolic link of the
// user's own is followed to the file it names; one planted by another user,
// or any link in a folder shared by everyone, is refused with the reason.
// Temporary files that earlier saves in the same folder left behind when
// their process died are removed first. Nothing on success.
std::optional<ErroreScritturaFile> scriviFileCompleto(
    const QString& percorso, const QByteArray& contenuto,
    ModoScrittura modo = ModoScrittura::Sostituisci,
    Riservatezza riservatezza = Riservatezza::Comune);

// Writes `contenuto` to `percorso` through a temporary file beside it that
// replaces the old file only once completely written, so a failure never
// leaves a half-written or emptied file. A read-only file, a folder or a missing folder is
// refused before anything is written.
// On failure: an Italian description of the reason.
std::optional<QString> scriviFileProgetto(const QString& percorso, const QByteArray& contenuto);

}  // namespace varimo
