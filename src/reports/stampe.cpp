#include "reports/stampe.h"

#include <algorithm>

#include "common/interazione.h"
#include "common/numeri.h"
#include "common/testiprogramma.h"
#include "reports/esportazione.h"
#include "reports/word.h"

namespace varimo {

namespace {

const QString kCarattereStampe = QStringLiteral("Century Gothic");
constexpr QChar kFine(13);

constexpr int kAllineaDestra = 2;

// Steps 1 and 2 of the preamble: the project name and the currency.
bool nomeEValutaPresenti(const IntestazioneProgetto& progetto) {
    if (progetto.nome.isEmpty()) {
        messaggio(QStringLiteral("Digitare il nome del progetto."), TestiProgramma::titoloaiuto,
                  Icona::Informazione);
        return false;
    }
    if (progetto.valuta.isEmpty()) {
        messaggio(QStringLiteral("Immettere il tipo di valuta."), TestiProgramma::titoloaiuto,
                  Icona::Informazione);
        return false;
    }
    return true;
}

// The heading typed into a new document, closed by a paragraph added at the
// end of the document.
void scriviIntestazione(Documento& doc, const QString& titolo,
                        const IntestazioneProgetto& progetto) {
    doc.impostaTitolo(nomeDocumentoStampa(titolo, progetto.nome));
    doc.impostaNomeCarattere(kCarattereStampe);
    doc.impostaDimensioneCarattere(20);
    doc.scriviTesto(TestiProgramma::nomeprogramma + kFine);
    doc.impostaDimensioneCarattere(16);
    doc.scriviTesto(TestiProgramma::descrizioneprogramma + kFine + kFine);
    doc.impostaDimensioneCarattere(12);
    doc.scriviTesto(QStringLiteral("- Progetto: ") + progetto.nome + kFine + kFine);
    doc.scriviTesto(titolo + QStringLiteral(" - valori in ") + progetto.valuta);
    doc.aggiungiParagrafo();
}

std::shared_ptr<Documento> nuovaStampa(const QString& titolo,
                                       const IntestazioneProgetto& progetto) {
    if (!nomeEValutaPresenti(progetto)) return nullptr;
    auto doc = std::make_shared<Documento>();
    scriviIntestazione(*doc, titolo, progetto);
    return doc;
}

}  // namespace

QString numeroConSegno(int n) {
    return n < 0 ? QString::number(n) : QLatin1Char(' ') + QString::number(n);
}

QString nomeDocumentoStampa(const QString& titolo, const QString& nomeProgetto) {
    return TestiProgramma::nomeprogramma + QStringLiteral(" - ") + titolo + QStringLiteral(" - ") +
           nomeProgetto;
}

std::shared_ptr<Documento> documentoConIntestazione(const QString& titolo,
                                                    const IntestazioneProgetto& progetto) {
    return nuovaStampa(titolo, progetto);
}

EsitoStampa consegnaStampa(std::shared_ptr<Documento> doc) {
    const QString nome = doc->proprieta().titolo;
    SessioneWord word;
    word.adotta(std::move(doc));
    return consegnaDocumento(*word.documento, nome) ? EsitoStampa::Fatto : EsitoStampa::NonRiuscito;
}

std::shared_ptr<Documento> documentoCalcolo(const DatiStampaCalcolo& dati) {
    std::shared_ptr<Documento> documento = nuovaStampa(kTitoloStampaCalcolo, dati.intestazione);
    if (!documento) return nullptr;
    Documento& doc = *documento;

    Tabella* t = &doc.aggiungiTabella(19, 5);
    t->impostaDimensioneCarattere(8);
    const QString intestazioni[] = {QStringLiteral("numero"), QStringLiteral("voce"),
                                    QStringLiteral("costo"), QStringLiteral("%"),
                                    QStringLiteral("riferimento")};
    for (int c = 1; c <= 5; ++c) t->impostaTestoCella(1, c, intestazioni[c - 1]);
    for (int i = 1; i <= 18; ++i) {
        const RigaStampaCalcolo& r = dati.righe.at(static_cast<std::size_t>(i));
        t->impostaTestoCella(i + 1, 1, numeroConSegno(i));
        t->impostaTestoCella(i + 1, 2, r.tipo);
        t->impostaTestoCella(i + 1, 3, formatoImporto(r.costo));
        t->impostaTestoCella(i + 1, 4, r.percentuale);
        t->impostaTestoCella(i + 1, 5, r.riferimento);
    }
    t->formatoAutomatico(Tabella::Formato::Colorato2);

    ParagrafoAggiunto p = doc.aggiungiParagrafo();
    p.impostaDimensioneCarattere(12);
    p.impostaTesto(kFine + QStringLiteral("Dati generali") + kFine);

    t = &doc.aggiungiTabella(3, 2);
    t->impostaDimensioneCarattere(10);
    t->impostaTestoCella(1, 1, QStringLiteral("tipologia"));
    t->impostaTestoCella(1, 2, QStringLiteral("valore"));
    t->impostaTestoCella(2, 1, dati.calcolato);
    t->impostaTestoCella(2, 2, formatoImporto(dati.progetto));
    t->impostaTestoCella(3, 1, dati.vincolato);
    t->impostaTestoCella(3, 2, formatoImporto(dati.costoprogetto));
    t->formatoAutomatico(Tabella::Formato::Colorato2);

    for (int c = 3; c <= 4; ++c) {
        doc.selezionaColonna(1, c);
        doc.impostaAllineamentoSelezione(kAllineaDestra);
    }
    doc.selezionaColonna(2, 2);
    doc.impostaAllineamentoSelezione(kAllineaDestra);
    return documento;
}

EsitoStampa stampaCalcolo(const DatiStampaCalcolo& dati) {
    std::shared_ptr<Documento> doc = documentoCalcolo(dati);
    return doc ? consegnaStampa(std::move(doc)) : EsitoStampa::MostraQuadro;
}

EsitoStampa esportaCalcolo(const DatiStampaCalcolo& dati) {
    std::shared_ptr<Documento> doc = documentoCalcolo(dati);
    if (!doc) return EsitoStampa::MostraQuadro;
    return esportaDocumentoPdf(*doc, dati.intestazione.nome + QStringLiteral(" - calcolo"));
}

std::shared_ptr<Documento> documentoQuadro(const DatiStampaQuadro& dati) {
    std::shared_ptr<Documento> documento = nuovaStampa(kTitoloStampaQuadro, dati.intestazione);
    if (!documento) return nullptr;
    Documento& doc = *documento;

    // The framework window never shows more than 18 rows; anything else is
    // kept inside that range rather than read outside the records.
    const int n = std::clamp(dati.numerovoci, 0, 18);
    Tabella* t = &doc.aggiungiTabella(n + 2, 3);
    t->impostaDimensioneCarattere(8);
    t->impostaTestoCella(1, 1, QStringLiteral("numero"));
    t->impostaTestoCella(1, 2, QStringLiteral("voce"));
    t->impostaTestoCella(1, 3, QStringLiteral("costo"));
    for (int i = 1; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        t->impostaTestoCella(i + 1, 1, numeroConSegno(i));
        t->impostaTestoCella(i + 1, 2, dati.tipo.at(k));
        t->impostaTestoCella(i + 1, 3, formatoImporto(dati.costo.at(k)));
    }
    t->impostaTestoCella(n + 2, 1, numeroConSegno(n + 1));
    t->impostaTestoCella(n + 2, 2, dati.tipo.at(19));
    t->impostaTestoCella(n + 2, 3, formatoImporto(dati.costo.at(19)));
    t->formatoAutomatico(Tabella::Formato::Colorato2);

    doc.selezionaColonna(1, 3);
    doc.impostaAllineamentoSelezione(kAllineaDestra);
    return documento;
}

EsitoStampa stampaQuadro(const DatiStampaQuadro& dati) {
    std::shared_ptr<Documento> doc = documentoQuadro(dati);
    return doc ? consegnaStampa(std::move(doc)) : EsitoStampa::MostraQuadro;
}

EsitoStampa esportaQuadro(const DatiStampaQuadro& dati) {
    std::shared_ptr<Documento> doc = documentoQuadro(dati);
    if (!doc) return EsitoStampa::MostraQuadro;
    return esportaDocumentoPdf(*doc,
                               dati.intestazione.nome + QStringLiteral(" - quadro economico"));
}

}  // namespace varimo
