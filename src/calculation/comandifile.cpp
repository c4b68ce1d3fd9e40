#include "calculation/comandifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

void ComandiFile::impostaFileUsato(std::function<void(const QString&)> f) {
    progetto_.impostaFileUsato(std::move(f));
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
    if (!progetto_.prendiFile(percorso, contenuto)) return false;
    progetto_.apri(percorso, std::get<ProgettoFile>(letto));
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

    return progetto_.salvaContenuto(
        esito.contenuto, false,
        [this] { return chiedi(titoloDialogo_, testifile::filtroSalva, 0, true); },
        QStringLiteral("Impossibile salvare il file di dati:"));
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
