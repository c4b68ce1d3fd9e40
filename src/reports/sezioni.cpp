#include "reports/sezioni.h"

#include "reports/word.h"
#include "shell/modvarimo.h"

namespace varimo {

namespace {

constexpr int kAllineaDestra = 2;

// Adds the sectioned table at the end of the document: the number column and
// the amount columns get fixed widths (points) that hold their figures on
// one line; the label column takes the rest and wraps long labels.
void tabellaSezioni(Documento& doc, const QuadroSezioni& q, double dimensione, double numero,
                    double importo) {
    const auto importi = static_cast<int>(q.colonneImporti.size());
    const auto voci = static_cast<int>(q.lavori.size() + q.somme.size());
    // heading, A), rows, total A, B), rows, total B, project total
    Tabella& t = doc.aggiungiTabella(voci + 6, 2 + importi);
    ModWord::tabellaword = &t;
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
    riga(QString(), QStringLiteral("TOTALE PROGETTO (A + B) in ") + ModVarimo::valuta,
         q.totaleProgetto, true);

    t.formatoAutomatico(Tabella::kFormatoColorato2);
    t.impostaLarghezzaColonna(1, numero);
    for (int c = 0; c < importi; ++c) t.impostaLarghezzaColonna(3 + c, importo);
    const int n = doc.numeroTabelle();
    for (int c = 0; c < importi; ++c) {
        doc.selezionaColonna(n, 3 + c);
        doc.impostaAllineamentoSelezione(kAllineaDestra);
    }
}

EsitoStampa consegna(const std::shared_ptr<Documento>& d, const QString& nome) {
    if (!d) return EsitoStampa::MostraQuadro;
    return consegnaDocumento(*d, nomeDocumentoStampa(nome)) ? EsitoStampa::Fatto
                                                            : EsitoStampa::NonRiuscito;
}

}  // namespace

QString regolaPercentuale(const QString& perc, const QString& riferimento,
                          const QString& aggiunta) {
    QString r = QStringLiteral("(") + perc + QStringLiteral(" % di ") + riferimento;
    if (!aggiunta.isEmpty()) r += QStringLiteral(", ") + aggiunta;
    return r + QStringLiteral(")");
}

std::shared_ptr<Documento> documentoSezioni(const QuadroSezioni& q) {
    if (!intestazione(kTitoloStampaSezioni)) return nullptr;
    tabellaSezioni(*ModWord::docword, q, 10, 58, 96);
    return ModWord::docword;
}

std::shared_ptr<Documento> documentoDopoGara(const QString& rigaRibasso, const QuadroSezioni& q,
                                             const QStringList& dichiarazioni) {
    if (!intestazione(kTitoloStampaDopoGara)) return nullptr;
    Documento& doc = *ModWord::docword;
    // The heading ends in an empty paragraph in its 12-point font: it becomes
    // an empty line, and the discount follows on the next, just above the table.
    ParagrafoAggiunto p = doc.aggiungiParagrafo();
    p.impostaTesto(QChar(13) + rigaRibasso);
    tabellaSezioni(doc, q, 8, 48, 80);
    ParagrafoAggiunto d = doc.aggiungiParagrafo();
    d.impostaDimensioneCarattere(11);
    d.impostaTesto(QChar(13) + dichiarazioni.join(QChar(13)));
    return ModWord::docword;
}

EsitoStampa stampaSezioni(const QuadroSezioni& q) {
    return consegna(documentoSezioni(q), kNomeStampaSezioni);
}

EsitoStampa stampaDopoGara(const QString& rigaRibasso, const QuadroSezioni& q,
                           const QStringList& dichiarazioni) {
    return consegna(documentoDopoGara(rigaRibasso, q, dichiarazioni), kNomeStampaDopoGara);
}

}  // namespace varimo
