#include "common/scritturafile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/nomifile.h"
#include "common/piattaforma.h"

namespace varimo {

namespace {

QString dettaglioErrno(int e) {
    return QString::fromLocal8Bit(std::strerror(e));
}

// The permissions a new file gets from the process's file-creation mask.
mode_t permessiNuovoFile() {
    const mode_t maschera = ::umask(0);
    ::umask(maschera);
    return static_cast<mode_t>(0666 & ~maschera);
}

// write() until everything is written; the errno of the failure, or 0.
int scriviTutto(int fd, const QByteArray& dati) {
    const char* p = dati.constData();
    qsizetype resto = dati.size();
    while (resto > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(resto));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;
        p += n;
        resto -= n;
    }
    return 0;
}

// Puts the finished temporary file in place of the target.
int metteAlPosto(const QByteArray& temporaneo, const QByteArray& destinazione, ModoScrittura modo) {
    if (modo == ModoScrittura::Sostituisci)
        return ::rename(temporaneo.constData(), destinazione.constData()) == 0 ? 0 : errno;
    if (::renameat2(AT_FDCWD, temporaneo.constData(), AT_FDCWD, destinazione.constData(),
                    RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // A file system without that kind of rename: a hard link never replaces
    // an existing name either; the temporary name goes afterwards.
    if (::link(temporaneo.constData(), destinazione.constData()) != 0) return errno;
    ::unlink(temporaneo.constData());
    return 0;
}

// Why the file at `destinazione` must not be replaced, whoever writes: it is
// not a regular file (a device, a FIFO, a socket, a folder), or it belongs to
// another user in a folder where everyone creates files (a name planted in a
// shared temporary folder). Nothing when it may be.
std::optional<QString> nonSostituibile(const QByteArray& destinazione, const QString& cartella) {
    struct stat s {};
    if (::lstat(destinazione.constData(), &s) != 0) return std::nullopt;  // a new name
    if (S_ISDIR(s.st_mode)) return QStringLiteral("il nome è quello di una cartella.");
    if (S_ISCHR(s.st_mode) || S_ISBLK(s.st_mode))
        return QStringLiteral("non è un file ma un dispositivo: non viene sostituito.");
    if (S_ISFIFO(s.st_mode))
        return QStringLiteral("non è un file ma una FIFO: non viene sostituito.");
    if (S_ISSOCK(s.st_mode))
        return QStringLiteral("non è un file ma un socket: non viene sostituito.");
    if (!S_ISREG(s.st_mode)) return QStringLiteral("non è un file regolare: non viene sostituito.");
    struct stat d {};
    if (s.st_uid != ::geteuid() &&
        ::stat(QFile::encodeName(cartella).constData(), &d) == 0 && (d.st_mode & S_ISVTX) &&
        (d.st_mode & S_IWOTH))
        return QStringLiteral(
            "il file appartiene a un altro utente in una cartella in cui tutti possono "
            "scrivere: non viene sostituito.");
    return std::nullopt;
}

}  // namespace

std::optional<ErroreScritturaFile> scriviFileCompleto(const QString& percorso,
                                                      const QByteArray& contenuto,
                                                      ModoScrittura modo,
                                                      Riservatezza riservatezza) {
    // A new file never goes through an existing name (the rename below
    // refuses it); only a replacement might follow a link.
    if (modo == ModoScrittura::Sostituisci) {
        if (auto vietato = piattaforma::collegamentoVietato(percorso))
            return ErroreScritturaFile{*vietato, false};
    }
    QString bersaglio = percorso;
    const QFileInfo info(percorso);
    if (info.isSymLink() && modo == ModoScrittura::Sostituisci) {
        const QString punta = info.symLinkTarget();
        if (!punta.isEmpty()) bersaglio = punta;
    }
    const QFileInfo infoBersaglio(bersaglio);
    const QString cartella = infoBersaglio.absolutePath();
    const QByteArray destinazione = QFile::encodeName(infoBersaglio.absoluteFilePath());
    if (auto motivo = nonSostituibile(destinazione, cartella))
        return ErroreScritturaFile{*motivo, modo == ModoScrittura::SoloNuovo};
    piattaforma::rimuoviTemporaneiAbbandonati(cartella);

    // The temporary file: hidden, in the same folder (a rename never crosses
    // file systems), marked with the process that writes it, with a unique
    // suffix; the name part is shortened so the whole fits the name limit.
    const QString marca = piattaforma::marcaTemporaneo() + QStringLiteral(".XXXXXX");
    const int spazio = kByteMassimiNomeFile - 1 - static_cast<int>(marca.toUtf8().size());
    QByteArray modello = QFile::encodeName(
        QDir(cartella).filePath(u'.' + troncaInByte(infoBersaglio.fileName(), spazio) + marca));
    const int fd = ::mkostemp(modello.data(), O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        if (e == EACCES || e == EPERM || e == EROFS)
            return ErroreScritturaFile{
                QStringLiteral("non si hanno i permessi per scrivere nella cartella."), false};
        if (e == ENOENT || e == ENOTDIR)
            return ErroreScritturaFile{QStringLiteral("la cartella non esiste."), false};
        if (e == ENOSPC || e == EDQUOT)
            return ErroreScritturaFile{motivoScritturaFallita(dettaglioErrno(e)), false};
        return ErroreScritturaFile{
            conDettaglio(QStringLiteral("il file non può essere creato."), dettaglioErrno(e)),
            false};
    }
    const auto abbandona = [&](const QString& motivo) {
        ::close(fd);
        ::unlink(modello.constData());
        return ErroreScritturaFile{motivo, false};
    };

    // The new file takes the old one's read and write permissions, or those
    // of any new file; it belongs to the writer, and never carries the set-id
    // or sticky bits of what it replaces.
    struct stat vecchio {};
    const bool esisteva = ::stat(destinazione.constData(), &vecchio) == 0;
    const mode_t permessi = riservatezza == Riservatezza::Privato ? mode_t{0600}
                            : esisteva                            ? (vecchio.st_mode & 0777)
                                                                  : permessiNuovoFile();
    if (::fchmod(fd, permessi) != 0)
        return abbandona(
            conDettaglio(QStringLiteral("il file non può essere creato."), dettaglioErrno(errno)));

    if (const int e = scriviTutto(fd, contenuto))
        return abbandona(motivoScritturaFallita(dettaglioErrno(e)));
    // Space that the file system grants only when the data reach the disk
    // (delayed allocation, network and quota file systems) fails here.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        return abbandona(motivoScritturaFallita(dettaglioErrno(errno)));
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(modello.constData());
        return ErroreScritturaFile{motivoScritturaFallita(dettaglioErrno(e)), false};
    }

    if (const int e = metteAlPosto(modello, destinazione, modo)) {
        ::unlink(modello.constData());
        if (e == EEXIST) return ErroreScritturaFile{QStringLiteral("il file esiste già."), true};
        return ErroreScritturaFile{
            conDettaglio(QStringLiteral("il file non può essere sostituito."), dettaglioErrno(e)),
            false};
    }
    // The new name itself reaches the disk with the folder.
    const int dir =
        ::open(QFile::encodeName(cartella).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return std::nullopt;
}

}  // namespace varimo
