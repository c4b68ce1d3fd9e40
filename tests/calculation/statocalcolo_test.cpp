#include "calculation/statocalcolo.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/numeri.h"
#include "common/testiprogramma.h"
#include "support/interazione_finta.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

using namespace varimo;

namespace {

// Row numbers by letter.
constexpr int A = 1, B = 2, C = 3, D = 4, E = 5, G = 7, H = 8, M = 11, S = 17, T = 18;

class Calcolo : public ::testing::Test {
  protected:
    void SetUp() override { s.preparaFinestra(); }

    // Makes row `riga` p % of row `rif`, as the user does: reference first,
    // then the scroll bar.
    void percentuale(int riga, int rif, int p) {
        s.scegliRiferimento(riga, rif - 1);
        s.scriviScorrimento(riga, p);
    }
    double cent(int i) { return letturaCentesimi(s.costo(i)).value_or(0); }

    test::InterazioneFinta finta;
    StatoCalcolo s;
};

// ------------------------------------------------------------- start state

TEST_F(Calcolo, FinestraAllAvvio) {
    EXPECT_EQ(letteraVoce(1), QLatin1Char('A'));
    EXPECT_EQ(letteraVoce(9), QLatin1Char('I'));
    EXPECT_EQ(letteraVoce(10), QLatin1Char('L'));
    EXPECT_EQ(letteraVoce(18), QLatin1Char('T'));
    QString lettere;
    for (int i = 1; i <= kVoci; ++i) lettere += letteraVoce(i);
    EXPECT_EQ(lettere, "ABCDEFGHILMNOPQRST");

    QStringList etichette;
    for (int i = 1; i <= kVoci; ++i) etichette << s.tipo(i);
    EXPECT_EQ(etichette.first(), "Lavori a misura");
    EXPECT_EQ(etichette[11], "Spese per attività di consulenza e supporto");
    EXPECT_EQ(etichette.last(), "Totale somme a disposizione");
    for (int i = 1; i <= kVoci; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s.riferimento(i).voci, etichette);
        EXPECT_EQ(s.riferimento(i).posizione, -1);
        EXPECT_EQ(s.riferimento(i).testo, "");
        EXPECT_EQ(s.costo(i), "");
        EXPECT_EQ(s.percentuale(i), "0");
        EXPECT_EQ(s.pagina(i), 5);
        EXPECT_EQ(StatoCalcolo::percentualeVisibile(i), i != 1 && i != 4 && i != 18);
        EXPECT_EQ(StatoCalcolo::tipoSoloLettura(i), i == 4 || i == 18);
        EXPECT_EQ(s.suggerimentoRiferimento(i),
                  "clicca per scegliere la voce sulla quale calcolare la percentuale di costo");
        EXPECT_FALSE(s.suggerimentoTipo(i).isEmpty());
    }
    EXPECT_EQ(s.suggerimentoTipo(1), "modifica eventualmente le singole voci del progetto");
    EXPECT_EQ(s.suggerimentoTipo(4),
              "questa voce riporta la somma delle voci A, B, C e non è modificabile");
    EXPECT_EQ(s.suggerimentoTipo(18),
              "questa voce riporta la somma dei costi delle voci da E a S e non è modificabile");
    EXPECT_EQ(s.suggerimentoCosto(1),
              "costo sul quale può iniziare il calcolo con valore del progetto vincolato");
    EXPECT_EQ(s.suggerimentoCosto(18), "somma delle voci da E a S");
    EXPECT_EQ(s.suggerimentoCancellaRiga(1), "clicca per cancellare i valori di questa riga n. 1");
    EXPECT_EQ(s.suggerimentoCancellaRiga(17),
              "clicca per cancellare i valori di questa riga n. 17");
    EXPECT_EQ(s.suggerimentoCancellaRiga(18), "");
    int delrighe = 0;
    for (int i = 1; i <= kVoci; ++i)
        delrighe += StatoCalcolo::pulsanteCancellaRigaVisibile(i) ? 1 : 0;
    EXPECT_EQ(delrighe, 16);
    EXPECT_TRUE(StatoCalcolo::pulsanteCancellaRigaPresente(4));
    EXPECT_FALSE(StatoCalcolo::pulsanteCancellaRigaVisibile(4));
    EXPECT_EQ(s.percentuale(0), "% della ------------>");
    EXPECT_EQ(s.percentuale(19), "Titologia di voce del quadro");
    EXPECT_EQ(s.suggerimentoUscita(), "clicca per uscire da Varimo");
    EXPECT_EQ(TestiProgramma::titoloaiuto, "Varimo: aiuto in linea");
    EXPECT_FALSE(s.senzaVincoloVisibile());
    EXPECT_EQ(s.progetto(), "");
    EXPECT_EQ(s.statovincolo, StatoVincolo::Nessuno);
    EXPECT_TRUE(finta.messaggi.isEmpty());
}

// ------------------------------------------------------------- sums and percentages

TEST_F(Calcolo, SommeETotale) {
    s.scriviCosto(A, "1000");
    EXPECT_EQ(s.costo(D), "1000");
    EXPECT_EQ(s.costo(T), "0");
    EXPECT_EQ(s.progetto(), "1000");
    s.scriviCosto(B, "250,5");
    s.scriviCosto(C, "0,25");
    s.scriviCosto(E, "1.000");  // grouping point
    s.scriviCosto(G, "33,33");
    EXPECT_EQ(s.costo(D), "1250,75");
    EXPECT_EQ(s.costo(T), "1033,33");
    EXPECT_EQ(s.progetto(), "2284,08");
    EXPECT_DOUBLE_EQ(s.centesimi[E], 100000);
}

TEST_F(Calcolo, PercentualiDiVociDiverse) {
    s.scriviCosto(A, "1000");
    percentuale(S, A, 10);  // higher-index row referring to a lower one
    EXPECT_EQ(s.costo(S), "100");
    EXPECT_EQ(s.costo(T), "100");
    EXPECT_EQ(s.progetto(), "1100");
    EXPECT_EQ(s.percentuale(S), "10");
    EXPECT_EQ(s.vocerif[S].toInt(), A);

    percentuale(B, E, 50);  // lower row referring to a higher one
    s.scriviCosto(E, "200");
    EXPECT_EQ(s.costo(B), "100");
    EXPECT_EQ(s.costo(D), "1100");

    percentuale(M, D, 10);  // of D: follows every change of A or B
    EXPECT_EQ(s.costo(M), "110");
    s.scriviCosto(A, "2000");
    EXPECT_EQ(s.costo(M), "210");
    EXPECT_EQ(s.costo(S), "200");
    EXPECT_EQ(s.costo(T), "610");
    EXPECT_EQ(s.progetto(), "2710");

    s.scriviScorrimento(S, 22);
    EXPECT_EQ(s.percentuale(S), "22");
    EXPECT_EQ(s.costo(S), "440");
    EXPECT_EQ(s.costo(A), "2000");  // no constraint: row A never moves
}

TEST_F(Calcolo, PercentualeDiTConCiclo) {
    s.scriviCosto(E, "1000");
    percentuale(G, T, 10);  // G is part of T itself
    // Ends when rounding leaves G unchanged: G = 10 % of T and T = E + G.
    const double g = cent(G);
    EXPECT_DOUBLE_EQ(g, std::floor(0.1 * cent(T) + 0.5));
    EXPECT_DOUBLE_EQ(cent(T), 100000 + g);
    EXPECT_GT(g, 11100);
    EXPECT_EQ(s.interruzioni(), 0);
}

TEST_F(Calcolo, ArrotondamentoEdAutoriferimento) {
    s.scriviCosto(B, "0,01");
    percentuale(C, B, 50);
    EXPECT_EQ(s.costo(C), "0,01");  // half a cent rounds up

    const struct {
        int p;
        const char* fine;
    } casi[] = {{50, "0,01"}, {10, "0"}, {100, "100"}};
    for (const auto& c : casi) {
        SCOPED_TRACE(c.p);
        s.cancellaTutto();
        s.scriviCosto(E, "100");
        s.scriviScorrimento(E, c.p);
        s.scegliRiferimento(E, E - 1);  // the row refers to itself
        EXPECT_EQ(s.costo(E), c.fine);
        EXPECT_EQ(s.costo(T), c.fine);
    }
}

TEST_F(Calcolo, RiferimentiVuotiPiccoliOIlleggibili) {
    percentuale(S, B, 100);
    const struct {
        const char* rif;
        const char* atteso;
    } casi[] = {{"", "0"}, {"0", "0"}, {"abc", "0"}, {"0,79", "0,79"}, {"12", "12"}};
    for (const auto& c : casi) {
        SCOPED_TRACE(c.rif);
        s.scriviCosto(B, c.rif);
        s.ricalcola();
        EXPECT_EQ(s.costo(S), c.atteso);
    }
    // "12x" reads as 12 from the start but not strictly: the pass stops at S.
    s.scriviCosto(B, "12x");
    EXPECT_EQ(s.costo(S), "12");
}

TEST_F(Calcolo, ImportoIlleggibileFermaLeSomme) {
    // A misplaced thousands point counts as unreadable: "1234.56" is not
    // taken for 123456, not even by a constrained descent.
    for (const QString& illeggibile : {QStringLiteral("12x"), QStringLiteral("1234.56")}) {
        SCOPED_TRACE(illeggibile.toStdString());
        s.cancellaTutto();
        s.scriviCosto(A, "1000");
        s.scriviCosto(B, illeggibile);
        s.scriviCosto(C, "5");
        s.scriviCosto(E, "7");
        EXPECT_EQ(s.costo(D), "1000");
        EXPECT_EQ(s.costo(T), "0");
        EXPECT_EQ(s.progetto(), "1000");
        s.scriviCostoprogetto("5000");
        s.scriviCosto(E, "8");
        EXPECT_EQ(s.progetto(), "1000");
        s.scriviCostoprogetto("");
        s.scriviCosto(A, "1000");
        s.scriviCosto(B, "12");
        EXPECT_EQ(s.costo(D), "1017");
        EXPECT_EQ(s.costo(T), "8");
        EXPECT_EQ(s.progetto(), "1025");
    }
}

TEST_F(Calcolo, VoceSvuotataContaZero) {
    s.scriviCosto(A, "1000");
    s.scriviCosto(B, "500");
    s.scriviCosto(B, "");
    EXPECT_EQ(s.costo(D), "1000");
    EXPECT_EQ(s.progetto(), "1000");
    // Emptying the constrained total empties row A, which then counts as 0.
    s.scriviCosto(E, "7");
    s.scriviCostoprogetto("2000");
    ASSERT_EQ(letturaTollerante(s.progetto()), 2000);
    s.scriviCostoprogetto("");
    EXPECT_EQ(s.costo(A), "");
    EXPECT_EQ(s.costo(D), "0");
    EXPECT_EQ(s.progetto(), "7");
}

TEST_F(Calcolo, DigitareInUnaVocePercentualeNonDura) {
    s.scriviCosto(A, "1000");
    percentuale(S, A, 10);
    s.scriviCosto(S, "5");
    EXPECT_EQ(s.costo(S), "100");
}

TEST_F(Calcolo, EventiDellaListaDiRiferimento) {
    s.scriviCosto(A, "1000");
    s.scegliRiferimento(S, A - 1);
    EXPECT_EQ(s.riferimento(S).testo, "Lavori a misura");
    EXPECT_EQ(s.riferimento(S).posizione, 0);
    s.scriviScorrimento(S, 10);
    ASSERT_EQ(s.costo(S), "100");
    // Writing the same label as text leaves no entry selected: a typed row.
    s.scriviTestoRiferimento(S, "Lavori a misura ");
    EXPECT_EQ(s.riferimento(S).posizione, -1);
    EXPECT_EQ(s.vocerif[S].toInt(), 0);
    s.scriviCosto(A, "2000");
    EXPECT_EQ(s.costo(S), "100");  // keeps its last amount
    // While a file is being loaded the reference number is left alone.
    s.caricamento = true;
    s.scegliRiferimento(S, D - 1);
    EXPECT_EQ(s.vocerif[S].toInt(), 0);
    EXPECT_EQ(s.costo(S), "200");  // the pass still runs
}

// ------------------------------------------------------------- constrained total

TEST_F(Calcolo, DiscesaVincolataPassoPerPasso) {
    percentuale(M, D, 10);
    QStringList valoriA;
    s.riga(A).costo.allaVista([&] { valoriA << s.costo(A); });
    s.scriviCostoprogetto("1100");
    // The halving steps reach the whole units of the constrained total; the
    // search in cents then ends on the total that meets it exactly.
    ASSERT_GT(valoriA.size(), 9);
    EXPECT_EQ(valoriA.mid(0, 9), QStringList({"1100", "1045", "1020,5", "1009,5", "1004,5",
                                              "1002,5", "1001,5", "1001", "1000,5"}));
    EXPECT_EQ(valoriA.last(), "1000");
    EXPECT_EQ(s.costo(M), "100");
    EXPECT_EQ(s.progetto(), "1100");
    EXPECT_EQ(s.costoprogetto(), "1100");
    EXPECT_EQ(s.statovincolo, StatoVincolo::Nessuno);
    EXPECT_TRUE(finta.messaggi.isEmpty());
}

TEST_F(Calcolo, RipartenzaDalBasso) {
    percentuale(M, D, 10);
    s.scriviCostoprogetto("1100");
    ASSERT_EQ(s.costo(A), "1000");
    QStringList valoriA;
    s.riga(A).costo.allaVista([&] { valoriA << s.costo(A); });
    s.scriviScorrimento(M, 5);  // the total falls below 1100: restart from A = 1100
    ASSERT_GE(valoriA.size(), 3);
    EXPECT_EQ(valoriA[0], "");
    EXPECT_EQ(valoriA[1], "1100");
    EXPECT_EQ(valoriA.last(), "1047,62");  // 1047,61 gives 1099,99
    EXPECT_EQ(s.costo(M), "52,38");
    EXPECT_EQ(s.progetto(), "1100");
    EXPECT_EQ(s.costoprogetto(), "1100");
    EXPECT_EQ(s.statovincolo, StatoVincolo::Nessuno);
}

TEST_F(Calcolo, VincoloConPuntoDiGruppo) {
    // The three spellings of four hundred thousand drive row A alike.
    QStringList risultati;
    for (const char* vincolo : {"400.000", "400000", "400000,00"}) {
        SCOPED_TRACE(vincolo);
        StatoCalcolo t;
        t.preparaFinestra();
        t.scriviCosto(E, "10");
        t.scegliRiferimento(S, D - 1);
        t.scriviScorrimento(S, 10);
        t.scriviCostoprogetto(vincolo);
        const double totale = *letturaRigorosa(t.progetto());
        EXPECT_GE(totale, 400000);
        EXPECT_LT(totale, 400001);
        EXPECT_GT(*letturaRigorosa(t.costo(A)), 363000);
        EXPECT_EQ(t.statovincolo, StatoVincolo::Nessuno);
        risultati << t.costo(A) + "|" + t.costo(S) + "|" + t.progetto();
    }
    EXPECT_EQ(risultati[0], risultati[1]);
    EXPECT_EQ(risultati[0], risultati[2]);
}

TEST_F(Calcolo, VincoloUgualeAdANonEseguePassi) {
    s.scriviCosto(A, "1000");
    s.azzeraContatori();
    s.scriviCostoprogetto("1000");
    EXPECT_EQ(s.passiAnnidati(), 0);
    EXPECT_EQ(s.statovincolo, StatoVincolo::InAttesa);
}

TEST_F(Calcolo, SenzaImportoVincolato) {
    percentuale(M, D, 10);
    s.scriviCostoprogetto("1100");
    s.impostaSenzaVincoloVisibile(true);
    s.spegniVincolo();
    EXPECT_EQ(s.statovincolo, StatoVincolo::Spento);
    EXPECT_EQ(s.costoprogetto(), "");
    EXPECT_FALSE(s.senzaVincoloVisibile());
    EXPECT_EQ(s.costo(A), "1000");
    s.scriviCostoprogetto("2000");
    EXPECT_EQ(s.costo(A), "1000");  // state 2: nothing moves
    EXPECT_EQ(s.statovincolo, StatoVincolo::Spento);
    s.scriviCosto(B, "10");  // next edit of an amount steps row A towards 2000
    EXPECT_EQ(letturaTollerante(s.progetto()), 2000);
    EXPECT_EQ(s.statovincolo, StatoVincolo::Nessuno);
    // Emptying the constrained box (state not 2) also empties row A.
    s.scriviCostoprogetto("");
    EXPECT_EQ(s.costo(A), "");
}

TEST_F(Calcolo, ScorrimentoSenzaVincoloNonToccaA) {
    s.scriviCosto(A, "1000");
    percentuale(S, A, 10);
    s.scriviScorrimento(S, 30);
    EXPECT_EQ(s.costo(A), "1000");
    EXPECT_EQ(s.costo(S), "300");
}

TEST_F(Calcolo, PassaggioAlQuadro) {
    s.scriviCosto(A, "1000");
    percentuale(M, D, 10);
    ASSERT_EQ(s.progetto(), "1100");
    // What the hand-off writes: the rows already make that total, so no pass
    // runs and no amount moves; the constraint is armed for the next edit.
    s.azzeraContatori();
    s.scriviCostoprogetto(s.progetto());
    EXPECT_EQ(s.passiAnnidati(), 0);
    EXPECT_EQ(s.costo(A), "1000");
    EXPECT_EQ(s.costo(M), "100");
    EXPECT_EQ(s.progetto(), "1100");
    EXPECT_EQ(s.costoprogetto(), "1100");
    EXPECT_EQ(s.statovincolo, StatoVincolo::InAttesa);
    // The next edit keeps the total at the constrained 1100, to the cent.
    s.scriviCosto(B, "10");
    EXPECT_EQ(s.progetto(), "1100");
    EXPECT_EQ(s.costo(A), "990");
    // With the constraint switched off, the hand-off changes no amount either.
    s.spegniVincolo();
    s.scriviCostoprogetto(s.progetto());
    EXPECT_EQ(s.costoprogetto(), "1100");
    EXPECT_EQ(s.costo(A), "990");
}

// ------------------------------------------------------------- bounds

TEST_F(Calcolo, CicloSopraIlCentoSiFerma) {
    s.scriviCosto(A, "1000");
    percentuale(B, D, 100);  // B = D = A + B: grows for ever
    EXPECT_EQ(s.interruzioni(), 1);
    EXPECT_LE(s.profonditaMassima(), kProfonditaMassima);
    ASSERT_EQ(finta.messaggi.size(), 1);
    EXPECT_EQ(finta.messaggi[0].titolo, TestiProgramma::titoloaiuto);
    EXPECT_EQ(finta.messaggi[0].icona, Icona::Esclamazione);
    EXPECT_DOUBLE_EQ(cent(D), cent(A) + cent(B) + cent(C));
    EXPECT_DOUBLE_EQ(cent(D) + cent(T), letturaCentesimi(s.progetto()).value());
    EXPECT_EQ(s.profondita(), 0);
}

TEST_F(Calcolo, VincoloConPesoTreRaggiunto) {
    percentuale(M, D, 100);
    percentuale(S, D, 100);  // total = 3 x A: the halving steps cannot converge
    s.scriviCostoprogetto("1000");
    // The search in cents finds the smallest total from 1000 on: 3 x 333,34.
    EXPECT_EQ(s.costo(A), "333,34");
    EXPECT_EQ(s.progetto(), "1000,02");
    EXPECT_EQ(s.interruzioni(), 0);
    EXPECT_TRUE(finta.messaggi.isEmpty());
    EXPECT_EQ(s.costoprogetto(), "1000");
    EXPECT_EQ(s.statovincolo, StatoVincolo::Nessuno);
    EXPECT_LE(s.profonditaMassima(), kProfonditaMassima);
    // The window is usable afterwards.
    s.spegniVincolo();
    s.scriviScorrimento(S, 10);
    EXPECT_TRUE(finta.messaggi.isEmpty());
    EXPECT_EQ(s.costo(A), "333,34");
}

// ------------------------------------------------------------- row delete and labels

TEST_F(Calcolo, CancellaRigaPercentuale) {
    s.scriviCosto(A, "1000");
    percentuale(S, A, 10);
    s.costorif[S] = QStringLiteral("1000");
    s.cancellaRiga(S);
    EXPECT_EQ(s.costo(S), "");
    EXPECT_EQ(s.percentuale(S), "0");
    EXPECT_EQ(s.scorrimento(S), 0);
    EXPECT_EQ(s.riferimento(S).testo, "");
    EXPECT_EQ(s.riferimento(S).posizione, -1);
    EXPECT_EQ(s.vocerif[S].toInt(), 0);
    EXPECT_EQ(s.costorif[S].toInt(), 0);
    EXPECT_EQ(s.costo(T), "0");
    EXPECT_EQ(s.progetto(), "1000");
    EXPECT_EQ(s.tipo(S), "IVA sui lavori");
}

TEST_F(Calcolo, EtichetteLungheEListe) {
    s.scriviCosto(A, "1000");
    percentuale(S, A, 10);
    const QString lunga(51, QLatin1Char('x'));
    s.scriviTipo(B, lunga);
    EXPECT_EQ(finta.messaggi.size(), 1);
    EXPECT_EQ(finta.messaggi[0].testo,
              "Attenzione: per una stampa corretta non superare i 50 caratteri.");
    EXPECT_EQ(finta.messaggi[0].titolo, "Varimo: aiuto in linea");
    EXPECT_EQ(finta.messaggi[0].icona, Icona::Informazione);
    // Once for each label that goes past 50 characters, not at every change.
    s.scriviTipo(C, lunga + "y");
    EXPECT_EQ(finta.messaggi.size(), 2);
    s.scriviTipo(B, lunga + "z");
    s.scriviTipo(E, "Rilievi");
    EXPECT_EQ(finta.messaggi.size(), 2);
    s.scriviTipo(B, QString(50, QLatin1Char('b')));
    EXPECT_EQ(finta.messaggi.size(), 2);

    for (int i = 1; i <= kVoci; ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(s.riferimento(i).voci.size(), kVoci);
        EXPECT_EQ(s.riferimento(i).voci[1], QString(50, QLatin1Char('b')));
        EXPECT_EQ(s.riferimento(i).voci[4], "Rilievi");
        EXPECT_EQ(s.riferimento(i).posizione, i == S ? A - 1 : -1);
    }
    // S keeps its reference through every label edit and follows it still;
    // a new label of the reference row shows in its box.
    EXPECT_EQ(s.vocerif[S].toInt(), A);
    s.scriviCosto(A, "3000");
    EXPECT_EQ(s.costo(S), "300");
    s.scriviTipo(A, "Lavori a misura (lotto 1)");
    EXPECT_EQ(s.riferimento(S).testo, "Lavori a misura (lotto 1)");
    EXPECT_EQ(s.costo(S), "300");

    // While loading, labels do not rebuild the lists.
    s.caricamento = true;
    const auto avvisi = finta.messaggi.size();
    s.scriviTipo(B, lunga);
    EXPECT_EQ(finta.messaggi.size(), avvisi);
    EXPECT_EQ(s.riferimento(3).voci[1], QString(50, QLatin1Char('b')));
}

// ------------------------------------------------------------- check, clear, guidance

TEST_F(Calcolo, ControlloDatiInOrdine) {
    const QString t = "Varimo: controllo dati immessi nella finestra attiva";
    s.controllaDati();
    s.spegniVincolo();
    s.scriviCostoprogetto("5");
    s.controllaDati();
    s.scriviCosto(A, "1000");
    s.controllaDati();
    s.scriviScorrimento(S, 10);
    s.controllaDati();
    s.scegliRiferimento(S, A - 1);
    s.controllaDati();
    ASSERT_EQ(finta.messaggi.size(), 5);
    EXPECT_TRUE(
        finta.messaggi[0].testo.startsWith("Non è stato digitato alcun valore significativo"));
    EXPECT_TRUE(finta.messaggi[1].testo.startsWith("Non è stato digitato alcun valore per le"));
    EXPECT_TRUE(finta.messaggi[2].testo.startsWith("Non è stata utilizzata alcuna voce come"));
    EXPECT_TRUE(finta.messaggi[3].testo.startsWith("Non sono state evidenziate voci di"));
    EXPECT_EQ(finta.messaggi[4].testo, "I dati sono stati immessi correttamente.");
    for (int k = 0; k < 4; ++k) EXPECT_EQ(finta.messaggi[k].icona, Icona::Esclamazione);
    EXPECT_EQ(finta.messaggi[4].icona, Icona::Informazione);
    for (const auto& m : finta.messaggi) EXPECT_EQ(m.titolo, t);

    s.salvataggio = Salvataggio::InAttesa;
    s.controllaDati();
    EXPECT_EQ(finta.messaggi.size(), 5);
    EXPECT_EQ(s.salvataggio, Salvataggio::Nessuno);

    // A refused save leaves salvataggio InAttesa.
    s.cancellaTutto();
    s.salvataggio = Salvataggio::InAttesa;
    s.controllaDati();
    EXPECT_EQ(s.salvataggio, Salvataggio::InAttesa);
    ASSERT_EQ(finta.messaggi.size(), 6);
    EXPECT_TRUE(finta.messaggi[5].testo.startsWith("Non è stata utilizzata"));  // message 3
}

TEST_F(Calcolo, ControlloNominaImportiIlleggibiliONegativi) {
    // A complete framework that would pass, then one bad amount at a time:
    // the check names the row first, and a save stays refused.
    s.scriviCosto(A, "1000");
    percentuale(S, A, 10);
    for (const auto& [voce, testo] :
         {std::pair{E, QStringLiteral("mille")}, std::pair{G, QStringLiteral("12x")},
          std::pair{C, QStringLiteral("-5")}, std::pair{H, QStringLiteral("1234.56")}}) {
        finta.messaggi.clear();
        s.scriviCosto(voce, testo);
        s.salvataggio = Salvataggio::InAttesa;
        s.controllaDati();
        ASSERT_EQ(finta.messaggi.size(), 1) << testo.toStdString();
        EXPECT_TRUE(finta.messaggi[0].testo.contains(" voce " + QString(letteraVoce(voce)) + " "))
            << finta.messaggi[0].testo.toStdString();
        EXPECT_EQ(finta.messaggi[0].icona, Icona::Esclamazione);
        EXPECT_EQ(s.salvataggio, Salvataggio::InAttesa);
        s.scriviCosto(voce, "");
    }
    finta.messaggi.clear();
    s.controllaDati();
    EXPECT_EQ(s.salvataggio, Salvataggio::Nessuno);
    EXPECT_TRUE(finta.messaggi.isEmpty());
}

TEST_F(Calcolo, CancellaTutto) {
    s.scriviCosto(A, "1000");
    percentuale(S, A, 10);
    s.scriviTipo(B, "Altro");
    percentuale(S, A, 10);
    s.scriviCostoprogetto("2000");
    s.cancellaTutto();
    for (int i = 1; i <= kVoci; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s.percentuale(i), "0");
        EXPECT_EQ(s.riferimento(i).testo, "");
        EXPECT_EQ(s.centesimi[i], i == 4 || i == 18 ? s.centesimi[i] : 0);
        // The passes the clear runs write the sums again.
        EXPECT_EQ(s.costo(i), i == 4 || i == 18 ? "0" : "");
    }
    EXPECT_EQ(s.progetto(), "");
    EXPECT_EQ(s.costoprogetto(), "");
    EXPECT_EQ(s.tipo(B), "Altro");
    EXPECT_EQ(s.vocerif[S].toInt(), 0);
}

TEST_F(Calcolo, Guida) {
    s.mostraAiuto();
    ASSERT_EQ(finta.messaggi.size(), 1);
    const QStringList righe = finta.messaggi[0].testo.split(QLatin1Char('\r'));
    ASSERT_EQ(righe.size(), 7);
    EXPECT_EQ(righe[0], "- Immettere un valore per ogni voce che interessa;");
    EXPECT_EQ(righe[6], "- effettuare il controllo dei dati immessi cliccando sul tasto ABC.");
    EXPECT_FALSE(finta.messaggi[0].testo.contains(QLatin1Char('\n')));
    EXPECT_EQ(finta.messaggi[0].titolo, "Varimo: aiuto in linea");
    EXPECT_EQ(finta.messaggi[0].icona, Icona::Informazione);
}

}  // namespace
