// The system-dependent part of the program on Windows.
//
// There the temporary folder is the user's own (inside the profile, closed to
// other users by its permissions) and there is no file-size signal, so most
// of the guards the POSIX side needs reduce to checks on the name.
#include <windows.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/piattaforma.h"

namespace varimo::piattaforma {

namespace {

bool processoVivo(qint64 pid) {
    HANDLE h = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
    if (h == nullptr) return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD codice = 0;
    const bool vivo = ::GetExitCodeProcess(h, &codice) && codice == STILL_ACTIVE;
    ::CloseHandle(h);
    return vivo;
}

bool collegamento(const QFileInfo& f) {
    return f.isSymLink() || f.isJunction();
}

}  // namespace

void ignoraLimiteDimensioneFile() {}

std::optional<QString> collegamentoVietato(const QString& percorso) {
    // Links can be made only by administrators or in developer mode, and the
    // folders the program writes to are the user's own: a link is followed as
    // the user made it, except one in a folder of someone else's reached
    // through a shared drive, which the system's permissions already guard.
    Q_UNUSED(percorso);
    return std::nullopt;
}

QString nomeCartellaPrivata() {
    return QStringLiteral("varimo-") + qEnvironmentVariable("USERNAME", QStringLiteral("utente"));
}

QString cartellaPrivata(const QString& temporanea, QString* errore) {
    const QString percorso = QDir(temporanea).filePath(nomeCartellaPrivata());
    const QFileInfo f(percorso);
    if (collegamento(f) || (f.exists() && !f.isDir())) {
        if (errore)
            *errore = QStringLiteral("la cartella dei documenti ") +
                      QDir::toNativeSeparators(percorso) +
                      QStringLiteral(
                          " non è una cartella dell'utente: per sicurezza non viene "
                          "usata.");
        return {};
    }
    if (!f.exists() && !QDir().mkpath(percorso)) {
        if (errore)
            *errore = QStringLiteral("la cartella dei documenti ") +
                      QDir::toNativeSeparators(percorso) +
                      QStringLiteral(" non può essere creata.");
        return {};
    }
    return percorso;
}

std::variant<QByteArray, QString> leggiFileRegolare(const QString& percorso, qint64 massimo) {
    const QFileInfo f(percorso);
    if (!f.exists()) return QStringLiteral("il file non esiste.");
    if (f.isDir()) return QStringLiteral("è una cartella, non un file.");
    // Device names (CON, NUL, COM1…) and pipes are not files on disk.
    const DWORD attributi = ::GetFileAttributesW(
        reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(f.absoluteFilePath()).utf16()));
    if (!f.isFile() || attributi == INVALID_FILE_ATTRIBUTES ||
        (attributi & FILE_ATTRIBUTE_DEVICE) != 0)
        return QStringLiteral(
            "non è un file di progetto (è una coda, un dispositivo o un altro file speciale).");
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.error() == QFileDevice::PermissionsError)
            return QStringLiteral("non si hanno i permessi per leggere il file.");
        return QStringLiteral("il file non può essere aperto (") + file.errorString() +
               QStringLiteral(").");
    }
    // One byte more than the limit shows a file over it.
    QByteArray dati = file.read(massimo + 1);
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("errore durante la lettura del file (") + file.errorString() +
               QStringLiteral(").");
    return dati;
}

QString marcaTemporaneo() {
    return marcaBase() + QString::number(QCoreApplication::applicationPid());
}

bool processoTerminato(qint64 pid) {
    return !processoVivo(pid);
}

bool altrui(const QFileInfo&) {
    return false;  // the temporary folder is the user's own
}

int rimuoviTemporaneiAbbandonati(const QString& cartella) {
    const QDir d(cartella);
    int rimossi = 0;
    const QFileInfoList voci =
        d.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& voce : voci) {
        const qint64 pid = processoDelTemporaneo(voce.fileName());
        if (pid == 0 || pid == QCoreApplication::applicationPid()) continue;
        if (collegamento(voce) || processoVivo(pid)) continue;
        if (QFile::remove(voce.absoluteFilePath())) ++rimossi;
    }
    return rimossi;
}

}  // namespace varimo::piattaforma
