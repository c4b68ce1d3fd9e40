// The system-dependent part of the program on Linux and other POSIX systems.
#include "common/piattaforma.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace varimo::piattaforma {

namespace {

QString dettaglio(int e) {
    return QString::fromLocal8Bit(std::strerror(e));
}

// A folder where anyone may create files but only remove their own (the
// temporary folder shared by all users).
bool cartellaCondivisa(const struct stat& s) {
    return S_ISDIR(s.st_mode) && (s.st_mode & S_ISVTX) && (s.st_mode & S_IWOTH);
}

}  // namespace

void ignoraLimiteDimensioneFile() {
    std::signal(SIGXFSZ, SIG_IGN);
}

std::optional<QString> collegamentoVietato(const QString& percorso) {
    const QByteArray nome = QFile::encodeName(percorso);
    struct stat s {};
    if (::lstat(nome.constData(), &s) != 0 || !S_ISLNK(s.st_mode)) return std::nullopt;
    if (s.st_uid != ::geteuid() && s.st_uid != 0)
        return QStringLiteral(
            "il nome è un collegamento simbolico creato da un altro utente: per sicurezza non "
            "viene seguito e il file a cui rimanda non viene modificato.");
    struct stat c {};
    const QByteArray cartella = QFile::encodeName(QFileInfo(percorso).absolutePath());
    if (::stat(cartella.constData(), &c) == 0 && cartellaCondivisa(c))
        return QStringLiteral(
            "il nome è un collegamento simbolico in una cartella condivisa con altri utenti: per "
            "sicurezza non viene seguito e il file a cui rimanda non viene modificato.");
    return std::nullopt;
}

QString nomeCartellaPrivata() {
    return QStringLiteral("varimo-") + QString::number(::geteuid());
}

QString cartellaPrivata(const QString& temporanea, QString* errore) {
    QString percorso = QDir(temporanea).filePath(nomeCartellaPrivata());
    const QByteArray nome = QFile::encodeName(percorso);
    const auto fallisci = [&](const QString& motivo) {
        if (errore) *errore = motivo;
        return QString();
    };
    if (::mkdir(nome.constData(), 0700) != 0 && errno != EEXIST)
        return fallisci(QStringLiteral("la cartella dei documenti non può essere creata (") +
                        dettaglio(errno) + QStringLiteral(")."));
    struct stat s {};
    if (::lstat(nome.constData(), &s) != 0)
        return fallisci(QStringLiteral("la cartella dei documenti non è accessibile (") +
                        dettaglio(errno) + QStringLiteral(")."));
    if (!S_ISDIR(s.st_mode) || s.st_uid != ::geteuid())
        return fallisci(QStringLiteral("la cartella dei documenti ") +
                        QDir::toNativeSeparators(percorso) +
                        QStringLiteral(" non appartiene all'utente o non è una cartella: per "
                                       "sicurezza non viene usata."));
    if ((s.st_mode & 07777) != 0700 && ::chmod(nome.constData(), 0700) != 0)
        return fallisci(QStringLiteral("la cartella dei documenti non può essere resa privata (") +
                        dettaglio(errno) + QStringLiteral(")."));
    return percorso;
}

std::variant<QByteArray, QString> leggiFileRegolare(const QString& percorso, qint64 massimo) {
    const QByteArray nome = QFile::encodeName(percorso);
    const auto daErrno = [](int e) -> QString {
        switch (e) {
            case ENOENT:
                return QStringLiteral("il file non esiste.");
            case ELOOP:
                return QStringLiteral(
                    "il nome è un collegamento simbolico che rimanda a se stesso (un ciclo di "
                    "collegamenti).");
            case EACCES:
            case EPERM:
                return QStringLiteral("non si hanno i permessi per leggere il file.");
            case ENAMETOOLONG:
                return QStringLiteral("il nome del file è troppo lungo.");
            case ENOTDIR:
                return QStringLiteral("la cartella non esiste.");
            default:
                return QStringLiteral("il file non può essere aperto (") + dettaglio(e) +
                       QStringLiteral(").");
        }
    };
    const auto tipoNonValido = [](const struct stat& s) -> std::optional<QString> {
        if (S_ISDIR(s.st_mode)) return QStringLiteral("è una cartella, non un file.");
        if (!S_ISREG(s.st_mode))
            return QStringLiteral(
                "non è un file di progetto (è una coda, un dispositivo o un altro file speciale).");
        return std::nullopt;
    };

    // Checked before opening: opening a FIFO or a device may wait or act.
    struct stat s {};
    if (::stat(nome.constData(), &s) != 0) return daErrno(errno);
    if (auto e = tipoNonValido(s)) return *e;
    // Without waiting, in case the name was replaced meanwhile.
    const int fd = ::open(nome.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return daErrno(errno);
    struct Chiudi {
        int fd;
        ~Chiudi() { ::close(fd); }
    } chiudi{fd};
    if (::fstat(fd, &s) != 0) return daErrno(errno);
    if (auto e = tipoNonValido(s)) return *e;
    const int flag = ::fcntl(fd, F_GETFL);
    if (flag >= 0) ::fcntl(fd, F_SETFL, flag & ~O_NONBLOCK);

    QByteArray dati;
    const qint64 limite = massimo + 1;  // one byte more shows a file over the limit
    dati.resize(static_cast<qsizetype>(qMin<qint64>(limite, qMax<qint64>(s.st_size, 0) + 1)));
    qsizetype letti = 0;
    for (;;) {
        if (letti == dati.size()) {
            if (dati.size() >= limite) break;
            dati.resize(static_cast<qsizetype>(qMin<qint64>(limite, dati.size() * 2 + 4096)));
        }
        const ssize_t n = ::read(fd, dati.data() + letti, static_cast<size_t>(dati.size() - letti));
        if (n < 0) {
            if (errno == EINTR) continue;
            return QStringLiteral("errore durante la lettura del file (") + dettaglio(errno) +
                   QStringLiteral(").");
        }
        if (n == 0) break;
        letti += n;
    }
    dati.truncate(letti);
    return dati;
}

QString marcaTemporaneo() {
    return marcaBase() + QString::number(::getpid());
}

int rimuoviTemporaneiAbbandonati(const QString& cartella) {
    const QByteArray nomeCartella = QFile::encodeName(cartella);
    DIR* d = ::opendir(nomeCartella.constData());
    if (!d) return 0;
    const int fdCartella = ::dirfd(d);
    int rimossi = 0;
    while (const dirent* voce = ::readdir(d)) {
        const auto pid = static_cast<pid_t>(processoDelTemporaneo(QFile::decodeName(voce->d_name)));
        if (pid == 0 || pid == ::getpid()) continue;
        struct stat s {};
        if (::fstatat(fdCartella, voce->d_name, &s, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(s.st_mode) || s.st_uid != ::geteuid()) continue;
        // Only a process that no longer exists: a save under way in another
        // window keeps its file.
        if (::kill(pid, 0) == 0 || errno != ESRCH) continue;
        if (::unlinkat(fdCartella, voce->d_name, 0) == 0) ++rimossi;
    }
    ::closedir(d);
    return rimossi;
}

bool processoTerminato(qint64 pid) {
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

bool altrui(const QFileInfo& f) {
    return f.ownerId() != ::geteuid();
}

}  // namespace varimo::piattaforma
