#include "reports/esportazione.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "common/interazione.h"
#include "common/piattaforma.h"
#include "common/scritturafile.h"
#include "common/testiprogramma.h"
#include "reports/pdf.h"
#include "reports/stampe.h"
#include "reports/word.h"

namespace varimo {

namespace {

constexpr QChar kFine(13);
const QString kEstensione = QStringLiteral(".pdf");

QString percorsoProposto(const QString& nomeProposto, const QString& estensione) {
    // A name with its folder (the project's) stays in that folder.
    if (QDir::isAbsolutePath(nomeProposto)) {
        const QFileInfo info(nomeProposto);
        return info.dir().filePath(nomeFileSicuro(info.fileName()) + estensione);
    }
    QString cartella = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (cartella.isEmpty() || !QFileInfo(cartella).isDir()) cartella = QDir::homePath();
    return QDir(cartella).filePath(nomeFileSicuro(nomeProposto) + estensione);
}

}  // namespace

QString percorsoPropostoPdf(const QString& nomeProposto) {
    return percorsoProposto(nomeProposto, kEstensione);
}

std::function<bool(const QString& percorso, QString* errore)> scritturaDi(QByteArray dati) {
    return [dati = std::move(dati)](const QString& percorso, QString* errore) {
        if (const auto e = scriviFileCompleto(percorso, dati)) {
            *errore = e->motivo;
            return false;
        }
        return true;
    };
}

EsitoStampa esportaFile(const EsportazioneFile& e, const QString& nomeProposto) {
    RichiestaFile r;
    r.titolo = e.titolo;
    r.filtri = {FiltroFile{e.descrizioneFiltro, QLatin1Char('*') + e.estensione}};
    r.nomeFile = percorsoProposto(nomeProposto, e.estensione);
    r.salvataggio = true;
    const std::optional<QString> scelta = chiediFile(r);
    if (!scelta || scelta->trimmed().isEmpty()) return EsitoStampa::Annullato;

    // A name typed without its extension gets it, as the filter shows.
    QString percorso = *scelta;
    if (!percorso.endsWith(e.estensione, Qt::CaseInsensitive)) percorso += e.estensione;

    // A link planted by someone else is refused before any question.
    if (const auto vietato = piattaforma::collegamentoVietato(percorso)) {
        messaggio(e.fallimento + kFine + QDir::toNativeSeparators(percorso) + kFine + *vietato,
                  TestiProgramma::titoloaiuto, Icona::Esclamazione);
        return EsitoStampa::NonRiuscito;
    }
    if (!consentiSostituzione(percorso, TestiProgramma::titoloaiuto)) return EsitoStampa::Annullato;

    QString errore;
    if (!e.scrivi(percorso, &errore)) {
        messaggio(e.fallimento + kFine + QDir::toNativeSeparators(percorso) + kFine +
                      (errore.isEmpty() ? QStringLiteral("errore sconosciuto") : errore),
                  TestiProgramma::titoloaiuto, Icona::Esclamazione);
        return EsitoStampa::NonRiuscito;
    }
    ultimoEsportato() = percorso;
    return EsitoStampa::Fatto;
}

QString& ultimoEsportato() {
    static QString percorso;
    return percorso;
}

EsitoStampa esportaDocumentoPdf(const Documento& doc, const QString& nomeProposto) {
    EsportazioneFile e;
    e.titolo = QStringLiteral("Esporta in PDF");
    e.descrizioneFiltro = QStringLiteral("Documenti PDF");
    e.estensione = kEstensione;
    e.fallimento = QStringLiteral("Non è stato possibile esportare il documento PDF");
    e.scrivi = [&doc](const QString& percorso, QString* errore) {
        return esportaPdf(doc, percorso, errore);
    };
    return esportaFile(e, nomeProposto);
}

}  // namespace varimo
