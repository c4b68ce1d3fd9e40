#include "classico/statoeconomico.h"

#include <gtest/gtest.h>

#include "calculation/statocalcolo.h"
#include "common/numeri.h"
#include "common/testiprogramma.h"
#include "support/interazione_finta.h"

namespace varimo {
namespace {

class ProvaStatoEconomico : public ::testing::Test {
  protected:
    void SetUp() override {
        progetto.avvia();
        quadro.preparaFinestra();
        quadro.seguiProgetto(&progetto);
    }

    test::InterazioneFinta finta;
    Progetto progetto;
    StatoCalcolo& calcolo = progetto.calcolo();
    StatoEconomico quadro;
};

TEST_F(ProvaStatoEconomico, StatoIniziale) {
    const QString lettere = QStringLiteral("ABCDEFGHILMNOPQRST");
    for (int i = 1; i <= kVoci; ++i) {
        EXPECT_EQ(quadro.numero(i), QString(lettere[i - 1])) << i;
        EXPECT_EQ(quadro.testoPercentuale(i), QStringLiteral("0"));
        EXPECT_TRUE(quadro.visibile(i));
    }
    EXPECT_EQ(quadro.tipo(19), QStringLiteral("TOTALE PROGETTO (in euro)"));
    EXPECT_EQ(quadro.valuta(), QStringLiteral("euro"));
    EXPECT_EQ(quadro.valute(), QStringList({QStringLiteral("euro"), QStringLiteral("dollari"),
                                            QStringLiteral("yen"), QStringLiteral("sterline"),
                                            QStringLiteral("rubli"), QStringLiteral("corone")}));
    EXPECT_EQ(quadro.suggerimentoUscita(), QStringLiteral("clicca per uscire da Varimo"));
    EXPECT_EQ(quadro.numerovoci, 0);
}

TEST_F(ProvaStatoEconomico, IlRiempimentoDaUnCalcoloVuotoNascondeOgniRiga) {
    quadro.mostra(calcolo);
    EXPECT_EQ(quadro.numerovoci, 0);
    for (int i = 1; i <= kVoci; ++i) EXPECT_FALSE(quadro.visibile(i)) << i;
    EXPECT_TRUE(quadro.visibile(19));
    EXPECT_EQ(quadro.costo(19), QString());
    EXPECT_TRUE(finta.messaggi.isEmpty());
}

TEST_F(ProvaStatoEconomico, IlRiempimentoMostraSoloLeRigheConUnCostoRinumerate) {
    // Every typed row filled except B and E; C is "0" and must still show.
    for (int i : {1, 3, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}) {
        calcolo.scriviCosto(i, i == 3 ? QStringLiteral("0") : QString::number(i * 1000) + ",5");
    }
    quadro.mostra(calcolo);
    ASSERT_EQ(quadro.numerovoci, 16);
    int k = 0;
    for (int i = 1; i <= kVoci; ++i) {
        if (i == 2 || i == 5) continue;
        ++k;
        SCOPED_TRACE(i);
        EXPECT_TRUE(quadro.visibile(k));
        EXPECT_EQ(quadro.numero(k), QString::number(k));
        EXPECT_EQ(quadro.tipo(k), calcolo.tipo(i));
        EXPECT_EQ(quadro.costo(k), formatoImporto(calcolo.costo(i)));
    }
    EXPECT_EQ(quadro.costo(2), QStringLiteral("0,00"));  // row C
    EXPECT_EQ(quadro.costo(1), QStringLiteral("1.000,50"));
    EXPECT_FALSE(quadro.visibile(17));
    EXPECT_FALSE(quadro.visibile(18));
    // D = 1000,5 + 0 ; T = 6000,5 + ... + 17000,5 (12 rows)
    EXPECT_EQ(quadro.costo(19), QStringLiteral("139.006,50"));
}

TEST_F(ProvaStatoEconomico, IlRiempimentoPortaPercentualeERiferimento) {
    calcolo.scriviCosto(1, QStringLiteral("1000"));
    calcolo.scegliRiferimento(17, 0);
    calcolo.scriviScorrimento(17, 10);
    quadro.mostra(calcolo);
    ASSERT_EQ(quadro.numerovoci, 4);  // A, D, S, T
    EXPECT_EQ(quadro.tipo(3), QStringLiteral("IVA sui lavori"));
    EXPECT_EQ(quadro.costo(3), QStringLiteral("100,00"));
    EXPECT_EQ(quadro.testoPercentuale(3), QStringLiteral("10"));
    EXPECT_EQ(quadro.riferimento(3), QStringLiteral("Lavori a misura"));
    EXPECT_EQ(quadro.riferimento(1), QString());
    EXPECT_EQ(quadro.costo(19), QStringLiteral("1.100,00"));

    // A second fill with fewer rows hides the rest.
    calcolo.cancellaRiga(17);
    quadro.mostra(calcolo);
    EXPECT_EQ(quadro.numerovoci, 3);
    EXPECT_FALSE(quadro.visibile(4));
    EXPECT_EQ(quadro.costo(19), QStringLiteral("1.000,00"));
}

TEST_F(ProvaStatoEconomico, AvvisoSullaLunghezzaDellEtichetta) {
    const QString cinquanta(50, QLatin1Char('x'));
    for (int i : {1, 18, 19}) {
        finta.messaggi.clear();
        quadro.scriviTipo(i, cinquanta);
        EXPECT_TRUE(finta.messaggi.isEmpty()) << i;
        quadro.scriviTipo(i, cinquanta + "y");
        ASSERT_EQ(finta.messaggi.size(), 1) << i;
        EXPECT_EQ(
            finta.messaggi[0].testo,
            QStringLiteral("Attenzione: per una stampa corretta non superare i 50 caratteri."));
        EXPECT_EQ(finta.messaggi[0].titolo, QStringLiteral("Varimo: aiuto in linea"));
        EXPECT_EQ(finta.messaggi[0].icona, Icona::Informazione);
        quadro.scriviTipo(i, cinquanta + "yz");  // once per crossing: not again
        EXPECT_EQ(finta.messaggi.size(), 1);
        quadro.scriviTipo(i, cinquanta);  // back to 50: nothing
        EXPECT_EQ(finta.messaggi.size(), 1);
        quadro.scriviTipo(i, cinquanta + "w");  // past 50 again: once more
        EXPECT_EQ(finta.messaggi.size(), 2);
        quadro.scriviTipo(i, cinquanta);
    }
}

TEST_F(ProvaStatoEconomico, IlNomeDelProgettoSegueOgniModifica) {
    quadro.scriviNomeProgetto(QStringLiteral("S"));
    EXPECT_EQ(progetto.nome(), QStringLiteral("S"));
    quadro.scriviNomeProgetto(QStringLiteral("Scuola"));
    EXPECT_EQ(progetto.nome(), QStringLiteral("Scuola"));
}

TEST_F(ProvaStatoEconomico, DidascaliaDellaValutaDuranteLaDigitazione) {
    for (const char* t : {"f", "fr", "franchi"}) {
        quadro.scriviValuta(QString::fromLatin1(t));
        EXPECT_EQ(quadro.tipo(19), "TOTALE PROGETTO (in " + QString::fromLatin1(t) + ")");
        EXPECT_EQ(progetto.valuta(), QString::fromLatin1(t));
    }
    quadro.scegliValuta(2);
    EXPECT_EQ(quadro.valuta(), QStringLiteral("yen"));
    EXPECT_EQ(quadro.tipo(19), QStringLiteral("TOTALE PROGETTO (in yen)"));
    // Choosing the entry already shown still runs the handler.
    progetto.impostaValuta(QStringLiteral("altro"));
    quadro.scegliValuta(2);
    EXPECT_EQ(progetto.valuta(), QStringLiteral("yen"));
    quadro.scegliValuta(6);  // outside the list: nothing
    EXPECT_EQ(quadro.valuta(), QStringLiteral("yen"));
}

TEST_F(ProvaStatoEconomico, IlControlloGuardaSoloIlNomeDelProgetto) {
    quadro.controllaDati();
    quadro.scriviNomeProgetto(QStringLiteral("Ponte"));
    quadro.controllaDati();
    ASSERT_EQ(finta.messaggi.size(), 2);
    EXPECT_EQ(finta.messaggi[0].testo,
              QStringLiteral("Digitare il nome del progetto in caso di stampa."));
    EXPECT_EQ(finta.messaggi[1].testo,
              QStringLiteral("La finestra non effettua calcoli o elaborazioni: le eventuali "
                             "modifiche apportate alle voci o agli importi non sono controllate "
                             "automaticamente, ma possono servire solo per sistemare delle "
                             "imperfezioni."));
    for (const auto& m : finta.messaggi) {
        EXPECT_EQ(m.titolo, QStringLiteral("Varimo: controllo dati immessi nella finestra attiva"));
        EXPECT_EQ(m.icona, Icona::Informazione);
        EXPECT_EQ(m.pulsanti, Pulsanti::Ok);
    }
}

TEST_F(ProvaStatoEconomico, CancellaTuttoConservaCasellaDelNomeEVisibilita) {
    calcolo.scriviCosto(1, QStringLiteral("1000"));
    quadro.mostra(calcolo);
    quadro.scriviNomeProgetto(QStringLiteral("Ponte"));
    quadro.scriviValuta(QStringLiteral("dollari"));
    quadro.cancellaTutto();
    for (int i = 1; i <= kVoci; ++i) {
        EXPECT_EQ(quadro.tipo(i), QString());
        EXPECT_EQ(quadro.costo(i), QString());
        EXPECT_EQ(quadro.testoPercentuale(i), QStringLiteral("0"));
        EXPECT_EQ(quadro.riferimento(i), QString());
    }
    EXPECT_TRUE(quadro.visibile(1));
    EXPECT_FALSE(quadro.visibile(4));
    EXPECT_EQ(quadro.numerovoci, 3);
    EXPECT_EQ(quadro.nomeProgetto(), QStringLiteral("Ponte"));
    EXPECT_EQ(progetto.nome(), QString());
    EXPECT_EQ(quadro.costo(19), QString());
    EXPECT_EQ(quadro.valuta(), QStringLiteral("euro"));
    EXPECT_EQ(quadro.tipo(19), QStringLiteral("TOTALE PROGETTO (in euro)"));
    EXPECT_EQ(progetto.valuta(), QStringLiteral("euro"));
    quadro.controllaDati();
    EXPECT_EQ(finta.testi().last(),
              QStringLiteral("Digitare il nome del progetto in caso di stampa."));
}

TEST_F(ProvaStatoEconomico, Aiuto) {
    quadro.mostraAiuto();
    ASSERT_EQ(finta.messaggi.size(), 1);
    EXPECT_EQ(finta.messaggi[0].testo,
              QStringLiteral("- Archiviare i risultati se ritenuti adeguati;\r"
                             "- apportare modifiche alle voci o agli importi per eventuali "
                             "imperfezioni nei decimali;\r"
                             "- indicare il nome del progetto e la valuta per passare alla "
                             "stampa;\r"
                             "- rielaborare il quadro cliccando sull'apposito tasto."));
    EXPECT_EQ(finta.messaggi[0].titolo, QStringLiteral("Varimo: aiuto in linea"));
}

}  // namespace
}  // namespace varimo
