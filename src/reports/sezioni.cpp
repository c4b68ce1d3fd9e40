#include "reports/sezioni.h"

#include "common/testiprogramma.h"
#include "reports/esportazione.h"
#include "reports/word.h"

namespace varimo {

namespace {

constexpr int kAllineaDestra = 2;

// Adds the sectioned table at the end of the document.
void tabellaSezioni(Documento& doc, const QuadroSezioni& q, double dimensione) {
    const auto importi = static_cast<int>(q.colonneImporti.size());
    const auto voci = static_cast<int>(q.lavori.size() + q.somme.size());
    // heading, A), rows, total A, B), rows, total B, project total
    Tabella& t = doc.aggiungiTabella(voci + 6, 2 + importi);
    t.impostaDimensioneCarattere(dimensione);

    int r = 1;
    t.impostaTestoCella(r, 1, QStringLiteral("numero"));
    t.impostaTestoCella(r, 2, QStringLiteral("voce"));
    for (int c = 0; c < importi; ++c) t.impostaTestoCella(r, 3 + c, q.colonneImporti.at(c));

    auto riga = [&](const QString& numero, const QString& voce, const QStringList& valori,
                    bool grassetto) {
        ++r;
        t.impostaTestoCella(r, 1, numero);
        t.impostaTestoCella(r, 2, voce);
        for (int c = 0; c < importi && c < valori.size(); ++c)
            t.impostaTestoCella(r, 3 + c, valori.at(c));
        t.impostaGrassettoRiga(r, grassetto);
    };
    auto sezione = [&](const QString& titolo, const QString& lettera, const QList<VoceSezione>& v,
                       const QString& totale, const QStringList& importiTotale) {
        riga(QString(), titolo, {}, true);
        for (qsizetype j = 0; j < v.size(); ++j) {
            const VoceSezione& s = v.at(j);
            const QString voce = s.regola.isEmpty() ? s.tipo : s.tipo + QLatin1Char(' ') + s.regola;
            riga(lettera + QLatin1Char('.') + QString::number(j + 1), voce, s.importi, false);
        }
        riga(QString(), totale, importiTotale, true);
    };
    sezione(QStringLiteral("A) LAVORI"), QStringLiteral("a"), q.lavori,
            QStringLiteral("Totale lavori (A)"), q.totaleLavori);
    sezione(QStringLiteral("B) SOMME A DISPOSIZIONE DELL'AMMINISTRAZIONE"), QStringLiteral("b"),
            q.somme, QStringLiteral("Totale somme a disposizione (B)"), q.totaleSomme);
    riga(QString(), QStringLiteral("TOTALE PROGETTO (A + B) in ") + q.intestazione.valuta,
         q.totaleProgetto, true);

    t.formatoAutomatico(Tabella::Formato::Colorato2);
    const int n = doc.numeroTabelle();
    for (int c = 0; c < importi; ++c) {
        doc.selezionaColonna(n, 3 + c);
        doc.impostaAllineamentoSelezione(kAllineaDestra);
    }
}

// A new document with the reports' heading, named after `nome`.
std::shared_ptr<Documento> nuovo(const QString& titolo, const QString& nome,
                                 const IntestazioneProgetto& progetto) {
    std::shared_ptr<Documento> d = documentoConIntestazione(titolo, progetto);
    if (d) d->impostaTitolo(nomeDocumentoStampa(nome, progetto.nome));
    return d;
}

EsitoStampa consegna(std::shared_ptr<Documento> d) {
    return d ? consegnaStampa(std::move(d)) : EsitoStampa::MostraQuadro;
}

EsitoStampa esporta(const std::shared_ptr<Documento>& d, const QString& nome,
                    const QuadroSezioni& q) {
    return d ? esportaDocumentoPdf(*d, q.intestazione.nome + QStringLiteral(" - ") + nome)
             : EsitoStampa::MostraQuadro;
}

}  // namespace

QString regolaPercentuale(const QString& percentuale, const QString& riferimento,
                          const QString& aggiunta) {
    QString r = QStringLiteral("(") + percentuale + QStringLiteral(" % di ") + riferimento;
    if (!aggiunta.isEmpty()) r += QStringLiteral(", ") + aggiunta;
    return r + QStringLiteral(")");
}

std::shared_ptr<Documento> documentoSezioni(const QuadroSezioni& q) {
    std::shared_ptr<Documento> d = nuovo(kTitoloStampaSezioni, kNomeStampaSezioni, q.intestazione);
    if (d) tabellaSezioni(*d, q, 10);
    return d;
}

std::shared_ptr<Documento> documentoDopoGara(const QString& rigaRibasso, const QuadroSezioni& q,
                                             const QStringList& dichiarazioni) {
    std::shared_ptr<Documento> d =
        nuovo(kTitoloStampaDopoGara, kNomeStampaDopoGara, q.intestazione);
    if (!d) return nullptr;
    Documento& doc = *d;
    // The heading ends in an empty paragraph in its 12-point font: it becomes
    // an empty line, and the discount follows on the next, just above the table.
    ParagrafoAggiunto p = doc.aggiungiParagrafo();
    p.impostaTesto(QChar(13) + rigaRibasso);
    tabellaSezioni(doc, q, 8);
    p = doc.aggiungiParagrafo();
    p.impostaDimensioneCarattere(11);
    p.impostaTesto(QChar(13) + dichiarazioni.join(QChar(13)));
    return d;
}

EsitoStampa stampaSezioni(const QuadroSezioni& q) {
    return consegna(documentoSezioni(q));
}

EsitoStampa stampaDopoGara(const QString& rigaRibasso, const QuadroSezioni& q,
                           const QStringList& dichiarazioni) {
    return consegna(documentoDopoGara(rigaRibasso, q, dichiarazioni));
}

EsitoStampa esportaSezioni(const QuadroSezioni& q) {
    return esporta(documentoSezioni(q), QStringLiteral("quadro economico per sezioni"), q);
}

EsitoStampa esportaDopoGara(const QString& rigaRibasso, const QuadroSezioni& q,
                            const QStringList& dichiarazioni) {
    return esporta(documentoDopoGara(rigaRibasso, q, dichiarazioni),
                   QStringLiteral("quadro dopo la gara"), q);
}

}  // namespace varimo
