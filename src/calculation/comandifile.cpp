#include "calculation/comandifile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <filesystem>
#include <system_error>

#include "calculation/progetto.h"
#include "calculation/statocalcolo.h"
#include "common/numeri.h"
#include "common/testiprogramma.h"
#include "datafile/filedati.h"

namespace varimo {

static_assert(numeroVoci == kVoci);

QList<FiltroFile> filtriDa(const QString& filtro) {
    const QStringList parti = filtro.split(u'|');
    QList<FiltroFile> r;
    for (qsizetype i = 0; i + 1 < parti.size(); i += 2)
        r.append(FiltroFile{parti[i], parti[i + 1].trimmed()});
    return r;
}

std::optional<QString> eliminaFile(const QString& percorso) {
    namespace fs = std::filesystem;
    const fs::path p = QFileInfo(percorso).filesystemFilePath();
    std::error_code e;
    // A folder is never removed, empty or not.
    if (fs::is_directory(fs::symlink_status(p, e)))
        return QStringLiteral("è una cartella, non un file.");
    if (fs::remove(p, e)) return std::nullopt;
    if (!e || e == std::errc::no_such_file_or_directory)
        return QStringLiteral("il file non esiste.");
    if (e == std::errc::is_a_directory) return QStringLiteral("è una cartella, non un file.");
    if (e == std::errc::permission_denied || e == std::errc::operation_not_permitted)
        return QStringLiteral("non si hanno i permessi per eliminare il file.");
    if (e == std::errc::read_only_file_system) return QStringLiteral("il disco è di sola lettura.");
    return QStringLiteral("il file non può essere eliminato (") +
           QString::fromLocal8Bit(e.message()) + QStringLiteral(").");
}

ComandiFile::ComandiFile(Progetto& progetto) : progetto_(progetto) {}

ComandiFile::~ComandiFile() = default;

namespace {

QByteArray hashDi(const QByteArray& dati) {
    return QCryptographicHash::hash(dati, QCryptographicHash::Sha256);
}

// The lock file of a project, beside it, named as office suites name theirs.
QString nomeBlocco(const QString& percorso) {
    const QFileInfo info(percorso);
    return info.dir().filePath(QStringLiteral(".~lock.") + info.fileName() + u'#');
}

}  // namespace

void ComandiFile::ricorda(const QString& percorso, const QByteArray& contenuto) {
    const QFileInfo info(percorso);
    impronta_ = Impronta{percorso, info.size(), info.lastModified(), hashDi(contenuto)};
}

bool ComandiFile::cambiatoSulDisco() const {
    if (impronta_.percorso.isEmpty() || impronta_.percorso != progetto_.percorso()) return false;
    const QFileInfo info(impronta_.percorso);
    if (!info.exists()) return false;  // removed meanwhile: the save makes it again
    if (info.size() == impronta_.dimensione && info.lastModified() == impronta_.modifica)
        return false;
    // Touched or rewritten: only a different content counts.
    QByteArray ora;
    if (std::holds_alternative<QString>(leggiFileProgetto(impronta_.percorso, &ora)) &&
        ora.isEmpty())
        return true;
    return hashDi(ora) != impronta_.hash;
}

bool ComandiFile::blocca(const QString& percorso, bool chiedendo) {
    const QString nome = nomeBlocco(percorso);
    if (blocco_ && blocco_->fileName() == nome) return true;
    auto nuovo = std::make_unique<QLockFile>(nome);
    // Only a dead process makes a lock stale, however old it is: a project
    // stays open for hours.
    nuovo->setStaleLockTime(0);
    if (!nuovo->tryLock(0) && nuovo->error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString computer;
        QString programma;
        nuovo->getLockInfo(&pid, &computer, &programma);
        // The same program (another window of it, a test) holds no one back.
        if (pid != QCoreApplication::applicationPid() || computer != QSysInfo::machineHostName()) {
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
                              TestiProgramma::titoloaiuto, Icona::Domanda, Pulsanti::SiNo,
                              Risposta::No) != Risposta::Si)
                    return false;
            }
            nuovo.reset();  // someone else's lock is left alone
        }
    }
    blocco_ = std::move(nuovo);
    return true;
}

std::optional<QString> ComandiFile::chiedi(const QString& titolo, const QString& filtro, int scelto,
                                           bool salvataggio) {
    RichiestaFile r;
    r.titolo = titolo;
    r.filtri = filtriDa(filtro);
    r.filtroScelto = scelto;
    r.nomeFile = nomeDialogo_;
    r.salvataggio = salvataggio;
    std::optional<QString> scelta = chiediFile(r);
    if (scelta) nomeDialogo_ = *scelta;
    return scelta;
}

void ComandiFile::avvisa(const QString& intestazione, const QString& percorso,
                         const QString& motivo) {
    messaggio(intestazione + u'\r' + QDir::toNativeSeparators(percorso) + u'\r' + motivo,
              TestiProgramma::titoloaiuto, Icona::Esclamazione);
}

void ComandiFile::apri() {
    // The user's work is cleared only once a sound file has been chosen and
    // checked: a cancelled dialog or a bad file leaves everything as it was.
    nomeDialogo_.clear();
    const std::optional<QString> percorso =
        chiedi(testifile::titoloApri, testifile::filtroCompleto, 1, false);
    if (!percorso) return;
    apriPercorso(*percorso);
}

bool ComandiFile::apriPercorso(const QString& percorso) {
    QByteArray contenuto;
    auto letto = leggiFileProgetto(percorso, &contenuto);
    if (auto* errore = std::get_if<QString>(&letto)) {
        avvisa(QStringLiteral("Impossibile aprire il file di dati:"), percorso, *errore);
        return false;
    }
    if (!blocca(percorso, true)) return false;
    ricorda(percorso, contenuto);
    progetto_.apri(percorso, std::get<ProgettoFile>(letto));
    if (fileUsato_) fileUsato_(percorso);
    // Amounts no calculation can carry are listed in one message.
    progetto_.calcolo().avvisaImportiInutilizzabili();
    return true;
}

bool ComandiFile::salva() {
    titoloDialogo_ = testifile::titoloSalva;
    return archivia();
}

bool ComandiFile::salvaConNome() {
    titoloDialogo_ = testifile::titoloSalvaNome;
    progetto_.impostaPercorso({});
    return archivia();
}

bool ComandiFile::archivia() {
    StatoCalcolo& stato = progetto_.calcolo();
    stato.salvataggio = Salvataggio::InAttesa;
    stato.controllaDati();
    if (stato.salvataggio == Salvataggio::InAttesa)
        return false;  // the check has shown its warning

    if (progetto_.nome().isEmpty() || progetto_.valuta().isEmpty()) {
        messaggio(progetto_.nome().isEmpty() ? testifile::digitareNome : testifile::immettereValuta,
                  TestiProgramma::titoloaiuto, Icona::Informazione);
        if (mostraQuadro_) mostraQuadro_();
        return false;
    }

    // Built before the dialog, so that a text the file cannot hold is
    // reported before the user picks a name, and nothing is touched.
    const EsitoScrittura esito = scriviProgettoFile(progetto_.comeFile());
    if (!esito.riuscito()) {
        messaggio(QStringLiteral("Il progetto non è stato salvato.\r") + esito.errore,
                  TestiProgramma::titoloaiuto, Icona::Esclamazione);
        return false;
    }

    QString percorso = progetto_.percorso();
    if (percorso.isEmpty()) {
        const std::optional<QString> scelto =
            chiedi(titoloDialogo_, testifile::filtroSalva, 0, true);
        if (!scelto) return false;
        const QFileInfo esistente(*scelto);
        if ((esistente.exists() || esistente.isSymLink()) && !esistente.isDir() &&
            messaggio(QStringLiteral("Il file") + u'\r' + QDir::toNativeSeparators(*scelto) +
                          u'\r' + QStringLiteral("esiste già. Si vuole sostituirlo?"),
                      TestiProgramma::titoloaiuto, Icona::Domanda, Pulsanti::SiNo,
                      Risposta::No) != Risposta::Si)
            return false;
        percorso = *scelto;
        progetto_.impostaPercorso(percorso);
    } else if (cambiatoSulDisco() &&
               messaggio(testifile::modificatoAltrove, TestiProgramma::titoloaiuto, Icona::Domanda,
                         Pulsanti::SiNo, Risposta::No) != Risposta::Si) {
        return false;
    }
    if (const auto errore = scriviFileProgetto(percorso, esito.contenuto)) {
        avvisa(QStringLiteral("Impossibile salvare il file di dati:"), percorso, *errore);
        return false;
    }
    ricorda(percorso, esito.contenuto);
    blocca(percorso, false);
    progetto_.salvato(percorso);
    if (fileUsato_) fileUsato_(percorso);
    return true;
}

bool ComandiFile::consentiChiusura() {
    if (!progetto_.modificato()) return true;
    switch (messaggio(testifile::salvareModifiche, TestiProgramma::titoloaiuto, Icona::Domanda,
                      Pulsanti::SiNoAnnulla, Risposta::Si)) {
        case Risposta::Si:
            return salva();
        case Risposta::No:
            return true;
        default:
            return false;
    }
}

void ComandiFile::eliminaFileScelto() {
    const std::optional<QString> percorso =
        chiedi(TestiProgramma::titoloelimina, testifile::filtroCompleto, 1, false);
    if (!percorso) return;
    // The current file stays what it was: deleting it lets the next Save
    // re-create it, and deleting another file never makes Save write the
    // current project there.
    if (const auto errore = eliminaFile(*percorso)) {
        avvisa(QStringLiteral("Impossibile eliminare il file:"), *percorso, *errore);
    }
}

}  // namespace varimo
