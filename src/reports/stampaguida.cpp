#include "reports/stampaguida.h"

#include <QDir>
#include <QStandardPaths>

#include "common/interazione.h"
#include "common/testiprogramma.h"
#include "reports/word.h"

namespace varimo {

namespace {

const QString kCarattereGuida = QStringLiteral("Century Gothic");
constexpr QChar kFine(13);
constexpr QChar kNuovaPagina(12);
constexpr int kGiustificato = 3;

// Steps shared by every guide print: a new document of the print's
// application with the program's name and description; titolo is the
// document's title among its properties.
Documento& avviaGuida(SessioneWord& word, const QString& titolo) {
    Documento& doc = word.nuovoDocumento();
    doc.impostaTitolo(titolo);
    doc.impostaNomeCarattere(kCarattereGuida);
    doc.impostaDimensioneCarattere(20);
    doc.scriviTesto(TestiProgramma::nomeprogramma + kFine);
    doc.impostaDimensioneCarattere(16);
    doc.scriviTesto(TestiProgramma::descrizioneprogramma + kFine + kFine + kFine);
    return doc;
}

void giustificaTutto(Documento& doc) {
    doc.selezionaTutto();
    doc.impostaAllineamentoSelezione(kGiustificato);
}

// Saves the whole guide in cartella, or else in the documents folder; the
// path of the copy, or empty when neither could be written.
QString salvaGuida(const Documento& doc, const QString& cartella) {
    const QString nome = nomeFileGuida();
    QString primo = QDir(cartella).filePath(nome);
    QString errorePrimo;
    if (!cartella.isEmpty() && doc.salvaCome(primo, &errorePrimo)) return primo;
    if (cartella.isEmpty()) errorePrimo = QStringLiteral("cartella non indicata");

    const QString documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString secondo = documenti.isEmpty() ? QString() : QDir(documenti).filePath(nome);
    QString erroreSecondo = QStringLiteral("cartella dei documenti non disponibile");
    if (!secondo.isEmpty()) {
        QDir().mkpath(documenti);
        if (doc.salvaCome(secondo, &erroreSecondo)) {
            messaggio(QStringLiteral("Non è stato possibile salvare la guida nella cartella del "
                                     "programma:") +
                          kFine + QDir::toNativeSeparators(primo) + kFine + errorePrimo + kFine +
                          QStringLiteral("La guida è stata salvata in:") + kFine +
                          QDir::toNativeSeparators(secondo),
                      TestiProgramma::titoloaiuto, Icona::Informazione);
            return secondo;
        }
    }
    messaggio(QStringLiteral("Non è stato possibile salvare la guida:") + kFine +
                  QDir::toNativeSeparators(primo) + kFine + errorePrimo + kFine +
                  (secondo.isEmpty() ? QString() : QDir::toNativeSeparators(secondo) + kFine) +
                  erroreSecondo + kFine +
                  QStringLiteral("La guida viene comunque aperta, senza copia salvata."),
              TestiProgramma::titoloaiuto, Icona::Esclamazione);
    return {};
}

}  // namespace

bool stampaguida(const QString& titolo, const QString& testo) {
    const QString nome = TestiProgramma::nomeprogramma + QStringLiteral(" - Guida - ") + titolo;
    SessioneWord word;
    Documento& doc = avviaGuida(word, nome);
    doc.scriviTesto(QStringLiteral("Guida: ") + titolo + kFine + kFine);
    doc.impostaDimensioneCarattere(12);
    doc.scriviTesto(testo + kFine);
    giustificaTutto(doc);
    return consegnaDocumento(doc, nome).has_value();
}

bool stampalicenza(const QString& testoLicenza) {
    const QString nome = TestiProgramma::nomeprogramma + QStringLiteral(" - Licenza d'uso");
    SessioneWord word;
    Documento& doc = avviaGuida(word, nome);
    doc.impostaDimensioneCarattere(12);
    doc.scriviTesto(testoLicenza + kFine);
    giustificaTutto(doc);
    return consegnaDocumento(doc, nome).has_value();
}

QString nomeFileGuida() {
    return TestiProgramma::nomeprogramma + QStringLiteral("-guida.docx");
}

EsitoGuidaCompleta stampaguidacompleta(const std::array<GuidaDaStampare, 4>& guide,
                                       const QString& cartella) {
    const QString nome = TestiProgramma::nomeprogramma + QStringLiteral(" - Guida in linea");
    SessioneWord word;
    Documento& doc = avviaGuida(word, nome);
    for (std::size_t i = 0; i < guide.size(); ++i) {
        doc.scriviTesto(QStringLiteral("Guida: ") + guide[i].titolo + kFine + kFine);
        if (i == 0) doc.impostaDimensioneCarattere(12);
        doc.scriviTesto(guide[i].testo);
        if (i + 1 < guide.size()) doc.scriviTesto(QString(kFine) + kNuovaPagina);
    }
    giustificaTutto(doc);

    // The saved document is the last one of the application's list, the one
    // just made.
    const Documento& ultimo = *word.applicazione->documento(word.applicazione->numeroDocumenti());
    EsitoGuidaCompleta esito;
    esito.documento = word.documento;
    esito.salvataIn = salvaGuida(ultimo, cartella);
    if (!esito.salvataIn.isEmpty()) {
        esito.mostrata = apriPerUtente(esito.salvataIn);
    } else {
        esito.mostrata = consegnaDocumento(doc, nome).has_value();
    }
    return esito;
}

}  // namespace varimo
