#pragma once

// Frameworks with phases shared by the tests: small builders and the school
// renovation carried from its executive project through the award and a
// variant.

#include "quadro/fasi.h"

namespace varimo::quadro::esempi {

inline Voce importo(const QString& codice, const QString& etichetta, Centesimi c) {
    Voce v;
    v.codice = codice;
    v.etichetta = etichetta;
    v.importo = c;
    return v;
}

inline Voce percentuale(const QString& codice, const QString& etichetta, Millesimi m,
                        QStringList di) {
    Voce v;
    v.codice = codice;
    v.etichetta = etichetta;
    v.tipo = Tipo::Percentuale;
    v.percentuale = m;
    v.di = std::move(di);
    return v;
}

inline Voce sezione(const QString& codice, const QString& etichetta, QList<Voce> voci) {
    Voce v;
    v.codice = codice;
    v.etichetta = etichetta;
    v.tipo = Tipo::Sezione;
    v.voci = std::move(voci);
    return v;
}

// The school renovation: works 812.345,67 and safety 24.370,37; fees 9 % of
// the works, contribution 4 % of the fees, VAT 22 % of fees and contribution,
// VAT 10 % of the works section, incentive 2 % of it; contingencies absorb a
// funding of 1.250.000,00.
inline FileFasi scuola() {
    FileFasi f;
    f.intestazione.ente = "Comune di Castelvecchio";
    f.intestazione.titolo = "Ristrutturazione della scuola elementare";
    f.intestazione.cup = "J31B23000120004";
    Fase e;
    e.nome = "Progetto esecutivo";
    e.tipo = TipoFase::Esecutivo;
    e.data = "2026-03-02";
    Voce sicurezza = importo("A.2", "Costi della sicurezza", 2437037);
    sicurezza.ribassabile = false;
    Voce lavori = importo("A.1", "Lavori a misura", 81234567);
    impostaManodopera(lavori, 0);
    e.quadro.voci = {
        sezione("A", "Lavori", {lavori, sicurezza}),
        sezione(
            "B", "Somme a disposizione dell'amministrazione",
            {importo("B.1", "Imprevisti", 0), percentuale("B.2", "Spese tecniche", 9000, {"A.1"}),
             percentuale("B.3", "Contributo previdenziale", 4000, {"B.2"}),
             percentuale("B.4", "IVA sulle spese tecniche", 22000, {"B.2", "B.3"}),
             percentuale("B.5", "IVA sui lavori", 10000, {"A"}),
             percentuale("B.6", "Incentivo per le funzioni tecniche", 2000, {"A"})})};
    e.quadro.vincolo.totale = 125000000;
    e.quadro.vincolo.compensa = "B.1";
    f.fasi = {e};
    return f;
}

// The school through an award at 18,735 % and a variant (act no. 45, limit
// 20 %) that adds 15.000,00 of works drawn from the contingencies; the first
// two phases locked.
inline FileFasi scuolaTreFasi() {
    FileFasi f = scuola();
    const int g =
        std::get<int>(nuovaFase(f, 0, TipoFase::Aggiudicazione, "Aggiudicazione", "2026-07-01"));
    f.fasi[g].ribasso = 18735;
    const int v = std::get<int>(nuovaFase(f, g, TipoFase::Variante, "Variante n. 1", "2027-03-15"));
    f.fasi[v].atto = Atto{"45", "2027-03-10", {}};
    f.fasi[v].limite = LimiteVariante{20000, "art. 120, comma 9, del D.Lgs. 36/2023", {}};
    trovaVoce(f.fasi[v].quadro, "A.1")->importo += 1500000;
    bloccaFase(f, 0, true);
    bloccaFase(f, g, true);
    return f;
}

// The school's phases with the keys of ANAC's data, as a designer sets them:
// the works, the safety costs and, for everything under B, the section's
// key; the variant grants 30 days of extension.
inline FileFasi scuolaPerAnac() {
    FileFasi f = scuolaTreFasi();
    for (Fase& fase : f.fasi) {
        trovaVoce(fase.quadro, "A.1")->altri.insert("anac", "impLavori");
        trovaVoce(fase.quadro, "A.2")->altri.insert("anac", "impTotaleSicurezza");
        trovaVoce(fase.quadro, "B")->altri.insert("anac", "sommeADisposizione");
        if (fase.tipo == TipoFase::Variante) fase.giorniProroga = 30;
    }
    return f;
}

}  // namespace varimo::quadro::esempi
