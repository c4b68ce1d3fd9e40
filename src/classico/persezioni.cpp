#include "classico/persezioni.h"

#include <algorithm>

#include "common/importi.h"
#include "common/numeri.h"
#include "classico/postgara.h"
#include "classico/statoeconomico.h"

namespace varimo {

QuadroSezioni sezioniDelQuadro(const StatoEconomico& e) {
    QuadroSezioni q;
    q.colonneImporti = {QStringLiteral("costo")};
    const int n = std::clamp(e.numerovoci, 0, kVoci);
    for (int k = 1; k <= n; ++k) {
        const int o = e.origine(k);
        const QString costo = formatoImporto(e.costo(k));
        if (o == 0 || costo.isEmpty()) continue;
        if (o == 4) {
            q.totaleLavori = {costo};
        } else if (o == kVoci) {
            q.totaleSomme = {costo};
        } else {
            const QString regola = e.percentuale(k)
                                       ? regolaPercentuale(e.testoPercentuale(k), e.riferimento(k))
                                       : QString();
            (o < 4 ? q.lavori : q.somme).append(VoceSezione{e.tipo(k), regola, {costo}});
        }
    }
    q.totaleProgetto = {formatoImporto(e.costo(kTotaleQuadro))};
    return q;
}

QuadroSezioni sezioniDopoGara(const StatoPostGara& s, const QuadroDopoGara& q) {
    QuadroSezioni r;
    r.colonneImporti = {QStringLiteral("progetto"), QStringLiteral("dopo la gara"),
                        QStringLiteral("differenza")};
    auto importi = [](qint64 prima, qint64 dopo) {
        return QStringList{formatoCentesimi(prima), formatoCentesimi(dopo),
                           formatoCentesimi(dopo - prima)};
    };
    const ProgettoGara& p = s.progetto();
    for (int i = 1; i <= 17; ++i) {
        const auto u = static_cast<std::size_t>(i);
        if (i == 4 || !q.presente.at(u)) continue;
        const VoceProgetto& v = p.voci.at(u);
        QString regola;
        if (v.riferimento > 0)
            regola = regolaPercentuale(v.perc, v.testoRiferimento,
                                       s.segue(i) ? testipostgara::segue : QString());
        (i < 4 ? r.lavori : r.somme)
            .append(VoceSezione{v.tipo, regola, importi(q.prima.at(u), q.dopo.at(u))});
    }
    r.somme.append(VoceSezione{testipostgara::economie, QString(), importi(0, q.economie)});
    r.totaleLavori = importi(q.prima[4], q.dopo[4]);
    r.totaleSomme = importi(q.prima[kVoci], q.dopo[kVoci]);
    r.totaleProgetto = importi(q.totalePrima, q.totaleDopo);
    return r;
}

}  // namespace varimo
