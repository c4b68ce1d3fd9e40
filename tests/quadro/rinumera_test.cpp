// Renumbering the items by their place: on random frameworks with codes of
// any form (many of them the codes of other places), every amount and the
// total stay what they were, item by item, and only codes and references
// change; a second renumbering changes nothing; and the 2023 template with
// items deleted comes back with contiguous codes and its rules on the same
// items.

#include <gtest/gtest.h>

#include <QSet>
#include <functional>
#include <random>

#include "quadro/modifiche.h"
#include "quadro/quadro.h"

namespace varimo::quadro {
namespace {

class Caso {
  public:
    explicit Caso(unsigned seme) : rng_(seme) {}
    int tra(int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng_); }
    qint64 tra64(qint64 a, qint64 b) { return std::uniform_int_distribution<qint64>(a, b)(rng_); }
    bool probabile(int percento) { return tra(1, 100) <= percento; }

    // A code not used yet: often the code some other place would have (so a
    // renumbering that renamed one item at a time would collide), else any.
    QString codice() {
        for (;;) {
            QString c;
            if (probabile(70)) {
                c = QString(QLatin1Char(char('A' + tra(0, 3))));
                for (int k = tra(0, 2); k > 0; --k) c += u'.' + QString::number(tra(1, 4));
            } else {
                c = QStringLiteral("v%1").arg(tra(0, 999));
            }
            if (!usati_.contains(c)) {
                usati_.insert(c);
                return c;
            }
        }
    }

    // About `n` items in sections down to four levels (`cime` at the top
    // level when given); then the percentages and band tables take items
    // from anywhere, before or after them, each kept only when it closes no
    // cycle.
    Quadro quadro(int n, int cime = 0) {
        usati_.clear();
        Quadro q;
        int fatti = 0;
        std::function<void(QList<Voce>&, int, int)> riempi = [&](QList<Voce>& lista,
                                                                 int profondita, int quanti) {
            for (int i = 0; i < quanti && fatti < n; ++i) {
                Voce v;
                v.codice = codice();
                v.etichetta = probabile(5) ? QStringLiteral("Imprevisti")
                                           : QStringLiteral("Voce %1").arg(fatti);
                ++fatti;
                const int tipo = tra(profondita < 3 ? 0 : 1, 7);
                if (tipo <= 1) {
                    v.tipo = Tipo::Sezione;
                    riempi(v.voci, profondita + 1, tra(0, 5));
                } else if (tipo <= 3) {
                    v.tipo = Tipo::Percentuale;
                    v.percentuale = tra(0, 30000);  // up to 30 %: chains stay small
                } else if (tipo == 4 && probabile(40)) {
                    v.tipo = Tipo::Tabella;
                    v.tabella = QStringLiteral("contributo-anac-stazione-appaltante");
                } else {
                    v.importo = probabile(10) ? -tra64(0, 1000000) : tra64(0, 5000000000LL);
                }
                lista.append(v);
            }
        };
        while (fatti < n) riempi(q.voci, 0, cime > 0 ? cime : tra(1, 6));

        QStringList codici, importi;
        for (const VoceInOrdine& o : vociInOrdine(q)) {
            codici.append(o.voce->codice);
            if (o.voce->tipo == Tipo::Importo) importi.append(o.voce->codice);
        }
        const Quadro forma = q;  // the places to walk while `q` gains its rules
        for (const VoceInOrdine& o : vociInOrdine(forma)) {
            if (o.voce->tipo != Tipo::Percentuale && o.voce->tipo != Tipo::Tabella) continue;
            Voce* v = voceA(q, o.percorso);
            for (int k = tra(0, 3); k > 0; --k) {
                const QString c = codici[tra(0, int(codici.size()) - 1)];
                if (v->di.contains(c)) continue;
                v->di.append(c);
                if (verifica(q)) v->di.removeLast();
            }
        }
        if (!importi.isEmpty() && probabile(60))
            q.vincolo.compensa = importi[tra(0, int(importi.size()) - 1)];
        if (probabile(50)) q.vincolo.totale = tra64(0, 50000000000LL);
        return q;
    }

  private:
    std::mt19937_64 rng_;
    QSet<QString> usati_;
};

// The codes of the top level in reading order, made apart from the program:
// every one-letter code, then every two-letter code in alphabetical order...
QStringList codiciDiCima(int quanti) {
    QStringList out{QString()};
    QStringList lunghezza{QString()};
    while (out.size() <= quanti) {
        QStringList piuLunghi;
        for (const QString& s : lunghezza)
            for (char c = 'A'; c <= 'Z'; ++c) piuLunghi.append(s + QLatin1Char(c));
        out += piuLunghi;
        lunghezza = piuLunghi;
    }
    return out.mid(1, quanti);
}

// The codes the items should have: a top-level item its letters, each child
// its parent's code, a point and its place counted from 1.
QStringList codiciAttesi(const Quadro& q) {
    const QStringList cime = codiciDiCima(int(q.voci.size()));
    QStringList out;
    std::function<void(const QList<Voce>&, const QString&)> scendi = [&](const QList<Voce>& lista,
                                                                         const QString& sopra) {
        for (int i = 0; i < lista.size(); ++i) {
            const QString c =
                sopra.isEmpty() ? cime[i] : sopra + QLatin1Char('.') + QString::number(i + 1);
            out.append(c);
            if (lista[i].tipo == Tipo::Sezione) scendi(lista[i].voci, c);
        }
    };
    scendi(q.voci, {});
    return out;
}

Valutazione valutazione(std::variant<Valutazione, Problema> v) {
    if (auto* p = std::get_if<Problema>(&v)) ADD_FAILURE() << p->messaggio.toStdString();
    return std::get<Valutazione>(std::move(v));
}

// `dopo` is `prima` renumbered: the same items in the same places, each with
// the code of its place, its references carried to the new codes, nothing
// else touched; and the same amounts, total and fixed-total outcome, with and
// without the absorbing.
void controllaRinumerato(const Quadro& prima, const Quadro& dopo) {
    const QList<VoceInOrdine> a = vociInOrdine(prima), b = vociInOrdine(dopo);
    ASSERT_EQ(a.size(), b.size());
    const QStringList attesi = codiciAttesi(prima);
    QHash<QString, QString> nuovo;
    for (qsizetype i = 0; i < a.size(); ++i) nuovo.insert(a[i].voce->codice, b[i].voce->codice);
    for (qsizetype i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].percorso, b[i].percorso);
        EXPECT_EQ(b[i].voce->codice, attesi[i]);
        Voce atteso = *a[i].voce;
        atteso.codice = attesi[i];
        for (QString& d : atteso.di) d = nuovo.value(d);
        Voce ottenuto = *b[i].voce;
        atteso.voci.clear();
        ottenuto.voci.clear();
        EXPECT_EQ(ottenuto, atteso) << a[i].voce->codice.toStdString();
    }
    EXPECT_EQ(dopo.vincolo.compensa, nuovo.value(prima.vincolo.compensa));
    EXPECT_EQ(dopo.vincolo.totale, prima.vincolo.totale);
    EXPECT_EQ(dopo.altri, prima.altri);

    Quadro x = prima, y = dopo;
    const Valutazione libera = valutazione(valuta(x)), liberaDopo = valutazione(valuta(y));
    const Valutazione ricalcolata = valutazione(ricalcola(x));
    const Valutazione ricalcolataDopo = valutazione(ricalcola(y));
    const std::pair<const Valutazione*, const Valutazione*> coppie[] = {
        {&libera, &liberaDopo}, {&ricalcolata, &ricalcolataDopo}};
    for (const auto& [v, w] : coppie) {
        ASSERT_EQ(v->importi.size(), w->importi.size());
        for (auto it = v->importi.cbegin(); it != v->importi.cend(); ++it)
            EXPECT_EQ(w->importo(nuovo.value(it.key())), it.value()) << it.key().toStdString();
        EXPECT_EQ(w->totale, v->totale);
        EXPECT_EQ(w->vincolo, v->vincolo);
        EXPECT_EQ(w->scarto, v->scarto);
        EXPECT_EQ(w->compensa, nuovo.value(v->compensa));
    }
    // The absorbing wrote the same amount into the same place.
    const QList<VoceInOrdine> ax = vociInOrdine(x), by = vociInOrdine(y);
    for (qsizetype i = 0; i < ax.size(); ++i) EXPECT_EQ(by[i].voce->importo, ax[i].voce->importo);
}

TEST(Rinumera, OgniImportoEIlTotaleRestanoENumerareDueVolteEComeUna) {
    Caso caso(2031);
    int riferimentiInAvanti = 0, vincolati = 0;
    qsizetype oltreAZ = 0;
    for (int giro = 0; giro < 200; ++giro) {
        // Now and then dozens of top-level items: past Z come AA … AZ, BA...
        const int cime = caso.tra(40, 80);
        Quadro q = giro % 10 == 0 ? caso.quadro(2 * cime, cime) : caso.quadro(caso.tra(1, 40));
        oltreAZ = std::max(oltreAZ, q.voci.size() - 52);
        ASSERT_FALSE(verifica(q)) << verifica(q)->messaggio.toStdString();
        QHash<QString, int> posto;
        const QList<VoceInOrdine> tutte = vociInOrdine(q);
        for (int i = 0; i < tutte.size(); ++i) posto.insert(tutte[i].voce->codice, i);
        for (int i = 0; i < tutte.size(); ++i)
            for (const QString& d : tutte[i].voce->di)
                if (posto[d] > i) ++riferimentiInAvanti;
        vincolati += q.vincolo.totale.has_value();

        const Quadro prima = q;
        ASSERT_FALSE(rinumeraVoci(q));
        controllaRinumerato(prima, q);
        const Quadro una = q;
        ASSERT_FALSE(rinumeraVoci(q));
        EXPECT_EQ(q, una);
        if (HasFailure()) return;
    }
    EXPECT_GT(riferimentiInAvanti, 50);
    EXPECT_GT(vincolati, 50);
    EXPECT_GT(oltreAZ, 5);
}

// When two items share a code and a rule names it, which item it means is
// unknown: refused, nothing changed. Unnamed, the shared code is simply
// replaced.
TEST(Rinumera, UnCodiceDoppioNominatoDaUnaRegolaERifiutato) {
    Quadro q;
    for (const char* c : {"X", "X", "Y"}) {
        Voce v;
        v.codice = QString::fromLatin1(c);
        v.importo = 100;
        q.voci.append(v);
    }
    Quadro libero = q;
    ASSERT_FALSE(rinumeraVoci(libero));
    QStringList codici;
    for (const VoceInOrdine& o : vociInOrdine(libero)) codici.append(o.voce->codice);
    EXPECT_EQ(codici, (QStringList{"A", "B", "C"}));
    EXPECT_FALSE(verifica(libero));

    q.voci[2].tipo = Tipo::Percentuale;
    q.voci[2].percentuale = 10000;
    q.voci[2].di = {QStringLiteral("X")};
    const Quadro prima = q;
    EXPECT_TRUE(rinumeraVoci(q));
    EXPECT_EQ(q, prima);
}

// The template with a few items deleted: every level's codes contiguous
// again, and each rule and the absorbing item on the items (by label) they
// were on.
TEST(Rinumera, IlModello2023DopoLeEliminazioniTornaContiguo) {
    Quadro q = modello2023();
    for (const char* c : {"A.2", "B.1", "B.5", "B.9", "B.12", "B.14"})
        ASSERT_FALSE(rimuoviVoce(q, *percorsoDi(q, QString::fromLatin1(c)))) << c;
    q.vincolo.compensa = QStringLiteral("B.18");
    q.vincolo.totale = 150000000;
    trovaVoce(q, QStringLiteral("A.1"))->importo = 80000000;
    trovaVoce(q, QStringLiteral("A.3"))->importo = 3000000;
    trovaVoce(q, QStringLiteral("B.7.1"))->importo = 6000000;
    trovaVoce(q, QStringLiteral("B.7.4"))->percentuale = 4000;
    trovaVoce(q, QStringLiteral("B.16"))->percentuale = 22000;
    trovaVoce(q, QStringLiteral("B.17"))->percentuale = 22000;
    ASSERT_FALSE(verifica(q));

    auto etichetta = [](const Quadro& x, const QString& c) {
        const Voce* v = trovaVoce(x, c);
        return v ? v->etichetta : QStringLiteral("(nessuna)");
    };
    auto regole = [&](const Quadro& x) {
        QStringList out;
        for (const VoceInOrdine& o : vociInOrdine(x)) {
            QStringList di;
            for (const QString& d : o.voce->di) di.append(etichetta(x, d));
            out.append(o.voce->etichetta + QStringLiteral(" <- ") + di.join(u'|'));
        }
        return out.join(u'\n') + QStringLiteral("\ncompensa ") + etichetta(x, x.vincolo.compensa);
    };

    const Quadro prima = q;
    ASSERT_FALSE(rinumeraVoci(q));
    controllaRinumerato(prima, q);
    EXPECT_EQ(regole(q), regole(prima));
    EXPECT_EQ(trovaVoce(q, QStringLiteral("A.2"))->etichetta, trovaVoce(prima, "A.3")->etichetta);
    const Voce* b = trovaVoce(q, QStringLiteral("B"));
    ASSERT_TRUE(b);
    EXPECT_EQ(b->voci.size(), 19 - 5);
    for (int i = 0; i < b->voci.size(); ++i)
        EXPECT_EQ(b->voci[i].codice, QStringLiteral("B.%1").arg(i + 1));
    EXPECT_FALSE(trovaVoce(q, QStringLiteral("B.15")));
}

}  // namespace
}  // namespace varimo::quadro
