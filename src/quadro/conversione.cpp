#include "quadro/conversione.h"

#include <cmath>

#include "calculation/comandifile.h"
#include "calculation/progetto.h"
#include "calculation/statocalcolo.h"
#include "common/numeri.h"
#include "common/testiprogramma.h"
#include "quadro/anac.h"

namespace varimo::quadro {

namespace {

// The code of classic row i (1..18) in the framework: A.1-A.3, section A for
// D, B.1-B.13, section B for T.
QString codiceRiga(int i) {
    if (i == 4) return QStringLiteral("A");
    if (i == 18) return QStringLiteral("B");
    if (i < 4) return QStringLiteral("A.%1").arg(i);
    return QStringLiteral("B.%1").arg(i - 4);
}

int rigaDiCodice(const QString& codice) {
    for (int i = 1; i <= kVoci; ++i)
        if (codiceRiga(i) == codice) return i;
    return 0;
}

}  // namespace

Conversione convertiStato(const StatoCalcolo& stato, const QString& nome, const QString& moneta) {
    Conversione c;
    std::array<Centesimi, kVoci + 1> importi{};
    for (int i = 1; i <= kVoci; ++i) importi[i] = Centesimi(std::llround(stato.centesimi[i]));
    // The classic total: the sums D and T as the recalculation writes them.
    const auto d = letturaCentesimi(stato.costo(4));
    const auto t = letturaCentesimi(stato.costo(18));
    c.totaleClassico = Centesimi(std::llround(d.value_or(0) + t.value_or(0)));

    Voce a;
    a.codice = codiceRiga(4);
    a.etichetta = stato.tipo(4);
    a.tipo = Tipo::Sezione;
    Voce b;
    b.codice = codiceRiga(18);
    b.etichetta = stato.tipo(18);
    b.tipo = Tipo::Sezione;
    for (int i = 1; i <= kVoci; ++i) {
        if (i == 4 || i == 18) continue;
        Voce v;
        v.codice = codiceRiga(i);
        v.etichetta = stato.tipo(i);
        v.importo = importi[i];
        const int posizione = stato.riferimento(i).posizione;
        if (StatoCalcolo::percentualeVisibile(i) && posizione >= 0 && posizione < kVoci) {
            v.tipo = Tipo::Percentuale;
            v.percentuale = Millesimi(stato.percentuale(i).toInt() * 1000);
            v.di = {codiceRiga(posizione + 1)};
            v.importo = 0;  // computed
        }
        // ANAC's keys by the classic rows' place: works, the safety plans'
        // costs, the sums at the administration's disposal.
        impostaCategoriaAnac(v, i < 3    ? QStringLiteral("impLavori")
                                : i == 3 ? QStringLiteral("impTotaleSicurezza")
                                         : QStringLiteral("sommeADisposizione"));
        (i < 4 ? a : b).voci.append(v);
    }
    Quadro q;
    q.voci = {a, b};

    // A rule that cannot stand (a percentage of itself or of a row that
    // depends on it) becomes the amount the classic computation reached; so
    // does one whose amount the classic computation left elsewhere (stopped at
    // its bound). One at a time, until the framework computes the classic
    // amounts.
    auto rendiImporto = [&](const QString& codice, const QString& perche) {
        Voce* v = trovaVoce(q, codice);
        if (!v || v->tipo != Tipo::Percentuale) return false;
        const QString regola = testoRegola(*v);
        v->tipo = Tipo::Importo;
        v->importo = importi[rigaDiCodice(codice)];
        v->nota = QStringLiteral("Nel quadro classico: %1 (%2).").arg(regola, perche);
        c.avvisi.append(QStringLiteral("La voce «%1» (%2) diventa un importo: %3 (%4).")
                            .arg(codice, v->etichetta, regola, perche));
        v->di.clear();
        v->percentuale = 0;
        return true;
    };
    for (int giro = 0; giro <= kVoci; ++giro) {
        auto r = valuta(q);
        if (auto* p = std::get_if<Problema>(&r)) {
            bool cambiato = false;
            for (const QString& codice : p->codici)
                if (rendiImporto(codice, QStringLiteral("regola circolare"))) {
                    cambiato = true;
                    break;
                }
            if (!cambiato) break;
            continue;
        }
        const Valutazione& val = std::get<Valutazione>(r);
        bool cambiato = false;
        for (const VoceInOrdine& vo : vociInOrdine(q)) {
            const int i = rigaDiCodice(vo.voce->codice);
            if (vo.voce->tipo == Tipo::Percentuale && val.importo(vo.voce->codice) != importi[i] &&
                rendiImporto(vo.voce->codice,
                             QStringLiteral("importo calcolato dal quadro classico %1")
                                 .arg(testoImporto(importi[i])))) {
                cambiato = true;
                break;
            }
        }
        if (!cambiato) break;
    }

    if (const auto p = verifica(q))
        c.errore =
            QStringLiteral("Il progetto non può essere convertito in quadro: %1").arg(p->messaggio);
    c.file.intestazione.titolo = nome;
    if (!moneta.isEmpty()) c.file.intestazione.valuta = moneta;
    c.file.quadro = q;
    return c;
}

Conversione convertiClassico(const ProgettoFile& classico) {
    // The classic project opened on its own, as the calculation window
    // opens it.
    Progetto progetto;
    progetto.avvia();
    progetto.apri(QString(), classico);
    return convertiStato(progetto.calcolo(), classico.nomeprogetto, classico.valuta);
}

}  // namespace varimo::quadro
