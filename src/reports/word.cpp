#include "reports/word.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "common/interazione.h"
#include "common/piattaforma.h"
#include "common/scritturafile.h"
#include "common/testiprogramma.h"
#include "reports/docx.h"
#include "reports/pdf.h"

namespace varimo {

namespace {

bool esisteNome(const QString& percorso) {
    const QFileInfo info(percorso);
    return info.exists() || info.isSymLink();  // a dangling link holds the name too
}

QString testoErrore(const QString& motivo) {
    return motivo.isEmpty() ? QStringLiteral("errore sconosciuto") : motivo;
}

}  // namespace

std::shared_ptr<Documento> ApplicazioneWord::aggiungiDocumento() {
    documenti_.push_back(std::make_shared<Documento>());
    return documenti_.back();
}

std::shared_ptr<Documento> ApplicazioneWord::aggiungiDocumento(std::shared_ptr<Documento> d) {
    documenti_.push_back(std::move(d));
    return documenti_.back();
}

std::shared_ptr<Documento> ApplicazioneWord::documento(int n) const {
    if (n < 1 || n > numeroDocumenti()) return nullptr;
    return documenti_.at(static_cast<std::size_t>(n - 1));
}

Documento& SessioneWord::nuovoDocumento() {
    tabella = nullptr;
    applicazione = std::make_shared<ApplicazioneWord>();
    applicazione->visibile = true;
    documento = applicazione->aggiungiDocumento();
    return *documento;
}

Documento& SessioneWord::adotta(std::shared_ptr<Documento> d) {
    applicazione = std::make_shared<ApplicazioneWord>();
    applicazione->visibile = true;
    documento = applicazione->aggiungiDocumento(std::move(d));
    tabella = documento->tabella(documento->numeroTabelle());
    return *documento;
}

void impostaApriDocumento(ApriDocumento apri) {
    if (Servizi* servizi = apri ? Servizi::dellApplicazione() : Servizi::seEsistono())
        servizi->apriDocumento = std::move(apri);
}

ApriDocumento apriDocumento() {
    const Servizi* servizi = Servizi::seEsistono();
    return servizi ? servizi->apriDocumento : ApriDocumento();
}

QString percorsoLibero(const QString& cartella, const QString& nome, const QString& estensione) {
    const QDir dir(cartella);
    QString candidato = dir.filePath(nome + estensione);
    for (int n = 2; esisteNome(candidato); ++n)
        candidato = dir.filePath(QStringLiteral("%1 (%2)%3").arg(nome).arg(n).arg(estensione));
    return candidato;
}

bool apriPerUtente(const QString& percorso) {
    const ApriDocumento apri = apriDocumento();
    if (apri && apri(percorso)) return true;
    messaggio(QStringLiteral("Il documento è stato scritto in") + QChar(13) +
                  QDir::toNativeSeparators(percorso) + QChar(13) +
                  QStringLiteral("ma non è stato possibile aprirlo con il programma di "
                                 "videoscrittura."),
              TestiProgramma::titoloaiuto, Icona::Esclamazione);
    return false;
}

std::optional<QString> consegnaDocumento(const Documento& d, const QString& nomeDocumento) {
    const QString temporanea = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    const QString nome = nomeFileSicuro(nomeDocumento);
    // The user's own folder inside the temporary one: other users can
    // neither read the documents nor take their names.
    QString motivoCartella;
    const QString cartella = temporanea.isEmpty() || !QFileInfo(temporanea).isDir()
                                 ? QString()
                                 : piattaforma::cartellaPrivata(temporanea, &motivoCartella);
    QString percorso = percorsoLibero(cartella, nome, QStringLiteral(".docx"));

    auto fallito = [&](const QString& motivo) -> std::optional<QString> {
        messaggio(QStringLiteral("Non è stato possibile scrivere il documento") + QChar(13) +
                      QDir::toNativeSeparators(percorso) + QChar(13) + testoErrore(motivo),
                  TestiProgramma::titoloaiuto, Icona::Esclamazione);
        return std::nullopt;
    };

    // An unusable temporary folder comes back as an empty path: never fall
    // back to the working folder.
    if (temporanea.isEmpty() || !QFileInfo(temporanea).isDir()) {
        const QString indicata = qEnvironmentVariable("TMPDIR");
        percorso = QDir(indicata.isEmpty() ? temporanea : indicata).filePath(nome + ".docx");
        return fallito(QStringLiteral("cartella dei file temporanei non disponibile"));
    }
    if (cartella.isEmpty()) {
        percorso = QDir(temporanea).filePath(nome + ".docx");
        return fallito(motivoCartella);
    }

    QString errore;
    const std::optional<QByteArray> pacchetto = pacchettoDocx(d, &errore);
    if (!pacchetto) return fallito(errore);

    // A file that appeared meanwhile is never overwritten: the next free
    // name is tried instead.
    for (int tentativi = 0;; ++tentativi) {
        const auto errore = scriviFileCompleto(percorso, *pacchetto, ModoScrittura::SoloNuovo,
                                               Riservatezza::Privato);
        if (!errore) break;
        if (!errore->giaEsistente || tentativi > 20) return fallito(errore->motivo);
        percorso = percorsoLibero(cartella, nome, QStringLiteral(".docx"));
    }
    if (!apriPerUtente(percorso)) return std::nullopt;
    return percorso;
}

bool Documento::salvaCome(const QString& percorso, QString* errore, Formato formato) const {
    return salvaDocumento(*this, percorso, errore, formato);
}

bool salvaDocumento(const Documento& d, const QString& percorso, QString* errore,
                    Documento::Formato formato) {
    const std::optional<QByteArray> pacchetto =
        formato == Documento::Formato::PdfA ? pdfDocumento(d, errore) : pacchettoDocx(d, errore);
    if (!pacchetto) return false;
    if (const auto e = scriviFileCompleto(percorso, *pacchetto)) {
        if (errore) *errore = e->motivo;
        return false;
    }
    return true;
}

}  // namespace varimo
