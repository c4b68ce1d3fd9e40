#include "datafile/comandifile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <filesystem>
#include <system_error>

#include "calculation/numeri.h"
#include "calculation/statocalcolo.h"
#include "calculation/storiacalcolo.h"
#include "datafile/filedati.h"
#include "shell/modvarimo.h"

namespace varimo {

static_assert(numeroVoci == kVoci);

ProgettoFile progettoDaCalcolo(StatoCalcolo& stato) {
    ProgettoFile p;
    p.nomeprogetto = ModVarimo::nomeprogetto;
    p.valuta = ModVarimo::valuta;
    for (int i = 1; i <= kVoci; ++i) {
        const int posizione = stato.combo(i).posizione;
        if (posizione < 0) {
            stato.costorif[i] = 0;
        } else {
            const QString c = stato.costo(posizione + 1);
            stato.costorif[i] = c.isEmpty() ? QVariant(0) : QVariant(c);
        }
        VoceFile& v = p.voci[i - 1];
        v.tipo = stato.tipo(i);
        v.costo = stato.costo(i);
        v.perc = stato.perc(i).toInt();
        v.costorif = stato.costorif[i];
        v.vocerif = stato.vocerif[i];
        // A row whose list lost its selection (a label edit refills every
        // list) still remembers its old reference number. Written as is, the
        // next Open would make it a percentage row again and overwrite the
        // referenced row's amount with the 0 captured above; the row has no
        // reference now, and that is what is stored.
        if (posizione < 0 && v.vocerif.isValid() && v.vocerif.toInt() != 0) v.vocerif = 0;
    }
    return p;
}

namespace {

// costorif as the text written into the referenced row's cost box.
QString testoCostorif(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return {};
    return v.toString();
}

}  // namespace

void applicaProgetto(StatoCalcolo& stato, const ProgettoFile& progetto,
                     const ImpostaNomeValuta& impostaNomeValuta) {
    ModVarimo::nomeprogetto = progetto.nomeprogetto;
    ModVarimo::valuta = progetto.valuta;
    if (impostaNomeValuta) impostaNomeValuta(progetto.nomeprogetto, progetto.valuta);

    stato.caricamento = true;
    for (int i = 1; i <= kVoci; ++i) {
        const VoceFile& v = progetto.voci[i - 1];
        stato.costorif[i] = v.costorif;
        stato.vocerif[i] = v.vocerif;
        stato.scriviTipo(i, v.tipo);
        stato.scriviCosto(i, v.costo);
        stato.scriviHScroll(i, v.perc);
        stato.svuotaCombo(i);
    }
    stato.impostavoci();
    for (int i = 1; i <= kVoci; ++i) {
        const int r = stato.vocerif[i].isValid() ? stato.vocerif[i].toInt() : 0;
        if (r < 1 || r > kVoci) continue;  // 0 or unassigned: no reference
        stato.scriviTestoCombo(i, stato.tipo(r));
        stato.scegliCombo(i, r - 1);
        stato.applicaRiferimento(i);
        stato.scriviCosto(r, testoCostorif(stato.costorif[i]));
    }
    stato.caricamento = false;
}

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

ComandiFile::ComandiFile(StatoCalcolo& stato) : stato_(stato) {}

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
    if (impronta_.percorso.isEmpty() || impronta_.percorso != stato_.filecorrente) return false;
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
                              ModVarimo::titoloaiuto, Icona::Domanda, Pulsanti::SiNo,
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
    std::optional<QString> scelta = Interazione::corrente().chiediFile(r);
    if (scelta) nomeDialogo_ = *scelta;
    return scelta;
}

void ComandiFile::avvisa(const QString& intestazione, const QString& percorso,
                         const QString& motivo) {
    messaggio(intestazione + u'\r' + QDir::toNativeSeparators(percorso) + u'\r' + motivo,
              ModVarimo::titoloaiuto, Icona::Esclamazione);
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
    StoriaCalcolo* storia = StoriaCalcolo::di(stato_);
    if (storia) storia->svuota();
    {
        StoriaCalcolo::Passo passo(storia, QStringLiteral("apertura progetto"));
        stato_.cancellaTutto();
        stato_.filecorrente = percorso;
        applicaProgetto(stato_, std::get<ProgettoFile>(letto), impostaNomeValuta_);
        // A file may hold amounts no calculation can carry (NaN, inf, 1E308,
        // twenty digits): they are shown as read and count as zero, so the
        // sums still add up what the boxes show; one message lists them.
        if (!stato_.importiInutilizzabili().isEmpty()) stato_.assestaImportiInutilizzabili();
    }
    if (storia) storia->segnaSalvato();
    if (fileUsato_) fileUsato_(percorso);
    stato_.avvisaImportiInutilizzabili();
    return true;
}

bool ComandiFile::salva() {
    titoloDialogo_ = testifile::titoloSalva;
    return archivia();
}

bool ComandiFile::salvaConNome() {
    titoloDialogo_ = testifile::titoloSalvaNome;
    stato_.filecorrente.clear();
    return archivia();
}

bool ComandiFile::archivia() {
    stato_.salvataggio = Salvataggio::InAttesa;
    stato_.controllaDati();
    if (stato_.salvataggio == Salvataggio::InAttesa)
        return false;  // the check has shown its warning

    if (ModVarimo::nomeprogetto.isEmpty() || ModVarimo::valuta.isEmpty()) {
        messaggio(ModVarimo::nomeprogetto.isEmpty() ? testifile::digitareNome
                                                    : testifile::immettereValuta,
                  ModVarimo::titoloaiuto, Icona::Informazione);
        if (mostraQuadro_) mostraQuadro_();
        return false;
    }

    // Built before the dialog, so that a text the file cannot hold is
    // reported before the user picks a name, and nothing is touched.
    const EsitoScrittura esito = scriviProgettoFile(progettoDaCalcolo(stato_));
    if (!esito.riuscito()) {
        messaggio(QStringLiteral("Il progetto non è stato salvato.\r") + esito.errore,
                  ModVarimo::titoloaiuto, Icona::Esclamazione);
        return false;
    }

    if (stato_.filecorrente.isEmpty()) {
        const std::optional<QString> percorso =
            chiedi(titoloDialogo_, testifile::filtroSalva, 0, true);
        if (!percorso) return false;
        const QFileInfo esistente(*percorso);
        if ((esistente.exists() || esistente.isSymLink()) && !esistente.isDir() &&
            messaggio(QStringLiteral("Il file") + u'\r' + QDir::toNativeSeparators(*percorso) +
                          u'\r' + QStringLiteral("esiste già. Si vuole sostituirlo?"),
                      ModVarimo::titoloaiuto, Icona::Domanda, Pulsanti::SiNo,
                      Risposta::No) != Risposta::Si)
            return false;
        stato_.filecorrente = *percorso;
    } else if (cambiatoSulDisco() &&
               messaggio(testifile::modificatoAltrove, ModVarimo::titoloaiuto, Icona::Domanda,
                         Pulsanti::SiNo, Risposta::No) != Risposta::Si) {
        return false;
    }
    if (const auto errore = scriviFileProgetto(stato_.filecorrente, esito.contenuto)) {
        avvisa(QStringLiteral("Impossibile salvare il file di dati:"), stato_.filecorrente,
               *errore);
        return false;
    }
    ricorda(stato_.filecorrente, esito.contenuto);
    blocca(stato_.filecorrente, false);
    if (StoriaCalcolo* storia = StoriaCalcolo::di(stato_)) storia->segnaSalvato();
    if (fileUsato_) fileUsato_(stato_.filecorrente);
    return true;
}

bool ComandiFile::consentiChiusura() {
    const StoriaCalcolo* storia = StoriaCalcolo::di(stato_);
    if (!storia || !storia->modificato()) return true;
    switch (messaggio(testifile::salvareModifiche, ModVarimo::titoloaiuto, Icona::Domanda,
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
        chiedi(ModVarimo::titoloelimina, testifile::filtroCompleto, 1, false);
    if (!percorso) return;
    // The current file stays what it was: deleting it lets the next Save
    // re-create it, and deleting another file never makes Save write the
    // current project there.
    if (const auto errore = eliminaFile(*percorso)) {
        avvisa(QStringLiteral("Impossibile eliminare il file:"), *percorso, *errore);
    }
}

}  // namespace varimo
