#include "progetto/progettoaperto.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>
#include <QSysInfo>

#include "common/interazione.h"
#include "common/piattaforma.h"
#include "common/scritturafile.h"

namespace varimo {

namespace {

QByteArray hashDi(const QByteArray& dati) {
    return QCryptographicHash::hash(dati, QCryptographicHash::Sha256);
}

// The lock file of a project, beside it, named as office suites name theirs.
QString nomeBlocco(const QString& percorso) {
    const QFileInfo info(percorso);
    return info.dir().filePath(QStringLiteral(".~lock.") + info.fileName() + u'#');
}

// The largest file whose content is compared with the one recorded: past it
// (no project file is that large) a changed size and time count as a change.
constexpr qint64 kConfrontoMassimo = 256LL * 1024 * 1024;

}  // namespace

ProgettoAperto::ProgettoAperto(QString titolo, QObject* parent)
    : QObject(parent), titolo_(std::move(titolo)) {
    storia_.setUndoLimit(kPassiConservati);
}

ProgettoAperto::~ProgettoAperto() = default;

void ProgettoAperto::ricordaFile(const QString& percorso, const QByteArray& contenuto) {
    const QFileInfo info(percorso);
    impronta_ = Impronta{percorso, info.size(), info.lastModified(), hashDi(contenuto)};
    blocca(percorso, false);
}

void ProgettoAperto::lasciaFile() {
    impronta_ = {};
    blocco_.reset();
}

bool ProgettoAperto::cambiatoSulDisco() const {
    if (impronta_.percorso.isEmpty() || impronta_.percorso != percorso_) return false;
    const QFileInfo info(impronta_.percorso);
    if (!info.exists()) return false;  // removed meanwhile: the save makes it again
    if (info.size() == impronta_.dimensione && info.lastModified() == impronta_.modifica)
        return false;
    // Touched or rewritten: only a different content counts.
    auto ora = piattaforma::leggiFileRegolare(impronta_.percorso, kConfrontoMassimo);
    if (const auto* dati = std::get_if<QByteArray>(&ora)) return hashDi(*dati) != impronta_.hash;
    return true;
}

namespace {

// The lock files this program holds, by name.
QSet<QString>& bloccatiQui() {
    static QSet<QString> nomi;
    return nomi;
}

}  // namespace

void ProgettoAperto::Rilascia::operator()(QLockFile* f) const {
    if (f && f->isLocked()) bloccatiQui().remove(f->fileName());
    delete f;
}

bool ProgettoAperto::blocca(const QString& percorso, bool chiedendo) {
    const QString nome = nomeBlocco(percorso);
    if (blocco_ && blocco_->fileName() == nome) return true;
    Blocco nuovo(new QLockFile(nome));
    // Only a dead process makes a lock stale, however old it is: a project
    // stays open for hours.
    nuovo->setStaleLockTime(0);
    if (nuovo->tryLock(0)) {
        bloccatiQui().insert(nome);
    } else if (nuovo->error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString computer;
        QString programma;
        nuovo->getLockInfo(&pid, &computer, &programma);
        // The same program (another window of it, a test) holds no one back.
        const bool nostro =
            bloccatiQui().contains(nome) ||
            (pid == QCoreApplication::applicationPid() &&
             computer.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0);
        if (!nostro) {
            if (chiedendo) {
                const QString utente = QFileInfo(nome).owner();
                const QString chi =
                    (utente.isEmpty() ? QString() : QStringLiteral("dall'utente ") + utente) +
                    (computer.isEmpty() ? QString() : QStringLiteral(" sul computer ") + computer);
                if (messaggio(QStringLiteral("Il progetto") + u'\r' +
                                  QDir::toNativeSeparators(percorso) + u'\r' +
                                  QStringLiteral("è già aperto in un altro Varimo") +
                                  (chi.isEmpty() ? QString() : u' ' + chi.trimmed()) +
                                  QStringLiteral(": le modifiche salvate da uno dei due "
                                                 "potrebbero andare perse. Aprirlo comunque?"),
                              titolo_, Icona::Domanda, Pulsanti::SiNo,
                              Risposta::No) != Risposta::Si)
                    return false;
            }
            nuovo.reset();  // someone else's lock is left alone
        }
    }
    blocco_ = std::move(nuovo);
    return true;
}

bool ProgettoAperto::prendiFile(const QString& percorso, const QByteArray& contenuto) {
    if (!blocca(percorso, true)) return false;
    ricordaFile(percorso, contenuto);
    if (fileUsato_) fileUsato_(percorso);
    return true;
}

bool ProgettoAperto::salvaContenuto(const QByteArray& contenuto, bool nuovoNome,
                                    const std::function<std::optional<QString>()>& chiedi,
                                    const QString& fallimento) {
    QString percorso = nuovoNome ? QString() : percorso_;
    if (percorso.isEmpty()) {
        const std::optional<QString> scelto = chiedi();
        if (!scelto || scelto->trimmed().isEmpty()) return false;
        if (!consentiSostituzione(*scelto, titolo_)) return false;
        percorso = *scelto;
    } else if (cambiatoSulDisco() && messaggio(testiprogetto::modificatoAltrove, titolo_, Icona::Domanda,
                                               Pulsanti::SiNo, Risposta::No) != Risposta::Si) {
        return false;
    }
    if (const auto errore = scriviFileProgetto(percorso, contenuto)) {
        messaggio(fallimento + u'\r' + QDir::toNativeSeparators(percorso) + u'\r' + *errore,
                  titolo_, Icona::Esclamazione);
        return false;
    }
    ricordaFile(percorso, contenuto);
    salvatoIn(percorso);
    if (fileUsato_) fileUsato_(percorso);
    return true;
}

void ProgettoAperto::salvatoIn(const QString& percorso) {
    percorso_ = percorso;
    storia_.setClean();
}

}  // namespace varimo
