// The law's own arithmetic in a framework: labour and safety kept out of the
// discount, items that stay on the tender base through the award and a
// variant, band tables chosen by the framework's date, the limit of the
// incentives; and the new keys through the file and through the typed rule.

#include <gtest/gtest.h>

#include "quadro/fasi.h"
#include "quadro/formatofasi.h"
#include "quadro/modifiche.h"
#include "quadro/tabelle.h"

using namespace varimo::quadro;

namespace {

template <class T>
T valore(std::variant<T, Problema> v) {
    if (auto* p = std::get_if<Problema>(&v)) ADD_FAILURE() << p->messaggio.toStdString();
    return std::get<T>(std::move(v));
}

Voce importo(const QString& codice, Centesimi c) {
    Voce v;
    v.codice = codice;
    v.etichetta = codice;
    v.importo = c;
    return v;
}

Voce sezione(const QString& codice, QList<Voce> voci) {
    Voce v;
    v.codice = codice;
    v.etichetta = codice;
    v.tipo = Tipo::Sezione;
    v.voci = std::move(voci);
    return v;
}

// Works of 200.000,00 of which 50.000,00 labour, safety 6.000,00 out of the
// discount; incentives at 2 % of A on the tender base; the ANAC contribution
// from its table on A, on the tender base; VAT 10 % of A; contingencies
// absorbing a funding of 250.000,00.
Quadro strade() {
    Voce lavori = importo("A.1", 20000000);
    impostaManodopera(lavori, 5000000);
    Voce sicurezza = importo("A.3", 600000);
    sicurezza.ribassabile = false;
    Voce incentivi;
    incentivi.codice = "B.8";
    incentivi.etichetta = "Incentivo per le funzioni tecniche";
    incentivi.tipo = Tipo::Percentuale;
    incentivi.percentuale = 2000;
    incentivi.di = {"A"};
    incentivi.sullaBaseDiGara = true;
    Voce anac;
    anac.codice = "B.19";
    anac.etichetta = "Contributo ANAC";
    anac.tipo = Tipo::Tabella;
    anac.tabella = "contributo-anac-stazione-appaltante";
    anac.di = {"A"};
    anac.sullaBaseDiGara = true;
    Voce iva;
    iva.codice = "B.16";
    iva.etichetta = "IVA sui lavori";
    iva.tipo = Tipo::Percentuale;
    iva.percentuale = 10000;
    iva.di = {"A"};
    Voce imprevisti = importo("B.4", 0);
    imprevisti.etichetta = "Imprevisti";
    Quadro q;
    q.voci = {sezione("A", {lavori, sicurezza}),
              sezione("B", {imprevisti, incentivi, iva, anac})};
    q.vincolo.totale = 25000000;
    return q;
}

}  // namespace

TEST(AritmeticaDellaLegge, AggiudicazioneEVarianteConManodoperaEBaseDiGara) {
    FileFasi f;
    Fase progetto;
    progetto.nome = "Progetto esecutivo";
    progetto.data = "2025-03-01";
    progetto.quadro = strade();
    f.fasi = {progetto};

    const FaseCalcolata p = valore(calcolaFase(f, 0));
    EXPECT_EQ(p.valutazione.importo("A"), 20600000);
    EXPECT_EQ(p.valutazione.importo("B.8"), 412000);
    EXPECT_EQ(p.valutazione.importo("B.19"), 25000);  // 206.000,00: the 150.000-500.000 band
    EXPECT_EQ(p.valutazione.totale, 25000000);
    EXPECT_TRUE(p.valutazione.avvisi.isEmpty()) << p.valutazione.avvisi.join(' ').toStdString();

    // The award at 20 %: only the 150.000,00 net of labour is discounted.
    const int a = std::get<int>(nuovaFase(f, 0, TipoFase::Aggiudicazione, "Aggiudicazione",
                                          "2025-06-01"));
    f.fasi[a].ribasso = 20000;
    const FaseCalcolata g = valore(calcolaFase(f, a));
    ASSERT_TRUE(g.aggiudicazione);
    EXPECT_EQ(g.contratto, 17600000);
    EXPECT_EQ(g.valutazione.importo("B.8"), 412000);   // on the tender base, not 3.520,00
    EXPECT_EQ(g.valutazione.importo("B.19"), 25000);
    EXPECT_EQ(g.valutazione.importo("B.16"), 1760000);  // VAT follows the contract
    EXPECT_EQ(g.valutazione.totale, 25000000);          // the funding stays
    // The economies take the discount and the VAT saved, nothing of the
    // incentives: 30.000,00 + 3.000,00.
    EXPECT_EQ(g.aggiudicazione->economie, 3300000);
    EXPECT_TRUE(g.valutazione.tenuteDalProgetto.contains("B.8"));
    EXPECT_FALSE(g.valutazione.tenuteDalProgetto.contains("B.16"));
    // Labour discounted as well, when the award says so.
    f.fasi[a].ribassaManodopera = true;
    EXPECT_EQ(valore(calcolaFase(f, a)).contratto, 16600000);
    f.fasi[a].ribassaManodopera = false;

    // A variant adds works: the incentives still stay those of the project.
    const int v = std::get<int>(nuovaFase(f, a, TipoFase::Variante, "Variante n. 1", "2025-09-01"));
    trovaVoce(f.fasi[v].quadro, "A.1")->importo += 1000000;
    const FaseCalcolata w = valore(calcolaFase(f, v));
    EXPECT_EQ(w.contratto, 18600000);
    EXPECT_EQ(w.valutazione.importo("B.8"), 412000);
    EXPECT_EQ(w.valutazione.importo("B.19"), 25000);
    EXPECT_EQ(w.valutazione.totale, 25000000);

    // Without the tender base the incentives fall with the discount.
    trovaVoce(f.fasi[a].quadro, "B.8")->sullaBaseDiGara = false;
    EXPECT_EQ(valore(calcolaFase(f, a)).valutazione.importo("B.8"), 352000);

    // What the file keeps, it gives back.
    auto letto = leggiFasi(scriviFasi(f));
    ASSERT_TRUE(std::holds_alternative<FileFasi>(letto)) << std::get<QString>(letto).toStdString();
    const FileFasi& r = std::get<FileFasi>(letto);
    ASSERT_EQ(r.fasi.size(), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(r.fasi[i].quadro, f.fasi[i].quadro) << i;
    EXPECT_EQ(valore(calcolaFase(r, v)).valutazione.importi, w.valutazione.importi);
}

TEST(AritmeticaDellaLegge, TabelleScelteDallaDataEMaiInSilenzio) {
    Quadro q = strade();
    q.vincolo = {};
    trovaVoce(q, "A.1")->importo = 3400000;  // A: 40.000,00, the first paying band
    impostaManodopera(*trovaVoce(q, "A.1"), std::nullopt);

    auto anac = [&](const QString& data) {
        return valore(valuta(q, Riferimenti{data, {}, nullptr}));
    };
    const Valutazione del2025 = anac("2025-06-01");
    EXPECT_EQ(del2025.importo("B.19"), 3500);
    EXPECT_TRUE(del2025.avvisi.isEmpty());
    EXPECT_EQ(del2025.tabelle.value("B.19").anno, 2025);
    EXPECT_EQ(testoRegola(*trovaVoce(q, "B.19"), &del2025),
              "tabella contributo-anac-stazione-appaltante 2025 di A, sulla base di gara");

    const Valutazione del2022 = anac("15/03/2022");
    EXPECT_EQ(del2022.importo("B.19"), 3000);
    EXPECT_TRUE(del2022.avvisi.isEmpty());

    // Past the newest table, in a year no table covers, with no date: a
    // table is used and the warning names its year.
    for (const QString& data : {QString("2026-12-01"), QString("2023-05-01"), QString()}) {
        const Valutazione v = anac(data);
        ASSERT_FALSE(v.avvisi.isEmpty()) << data.toStdString();
        EXPECT_TRUE(v.avvisi.join(' ').contains(QString::number(v.tabelle.value("B.19").anno)))
            << v.avvisi.join(' ').toStdString();
    }

    // A table nobody ships is a problem that names it.
    trovaVoce(q, "B.19")->tabella = "tabella-che-non-esiste";
    const auto p = valuta(q);
    ASSERT_TRUE(std::holds_alternative<Problema>(p));
    EXPECT_TRUE(std::get<Problema>(p).messaggio.contains("tabella-che-non-esiste"));
}

TEST(AritmeticaDellaLegge, IncentiviOltreIlLimiteSonoSegnalati) {
    Quadro q = strade();
    const Valutazione entro = valore(ricalcola(q, Riferimenti{"2025-03-01", {}, nullptr}));
    EXPECT_TRUE(entro.avvisi.isEmpty());
    trovaVoce(q, "B.8")->percentuale = 2001;
    const Valutazione oltre = valore(ricalcola(q, Riferimenti{"2025-03-01", {}, nullptr}));
    ASSERT_EQ(oltre.avvisi.size(), 1);
    EXPECT_TRUE(oltre.avvisi.first().contains("B.8"));
    EXPECT_EQ(oltre.importo("B.8"), 412206);  // a warning: nothing refused
}

TEST(AritmeticaDellaLegge, LaRegolaScrittaTornaUguale) {
    // Every rule of the template, written and typed back, is the same rule.
    const Quadro modello = modello2023();
    for (const VoceInOrdine& o : vociInOrdine(modello)) {
        if (o.voce->tipo != Tipo::Percentuale && o.voce->tipo != Tipo::Tabella) continue;
        Quadro q = modello;
        Voce* v = voceA(q, o.percorso);
        const QString regola = testoRegola(*v);
        *v = importo(v->codice, 0);  // forgets the rule, keeps the item's place
        v->etichetta = o.voce->etichetta;
        v->nota = o.voce->nota;
        v->altri = o.voce->altri;
        ASSERT_FALSE(impostaRegola(q, o.percorso, regola, 0)) << regola.toStdString();
        EXPECT_EQ(*voceA(q, o.percorso), *o.voce) << regola.toStdString();
    }
    // Labour above the item's amount, or on a rule, is refused and changes
    // nothing.
    Quadro q = strade();
    const Quadro prima = q;
    EXPECT_TRUE(impostaManodoperaVoce(q, *percorsoDi(q, "A.1"), 20000001));
    EXPECT_TRUE(impostaManodoperaVoce(q, *percorsoDi(q, "B.8"), 1));
    EXPECT_TRUE(impostaBaseDiGara(q, *percorsoDi(q, "A.1"), true));
    EXPECT_EQ(q, prima);
}
