#include "quadro/quadro.h"

#include <QSet>

#include <algorithm>
#include <functional>

#include "quadro/anac.h"
#include "quadro/tabelle.h"

namespace varimo::quadro {

namespace {

// Products of a sum in cents and a percentage in thousandths pass 2^63.
__extension__ typedef __int128 Grande;

// ---- Walking the tree --------------------------------------------------------

void raccogli(const QList<Voce>& voci, Percorso& percorso, QList<VoceInOrdine>& out) {
    for (int i = 0; i < voci.size(); ++i) {
        percorso.append(i);
        // Each item keeps a copy of its own: the path being walked is never
        // shared, so extending and shortening it copies nothing.
        out.append({&voci[i], Percorso(percorso.cbegin(), percorso.cend()),
                    int(percorso.size()) - 1});
        if (voci[i].tipo == Tipo::Sezione) raccogli(voci[i].voci, percorso, out);
        percorso.removeLast();
    }
}

bool haSpazi(const QString& s) {
    for (const QChar c : s)
        if (c.isSpace() || c.category() == QChar::Other_Control) return true;
    return false;
}

QString elencoCodici(const QStringList& codici) {
    QStringList q;
    for (const QString& c : codici) q.append(QStringLiteral("«%1»").arg(c));
    return q.join(QStringLiteral(", "));
}

// Division rounded half up (towards +infinity at exactly one half), as
// floor(n / d + 1/2), for d > 0.
Grande divisioneMezzoSu(Grande n, Grande d) {
    const Grande a = 2 * n + d;
    const Grande b = 2 * d;
    Grande q = a / b;
    if ((a % b != 0) && (a < 0)) --q;  // floor for negative numerators
    return q;
}

// The framework flattened for evaluation: every item once, in an order where
// each item comes after everything it depends on.
struct Compilato {
    QList<const Voce*> voci;  // reading order
    QHash<QString, int> indice;
    QList<QList<int>> dipendenze;  // section: children; percentage: its list
    QList<int> ordine;             // evaluation order
    QList<int> cime;               // the top level
    int compensa = -1;             // the item whose amount may be replaced
    // Tabella: the band table that applies at the framework's date, and the
    // warning when it is used outside its dates.
    QHash<int, const TabellaScaglioni*> tabelle;
    QHash<int, QString> avvisiTabelle;
    // Items on the tender base in an award: their amount of the project.
    QHash<int, Centesimi> fissi;
    // Items checked against a limit of the law, and the tender base (the
    // project's top-level "A") the limits are a percentage of.
    QList<std::pair<int, const Limite*>> limiti;
    std::optional<Centesimi> baseDiGara;
    // Why the user's own tables were not taken, when the framework reads any.
    QStringList avvisiCatalogo;
};

const CatalogoTabelle& catalogo(const Riferimenti& r) {
    return r.tabelle ? *r.tabelle : catalogoTabelle();
}

// The label a limit of the law is recognised by when the item names none:
// frameworks made before items named their limit.
const QString kLimiteIncentivi = QStringLiteral("incentivi-funzioni-tecniche");

std::variant<Compilato, Problema> compila(const Quadro& q, const Riferimenti& r) {
    Compilato c;
    const QList<VoceInOrdine> tutte = vociInOrdine(q);
    c.voci.reserve(tutte.size());
    for (const VoceInOrdine& v : tutte) c.voci.append(v.voce);
    const int n = int(c.voci.size());
    c.indice.reserve(n);
    for (int i = 0; i < n; ++i) {
        const Voce& v = *c.voci[i];
        if (v.codice.isEmpty())
            return Problema{QStringLiteral("La voce «%1» non ha un codice.").arg(v.etichetta), {}};
        if (haSpazi(v.codice))
            return Problema{
                QStringLiteral("Il codice «%1» contiene spazi o caratteri di controllo.")
                    .arg(v.codice),
                {v.codice}};
        if (c.indice.contains(v.codice))
            return Problema{QStringLiteral("Il codice «%1» è usato da più voci.").arg(v.codice),
                            {v.codice}};
        c.indice.insert(v.codice, i);
    }
    for (int i = 0; i < int(tutte.size()); ++i)
        if (tutte[i].profondita == 0) c.cime.append(i);

    c.dipendenze.resize(n);
    for (int i = 0; i < n; ++i) {
        const Voce& v = *c.voci[i];
        switch (v.tipo) {
            case Tipo::Sezione: {
                // The children follow their section in reading order.
                int j = i + 1;
                const int profondita = tutte[i].profondita;
                for (; j < n && tutte[j].profondita > profondita; ++j)
                    if (tutte[j].profondita == profondita + 1) c.dipendenze[i].append(j);
                break;
            }
            case Tipo::Importo:
                if (v.importo > kImportoMassimo || v.importo < -kImportoMassimo)
                    return Problema{
                        QStringLiteral("L'importo della voce «%1» supera 999.999.999.999,99.")
                            .arg(v.codice),
                        {v.codice}};
                break;
            case Tipo::Percentuale:
            case Tipo::Tabella: {
                if (v.tipo == Tipo::Percentuale &&
                    (v.percentuale < 0 || v.percentuale > kPercentualeMassima))
                    return Problema{QStringLiteral("La percentuale della voce «%1» (%2 %) non è "
                                                   "compresa tra 0 e 100.")
                                        .arg(v.codice, testoPercentuale(v.percentuale)),
                                    {v.codice}};
                if (v.tipo == Tipo::Tabella) {
                    const TabellaScelta t = scegliTabella(catalogo(r), v.tabella, r.data);
                    if (!t.tabella)
                        return Problema{QStringLiteral("La voce «%1» usa la tabella a scaglioni "
                                                       "«%2», che non esiste.")
                                            .arg(v.codice, v.tabella),
                                        {v.codice}};
                    c.tabelle.insert(i, t.tabella);
                    if (!t.avviso.isEmpty()) c.avvisiTabelle.insert(i, t.avviso);
                }
                if (v.sullaBaseDiGara && r.gara) {
                    const auto g = r.gara->constFind(v.codice);
                    if (g != r.gara->constEnd()) c.fissi.insert(i, *g);
                }
                QSet<int> viste;
                for (const QString& di : v.di) {
                    const auto it = c.indice.constFind(di);
                    if (it == c.indice.constEnd())
                        return Problema{
                            (v.tipo == Tipo::Percentuale
                                 ? QStringLiteral("La voce «%1» è una percentuale della voce "
                                                  "«%2», che non esiste.")
                                 : QStringLiteral("La voce «%1» si calcola sulla voce «%2», che "
                                                  "non esiste."))
                                .arg(v.codice, di),
                            {v.codice}};
                    if (viste.contains(*it))
                        return Problema{QStringLiteral("La voce «%1» nomina due volte la voce "
                                                       "«%2».")
                                            .arg(v.codice, di),
                                        {v.codice, di}};
                    viste.insert(*it);
                    c.dipendenze[i].append(*it);
                }
                break;
            }
        }
    }

    // Evaluation order (Kahn): what is left over lies on or behind a cycle.
    QList<int> mancanti(n, 0);
    QList<QList<int>> chiDipende(n);
    for (int i = 0; i < n; ++i) {
        mancanti[i] = int(c.dipendenze[i].size());
        for (int d : c.dipendenze[i]) chiDipende[d].append(i);
    }
    c.ordine.reserve(n);
    for (int i = 0; i < n; ++i)
        if (mancanti[i] == 0) c.ordine.append(i);
    for (int k = 0; k < c.ordine.size(); ++k)
        for (int j : chiDipende[c.ordine[k]])
            if (--mancanti[j] == 0) c.ordine.append(j);
    if (c.ordine.size() < n) {
        // Follow unresolved dependencies until one repeats: that is a cycle.
        int inizio = 0;
        while (mancanti[inizio] == 0) ++inizio;
        QList<int> cammino;
        QHash<int, int> posizione;
        int x = inizio;
        while (!posizione.contains(x)) {
            posizione.insert(x, int(cammino.size()));
            cammino.append(x);
            for (int d : c.dipendenze[x])
                if (mancanti[d] > 0) {
                    x = d;
                    break;
                }
        }
        QStringList codici;
        for (qsizetype k = posizione.value(x); k < cammino.size(); ++k)
            codici.append(c.voci[cammino[k]]->codice);
        if (codici.size() == 1)
            return Problema{QStringLiteral("La voce «%1» fa riferimento a sé stessa: non può "
                                           "essere calcolata.")
                                .arg(codici.first()),
                            codici};
        return Problema{QStringLiteral("Le voci %1 dipendono l'una dall'altra in un ciclo: "
                                       "nessuna può essere calcolata.")
                            .arg(elencoCodici(codici)),
                        codici};
    }

    const QString compensa = codiceCompensa(q);
    if (!q.vincolo.compensa.isEmpty()) {
        const auto it = c.indice.constFind(q.vincolo.compensa);
        if (it == c.indice.constEnd())
            return Problema{QStringLiteral("La voce «%1», che compensa il totale vincolato, non "
                                           "esiste.")
                                .arg(q.vincolo.compensa),
                            {}};
        if (c.voci[*it]->tipo != Tipo::Importo)
            return Problema{QStringLiteral("La voce «%1», che compensa il totale vincolato, deve "
                                           "essere un importo.")
                                .arg(q.vincolo.compensa),
                            {q.vincolo.compensa}};
    }
    if (q.vincolo.totale && (*q.vincolo.totale < 0 || *q.vincolo.totale > kCalcolatoMassimo))
        return Problema{QStringLiteral("Il totale vincolato non è un importo accettabile."), {}};
    if (!compensa.isEmpty()) c.compensa = c.indice.value(compensa);

    for (int i = 0; i < n; ++i) {
        const Voce& v = *c.voci[i];
        // Read without copying: this runs on every item at every keystroke.
        QString nome = v.altri.isEmpty() ? QString() : limiteVoce(v);
        if (nome.isEmpty() && v.tipo != Tipo::Sezione) {
            const QStringView etichetta = QStringView(v.etichetta).trimmed();
            if (!etichetta.isEmpty() && etichetta.front().toLower() == u'i' &&
                etichetta.startsWith(QLatin1String("incentiv"), Qt::CaseInsensitive))
                nome = kLimiteIncentivi;
        }
        if (nome.isEmpty()) continue;
        if (const Limite* l = scegliLimite(catalogo(r), nome, r.data)) c.limiti.append({i, l});
    }
    if (!c.tabelle.isEmpty() || !c.limiti.isEmpty()) c.avvisiCatalogo = catalogo(r).avvisi;
    if (r.gara) {
        const auto a = r.gara->constFind(QStringLiteral("A"));
        if (a != r.gara->constEnd()) c.baseDiGara = *a;
    }
    return c;
}

// The amounts of every item, with the absorbing item at `compensa` when
// given. nullopt when an amount goes past kCalcolatoMassimo (`oltre` names it).
std::optional<Centesimi> calcola(const Compilato& c, std::optional<Centesimi> compensa,
                                 QList<Centesimi>& valori, int* oltre = nullptr) {
    valori.resize(c.voci.size());
    for (int i : c.ordine) {
        const Voce& v = *c.voci[i];
        Grande x = 0;
        const auto fisso = c.fissi.isEmpty() ? c.fissi.constEnd() : c.fissi.constFind(i);
        if (fisso != c.fissi.constEnd()) {
            x = *fisso;
        } else {
            switch (v.tipo) {
                case Tipo::Importo:
                    x = (i == c.compensa && compensa) ? *compensa : v.importo;
                    break;
                case Tipo::Sezione:
                    for (int d : c.dipendenze[i]) x += valori[d];
                    break;
                case Tipo::Percentuale: {
                    Grande somma = 0;
                    for (int d : c.dipendenze[i]) somma += valori[d];
                    x = divisioneMezzoSu(somma * v.percentuale, Grande(kPercentualeMassima));
                    break;
                }
                case Tipo::Tabella: {
                    Grande somma = 0;
                    for (int d : c.dipendenze[i]) somma += valori[d];
                    if (somma > kCalcolatoMassimo || somma < -kCalcolatoMassimo) {
                        x = somma;  // refused just below, as too large
                        break;
                    }
                    x = importoScaglioni(*c.tabelle.value(i), Centesimi(somma));
                    break;
                }
            }
        }
        if (x > kCalcolatoMassimo || x < -kCalcolatoMassimo) {
            if (oltre) *oltre = i;
            return std::nullopt;
        }
        valori[i] = Centesimi(x);
    }
    Grande totale = 0;
    for (int i : c.cime) totale += valori[i];
    if (totale > kCalcolatoMassimo || totale < -kCalcolatoMassimo) {
        if (oltre) *oltre = -1;
        return std::nullopt;
    }
    return Centesimi(totale);
}

Problema troppoGrande(const Compilato& c, int oltre) {
    if (oltre < 0)
        return Problema{QStringLiteral("Il totale del progetto è troppo grande per essere "
                                       "calcolato."),
                        {}};
    const QString codice = c.voci[oltre]->codice;
    return Problema{QStringLiteral("L'importo della voce «%1» è troppo grande per essere "
                                   "calcolato.")
                        .arg(codice),
                    {codice}};
}

std::variant<Valutazione, Problema> valutaCompilato(const Compilato& c,
                                                    std::optional<Centesimi> compensa) {
    QList<Centesimi> valori;
    int oltre = -1;
    const std::optional<Centesimi> totale = calcola(c, compensa, valori, &oltre);
    if (!totale) return troppoGrande(c, oltre);
    Valutazione val;
    val.importi.reserve(c.voci.size());
    for (int i = 0; i < c.voci.size(); ++i) {
        const Voce& v = *c.voci[i];
        val.importi.insert(v.codice, valori[i]);
        if (v.etichetta.size() > kEtichettaLunga)
            val.avvisi.append(QStringLiteral("L'etichetta della voce «%1» supera i %2 caratteri.")
                                  .arg(v.codice)
                                  .arg(kEtichettaLunga));
    }
    val.totale = *totale;
    if (c.compensa >= 0) val.compensa = c.voci[c.compensa]->codice;
    for (auto it = c.tabelle.constBegin(); it != c.tabelle.constEnd(); ++it) {
        const TabellaScaglioni& t = **it;
        const QString avviso = c.avvisiTabelle.value(it.key());
        val.tabelle.insert(c.voci[it.key()]->codice,
                           TabellaUsata{t.nome, t.titolo, t.dal.year(), t.fonte, avviso});
    }
    for (auto it = c.fissi.constBegin(); it != c.fissi.constEnd(); ++it)
        val.tenuteDalProgetto.insert(c.voci[it.key()]->codice);
    val.avvisi.append(c.avvisiCatalogo);
    // In reading order, so that the warnings read as the framework does.
    for (int i = 0; !c.avvisiTabelle.isEmpty() && i < c.voci.size(); ++i)
        if (const auto a = c.avvisiTabelle.constFind(i); a != c.avvisiTabelle.constEnd())
            val.avvisi.append(QStringLiteral("Voce «%1»: %2").arg(c.voci[i]->codice, *a));
    if (!c.limiti.isEmpty()) {
        std::optional<Centesimi> base = c.baseDiGara;
        if (!base)
            for (int i : c.cime)
                if (c.voci[i]->codice == QLatin1String("A")) base = valori[i];
        if (base && *base >= 0)
            for (const auto& [i, limite] : c.limiti) {
                const Centesimi massimo = Centesimi(divisioneMezzoSu(
                    Grande(*base) * limite->percentuale, Grande(kPercentualeMassima)));
                if (valori[i] > massimo)
                    val.avvisi.append(
                        QStringLiteral("La voce «%1» (%2) supera il %3 % dell'importo a base di "
                                       "gara, %4 su %5 (%6): %7.")
                            .arg(c.voci[i]->codice, testoImporto(valori[i]),
                                 testoPercentuale(limite->percentuale), testoImporto(massimo),
                                 testoImporto(*base), limite->titolo, limite->fonte));
            }
    }
    return val;
}

}  // namespace

bool Voce::operator==(const Voce&) const = default;

// ---- Looking items up ------------------------------------------------------

QList<VoceInOrdine> vociInOrdine(const Quadro& q) {
    QList<VoceInOrdine> out;
    Percorso p;
    p.reserve(16);
    raccogli(q.voci, p, out);
    return out;
}

const Voce* voceA(const Quadro& q, const Percorso& p) {
    const QList<Voce>* lista = &q.voci;
    const Voce* v = nullptr;
    for (int i : p) {
        if (i < 0 || i >= lista->size()) return nullptr;
        v = &(*lista)[i];
        lista = &v->voci;
    }
    return v;
}

// Non-const access all the way down, so that lists shared with a copy of the
// framework are detached before the item is handed out for writing.
Voce* voceA(Quadro& q, const Percorso& p) {
    QList<Voce>* lista = &q.voci;
    Voce* v = nullptr;
    for (int i : p) {
        if (i < 0 || i >= lista->size()) return nullptr;
        v = &(*lista)[i];
        lista = &v->voci;
    }
    return v;
}

std::optional<Percorso> percorsoDi(const Quadro& q, const QString& codice) {
    for (const VoceInOrdine& v : vociInOrdine(q))
        if (v.voce->codice == codice) return v.percorso;
    return std::nullopt;
}

const Voce* trovaVoce(const Quadro& q, const QString& codice) {
    const auto p = percorsoDi(q, codice);
    return p ? voceA(q, *p) : nullptr;
}

Voce* trovaVoce(Quadro& q, const QString& codice) {
    const auto p = percorsoDi(q, codice);
    return p ? voceA(q, *p) : nullptr;
}

bool ribassabile(const Quadro& q, const Percorso& p) {
    const Voce* v = voceA(q, p);
    if (!v) return false;
    if (v->ribassabile) return *v->ribassabile;
    const Voce* cima = voceA(q, {p.value(0)});
    return p.size() > 1 && cima && cima->codice == QLatin1String("A");
}

QString codiceCompensa(const Quadro& q) {
    if (!q.vincolo.compensa.isEmpty()) return q.vincolo.compensa;
    for (const VoceInOrdine& v : vociInOrdine(q))
        if (v.voce->tipo == Tipo::Importo && v.voce->etichetta.trimmed().startsWith(
                                                 QLatin1String("imprevisti"), Qt::CaseInsensitive))
            return v.voce->codice;
    return {};
}

// ---- Checking and evaluating -----------------------------------------------

std::optional<Problema> verifica(const Quadro& q, const Riferimenti& r) {
    auto c = compila(q, r);
    if (auto* p = std::get_if<Problema>(&c)) return *p;
    return std::nullopt;
}

std::variant<Valutazione, Problema> valuta(const Quadro& q, const Riferimenti& r) {
    auto c = compila(q, r);
    if (auto* p = std::get_if<Problema>(&c)) return *p;
    return valutaCompilato(std::get<Compilato>(c), std::nullopt);
}

std::variant<Valutazione, Problema> ricalcola(Quadro& q, const Riferimenti& r) {
    auto cc = compila(q, r);
    if (auto* p = std::get_if<Problema>(&cc)) return *p;
    const Compilato& c = std::get<Compilato>(cc);
    if (!q.vincolo.totale) return valutaCompilato(c, std::nullopt);

    const Centesimi fisso = *q.vincolo.totale;
    auto esito = [&](EsitoVincolo e, Centesimi scarto,
                     std::optional<Centesimi> x) -> std::variant<Valutazione, Problema> {
        auto r = valutaCompilato(c, x);
        if (auto* v = std::get_if<Valutazione>(&r)) {
            v->vincolo = e;
            v->scarto = scarto;
        }
        return r;
    };
    if (c.compensa < 0) return esito(EsitoVincolo::SenzaCompensa, 0, std::nullopt);

    // The total grows by at least one cent with each cent of the absorbing
    // item (it counts once in the total, and percentages never shrink as a
    // sum grows), so the answer lies in [0, fixed - total at 0] and a
    // bisection finds it. A band table whose percentage falls at a band's
    // edge can make the total drop as its base grows: the search then ends on
    // an amount whose total is within the fixed one while one more cent
    // passes it.
    QList<Centesimi> valori;
    const std::optional<Centesimi> a0 = calcola(c, Centesimi(0), valori);
    if (!a0) return esito(EsitoVincolo::Irraggiungibile, 0, std::nullopt);
    if (*a0 > fisso) return esito(EsitoVincolo::Irraggiungibile, *a0 - fisso, std::nullopt);
    Centesimi basso = 0;  // total(basso) <= fisso
    Centesimi alto = std::min<Centesimi>(fisso - *a0, kImportoMassimo);
    auto sotto = [&](Centesimi x) {
        const auto t = calcola(c, x, valori);
        return t && *t <= fisso;
    };
    const auto aAlto = calcola(c, alto, valori);
    if (aAlto && *aAlto <= fisso) {
        basso = alto;
    } else {
        // The total is nearly linear in the absorbing amount: a first guess
        // from the two ends lands within a few cents, a gallop from it
        // brackets the answer, and a bisection of that bracket ends it.
        Centesimi stima = alto;
        if (aAlto && *aAlto > *a0)
            stima = Centesimi(Grande(fisso - *a0) * alto / (Grande(*aAlto) - *a0));
        stima = std::clamp<Centesimi>(stima, basso, alto - 1);
        if (sotto(stima)) {
            basso = stima;
            for (Centesimi passo = 1; basso + passo < alto; passo *= 2) {
                if (!sotto(basso + passo)) {
                    alto = basso + passo;
                    break;
                }
                basso += passo;
            }
        } else {
            alto = stima;
            for (Centesimi passo = 1; alto - passo > basso; passo *= 2) {
                if (sotto(alto - passo)) {
                    basso = alto - passo;
                    break;
                }
                alto -= passo;
            }
        }
        while (alto - basso > 1) {
            const Centesimi medio = basso + (alto - basso) / 2;
            if (sotto(medio))
                basso = medio;
            else
                alto = medio;
        }
    }
    auto finale = esito(EsitoVincolo::Raggiunto, 0, basso);
    if (auto* v = std::get_if<Valutazione>(&finale)) {
        if (v->totale != fisso) {
            v->vincolo = EsitoVincolo::Scarto;
            v->scarto = fisso - v->totale;
        }
        trovaVoce(q, v->compensa)->importo = basso;
    }
    return finale;
}

// ---- Texts ------------------------------------------------------------------

QString testoRegola(const Voce& v, const Valutazione* valutazione) {
    if (v.tipo != Tipo::Percentuale && v.tipo != Tipo::Tabella) return {};
    const QString di =
        v.di.isEmpty() ? QStringLiteral("nessuna voce") : v.di.join(QStringLiteral(" + "));
    QString regola;
    if (v.tipo == Tipo::Percentuale) {
        regola = QStringLiteral("%1 % di %2").arg(testoPercentuale(v.percentuale), di);
    } else {
        QString tabella = v.tabella;
        if (valutazione)
            if (const auto t = valutazione->tabelle.constFind(v.codice);
                t != valutazione->tabelle.constEnd())
                tabella += QStringLiteral(" %1").arg(t->anno);
        regola = QStringLiteral("tabella %1 di %2").arg(tabella, di);
    }
    if (v.sullaBaseDiGara) regola += QStringLiteral(", sulla base di gara");
    return regola;
}

namespace {
const QString kChiaveLimite = QStringLiteral("limite");
const QString kChiaveAliquote = QStringLiteral("aliquote");
}  // namespace

QString limiteVoce(const Voce& v) {
    return v.altri.value(kChiaveLimite).toString();
}

void impostaLimiteVoce(Voce& v, const QString& nome) {
    if (nome.isEmpty())
        v.altri.remove(kChiaveLimite);
    else
        v.altri.insert(kChiaveLimite, nome);
}

QString aliquoteVoce(const Voce& v) {
    return v.altri.value(kChiaveAliquote).toString();
}

// ---- Template --------------------------------------------------------------

namespace {

Voce importo(const char* codice, const QString& etichetta, const QString& nota = {}) {
    Voce v;
    v.codice = QString::fromLatin1(codice);
    v.etichetta = etichetta;
    v.nota = nota;
    return v;
}

Voce percentuale(const char* codice, const QString& etichetta, Millesimi m, QStringList di,
                 const QString& nota = {}) {
    Voce v = importo(codice, etichetta, nota);
    v.tipo = Tipo::Percentuale;
    v.percentuale = m;
    v.di = std::move(di);
    return v;
}

Voce sezione(const char* codice, const QString& etichetta, QList<Voce> voci,
             const QString& nota = {}) {
    Voce v = importo(codice, etichetta, nota);
    v.tipo = Tipo::Sezione;
    v.voci = std::move(voci);
    return v;
}

// The rate a template item starts with: the first choice the law's data
// offers for it.
Voce conAliquote(Voce v, const QString& nome) {
    v.altri.insert(kChiaveAliquote, nome);
    if (const Aliquote* a = trovaAliquote(catalogoTabelle(), nome); a && !a->scelte.isEmpty())
        v.percentuale = a->scelte.first().percentuale;
    return v;
}

Voce tabella(const char* codice, const QString& etichetta, const QString& nome, QStringList di,
             const QString& nota) {
    Voce v = importo(codice, etichetta, nota);
    v.tipo = Tipo::Tabella;
    v.tabella = nome;
    v.di = std::move(di);
    return v;
}

}  // namespace

Quadro modello2023() {
    const QString allegato = QStringLiteral("D.Lgs. 36/2023, allegato I.7, art. 5");
    Voce sicurezza = importo("A.3", QStringLiteral("Costi della sicurezza"),
                             allegato + QStringLiteral(": non soggetti a ribasso"));
    sicurezza.ribassabile = false;

    // The incentives start at the ceiling of the law and stay on the tender
    // base after the award.
    Voce incentivo = percentuale("B.8", QStringLiteral("Incentivo per le funzioni tecniche"), 0,
                                 {QStringLiteral("A")}, QStringLiteral("D.Lgs. 36/2023, art. 45"));
    incentivo.sullaBaseDiGara = true;
    impostaLimiteVoce(incentivo, kLimiteIncentivi);
    if (const Limite* l = scegliLimite(catalogoTabelle(), kLimiteIncentivi, {}))
        incentivo.percentuale = l->percentuale;

    Voce anac = tabella("B.19", QStringLiteral("Contributo ANAC della stazione appaltante"),
                        QStringLiteral("contributo-anac-stazione-appaltante"),
                        {QStringLiteral("A")},
                        QStringLiteral("L. 266/2005, art. 1, c. 65: delibera ANAC dell'anno"));
    anac.sullaBaseDiGara = true;

    // The keys of ANAC's data: works, safety costs, and every item under B
    // at the administration's disposal.
    Voce corpo = importo("A.1", QStringLiteral("Lavori a corpo"), allegato);
    Voce misura = importo("A.2", QStringLiteral("Lavori a misura"), allegato);
    impostaCategoriaAnac(corpo, QStringLiteral("impLavori"));
    impostaCategoriaAnac(misura, QStringLiteral("impLavori"));
    impostaCategoriaAnac(sicurezza, QStringLiteral("impTotaleSicurezza"));

    Quadro q;
    q.voci = {
        sezione("A", QStringLiteral("Lavori"), {corpo, misura, sicurezza}),
        sezione(
            "B", QStringLiteral("Somme a disposizione dell'amministrazione"),
            {importo("B.1", QStringLiteral("Lavori esclusi dall'appalto"), allegato),
             importo("B.2", QStringLiteral("Rilievi, accertamenti e indagini"), allegato),
             importo("B.3", QStringLiteral("Allacciamenti ai pubblici servizi"), allegato),
             importo("B.4", QStringLiteral("Imprevisti"), allegato),
             importo("B.5", QStringLiteral("Accantonamento per la revisione dei prezzi"),
                     QStringLiteral("D.Lgs. 36/2023, art. 60")),
             importo("B.6", QStringLiteral("Acquisizione di aree e immobili"), allegato),
             sezione("B.7", QStringLiteral("Spese tecniche"),
                     {importo("B.7.1", QStringLiteral("Progettazione")),
                      importo("B.7.2", QStringLiteral("Direzione dei lavori")),
                      importo("B.7.3", QStringLiteral("Coordinamento della sicurezza")),
                      conAliquote(percentuale("B.7.4", QStringLiteral("Contributo previdenziale"),
                                              0,
                                              {QStringLiteral("B.7.1"), QStringLiteral("B.7.2"),
                                               QStringLiteral("B.7.3")},
                                              QStringLiteral("Cassa di previdenza dei "
                                                             "professionisti: 4 % ingegneri e "
                                                             "architetti, 5 % geometri")),
                                  QStringLiteral("contributo-previdenziale"))},
                     allegato),
             incentivo,
             importo("B.9", QStringLiteral("Supporto al RUP, verifica e validazione"), allegato),
             importo("B.10", QStringLiteral("Commissioni giudicatrici"), allegato),
             importo("B.11", QStringLiteral("Pubblicità"), allegato),
             importo("B.12", QStringLiteral("Accertamenti di laboratorio e verifiche tecniche"),
                     allegato),
             importo("B.13", QStringLiteral("Collaudi"), allegato),
             importo("B.14", QStringLiteral("Verifica preventiva dell'interesse archeologico"),
                     allegato),
             tabella("B.15", QStringLiteral("Opere d'arte"),
                     QStringLiteral("quota-arte-legge-717-1949"), {},
                     QStringLiteral("L. 717/1949, art. 1: solo nei nuovi edifici pubblici (non "
                                    "scuole, università, ospedali); elencare le voci della spesa "
                                    "totale del progetto")),
             conAliquote(percentuale("B.16", QStringLiteral("IVA sui lavori"), 0,
                                     {QStringLiteral("A")},
                                     QStringLiteral("D.P.R. 633/1972: 10 % opere di "
                                                    "urbanizzazione e loro recupero, 22 % "
                                                    "aliquota ordinaria (anche manutenzione di "
                                                    "strade e piazze)")),
                         QStringLiteral("iva-lavori")),
             conAliquote(percentuale("B.17", QStringLiteral("IVA sulle spese tecniche"), 0,
                                     {QStringLiteral("B.7")}, QStringLiteral("D.P.R. 633/1972")),
                         QStringLiteral("iva-spese-tecniche")),
             importo("B.18", QStringLiteral("Altre imposte e contributi"), allegato), anac}),
    };
    const std::function<void(QList<Voce>&)> aDisposizione = [&](QList<Voce>& voci) {
        for (Voce& v : voci)
            if (v.tipo == Tipo::Sezione)
                aDisposizione(v.voci);
            else
                impostaCategoriaAnac(v, QStringLiteral("sommeADisposizione"));
    };
    aDisposizione(q.voci[1].voci);
    return q;
}

}  // namespace varimo::quadro
