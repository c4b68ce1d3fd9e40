#include <gtest/gtest.h>

#include "calculation/comandifile.h"
#include "calculation/progetto.h"
#include "common/testiprogramma.h"
#include "datafile/filedati.h"
#include "datafile/formato.h"
#include "datafile/preparazione.h"
#include "support/interazione_finta.h"

namespace varimo {
namespace {

class Applicazione : public ::testing::Test {
  protected:
    Applicazione() { progetto.avvia(); }

    // Save then open into a fresh window.
    void ricarica(Progetto& nuovo) {
        const EsitoScrittura e = scriviProgettoFile(progetto.comeFile());
        ASSERT_TRUE(e.riuscito());
        auto letto = leggiProgettoFile(e.contenuto);
        ASSERT_TRUE(std::holds_alternative<ProgettoFile>(letto));
        nuovo.avvia();
        nuovo.apri({}, std::get<ProgettoFile>(letto));
    }

    QByteArray rigaSalvata(int i) {
        const EsitoScrittura e = scriviProgettoFile(progetto.comeFile());
        return e.contenuto.split('\n').value(i);  // line i + 1 holds row i
    }

    test::InterazioneFinta finta;
    Progetto progetto;
    StatoCalcolo& stato = progetto.calcolo();
};

TEST_F(Applicazione, IFileDiProvaSiApronoConGliImportiRicalcolati) {
    struct Caso {
        const char* file;
        QString nome;
        std::vector<std::pair<int, QString>> costi;
        QString progetto;
        std::vector<std::pair<int, int>> riferimenti;  // row, selected position
    };
    const Caso casi[] = {
        {"Varimo-dati-scuola",
         QStringLiteral("Scuola media Città"),
         {{1, "1000"}, {2, "500"}, {4, "1500"}, {11, "150"}, {17, "150"}, {18, "300"}},
         QStringLiteral("1800"),
         {{11, 3}, {17, 3}, {1, -1}, {2, -1}}},
        {"Varimo-dati-ponte",
         QStringLiteral("Ponte sul Po"),
         {{1, "1000"}, {2, "200"}, {3, ""}, {4, "1200"}, {5, "2000"}, {18, "2000"}},
         QStringLiteral("3200"),
         {{2, 17}, {3, -1}}},
    };
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.file);
        auto letto = leggiFileProgetto(test::fileDiProva(c.file));
        ASSERT_TRUE(std::holds_alternative<ProgettoFile>(letto))
            << std::get<QString>(letto).toStdString();
        Progetto p;
        p.avvia();
        StatoCalcolo& s = p.calcolo();
        QString nome, valuta;
        QObject::connect(&p, &Progetto::nomeValutaCambiati,
                         [&](const QString& n, const QString& v) {
                             nome = n;
                             valuta = v;
                         });
        p.apri({}, std::get<ProgettoFile>(letto));
        EXPECT_EQ(nome, c.nome);
        EXPECT_EQ(valuta, QStringLiteral("euro"));
        for (const auto& [i, costo] : c.costi) EXPECT_EQ(s.costo(i), costo) << "row " << i;
        EXPECT_EQ(s.progetto(), c.progetto);
        for (const auto& [i, pos] : c.riferimenti)
            EXPECT_EQ(s.riferimento(i).posizione, pos) << "row " << i;
        EXPECT_FALSE(s.caricamento);
        for (int i = 1; i <= kVoci; ++i) EXPECT_EQ(s.riferimento(i).voci.size(), kVoci);
    }
}

TEST_F(Applicazione, EtichetteAccentateEByteDeiFileDiProva) {
    auto letto = leggiFileProgetto(test::fileDiProva("Varimo-dati-scuola"));
    ASSERT_TRUE(std::holds_alternative<ProgettoFile>(letto));
    progetto.apri({}, std::get<ProgettoFile>(letto));
    EXPECT_EQ(stato.tipo(12), QStringLiteral("Spese per attività di consulenza e supporto"));
    EXPECT_EQ(stato.riferimento(1).voci.value(11), stato.tipo(12));
    // Written again: the same bytes except the recalculated amounts of S and T.
    QByteArray atteso = test::contenutoDi(test::fileDiProva("Varimo-dati-scuola"));
    atteso.replace("\"IVA sui lavori\",\"999\"", "\"IVA sui lavori\",\"150\"");
    atteso.replace("\"Totale somme a disposizione\",\"0\"",
                   "\"Totale somme a disposizione\",\"300\"");
    EXPECT_EQ(scriviProgettoFile(progetto.comeFile()).contenuto, atteso);
}

TEST_F(Applicazione, RiferimentoATScriveDiciottoESiRileggeSelezionato) {
    stato.scriviCosto(5, QStringLiteral("400"));
    stato.scegliRiferimento(2, 17);
    stato.scriviScorrimento(2, 25);
    EXPECT_EQ(rigaSalvata(2), QByteArray("\"Lavori a corpo\",\"100\",\"25\",\"400\",18\r"));
    Progetto aperto;
    ricarica(aperto);
    StatoCalcolo& nuovo = aperto.calcolo();
    EXPECT_EQ(nuovo.riferimento(2).posizione, 17);
    EXPECT_EQ(nuovo.riferimento(2).testo, QStringLiteral("Totale somme a disposizione"));
    EXPECT_EQ(nuovo.costo(2), QStringLiteral("100"));
    EXPECT_EQ(nuovo.vocerif[2], QVariant(18));
}

TEST_F(Applicazione, RiferimentoSvuotatoScriveZeroEZeroESiRileggeSenza) {
    stato.scriviCosto(1, QStringLiteral("1000"));
    stato.scegliRiferimento(7, 0);
    stato.scriviScorrimento(7, 5);
    stato.cancellaTutto();
    stato.scriviCosto(1, QStringLiteral("1000"));
    EXPECT_EQ(rigaSalvata(7), QByteArray("\"Imprevisti\",\"\",\"0\",0,0\r"));
    Progetto aperto;
    ricarica(aperto);
    StatoCalcolo& nuovo = aperto.calcolo();
    EXPECT_EQ(nuovo.riferimento(7).posizione, -1);
    EXPECT_EQ(nuovo.costo(7), QString());
    EXPECT_EQ(nuovo.costo(1), QStringLiteral("1000"));
}

TEST_F(Applicazione, RigaRiferitaConCostoVuotoTornaComeZero) {
    stato.scriviCosto(1, QStringLiteral("1000"));
    stato.scegliRiferimento(11, 1);  // M refers to B, which is empty
    stato.scriviScorrimento(11, 10);
    EXPECT_EQ(rigaSalvata(11), QByteArray("\"Spese tecniche\",\"0\",\"10\",0,2\r"));
    Progetto aperto;
    ricarica(aperto);
    StatoCalcolo& nuovo = aperto.calcolo();
    EXPECT_EQ(nuovo.costo(2), QStringLiteral("0"));
    EXPECT_EQ(nuovo.costo(11), QStringLiteral("0"));
    EXPECT_EQ(nuovo.riferimento(11).posizione, 1);
}

TEST_F(Applicazione, UnaModificaDellEtichettaConservaIlRiferimentoSulDisco) {
    stato.scriviCosto(1, QStringLiteral("1000"));
    stato.scriviCosto(2, QStringLiteral("300"));
    stato.scegliRiferimento(17, 1);  // S = 10 % of B
    stato.scriviScorrimento(17, 10);
    ASSERT_EQ(stato.costo(17), QStringLiteral("30"));
    const QByteArray prima = rigaSalvata(17);
    stato.scriviTipo(5, QStringLiteral("Rilievi"));  // every list refilled
    EXPECT_EQ(stato.riferimento(17).posizione, 1);
    EXPECT_EQ(stato.vocerif[17], QVariant(2));
    EXPECT_EQ(rigaSalvata(17), prima);
    Progetto aperto;
    ricarica(aperto);
    StatoCalcolo& nuovo = aperto.calcolo();
    EXPECT_EQ(nuovo.costo(2), QStringLiteral("300"));
    EXPECT_EQ(nuovo.costo(17), QStringLiteral("30"));
    EXPECT_EQ(nuovo.riferimento(17).posizione, 1);
    nuovo.scriviCosto(2, QStringLiteral("500"));  // still following B
    EXPECT_EQ(nuovo.costo(17), QStringLiteral("50"));
}

TEST_F(Applicazione, IlCaricamentoConservaINumeriDiRiferimentoSalvati) {
    ProgettoFile p;
    p.nomeprogetto = QStringLiteral("P");
    p.valuta = QStringLiteral("euro");
    for (int i = 1; i <= kVoci; ++i) p.voci[i - 1].tipo = etichettaIniziale(i);
    p.voci[0].costo = QStringLiteral("200");
    p.voci[16].perc = 50;
    p.voci[16].vocerif = 1;
    p.voci[16].costorif = QStringLiteral("200");
    p.voci[5].vocerif = 0;
    progetto.apri({}, p);
    EXPECT_EQ(stato.vocerif[17], QVariant(1));
    EXPECT_EQ(stato.vocerif[6], QVariant(0));
    EXPECT_FALSE(stato.vocerif[7].isValid());
    EXPECT_EQ(stato.percentuale(17), QStringLiteral("50"));
    EXPECT_EQ(stato.costo(17), QStringLiteral("100"));
    EXPECT_EQ(stato.progetto(), QStringLiteral("300"));
    EXPECT_EQ(progetto.nome(), QStringLiteral("P"));
    // A label edit after loading rebuilds the lists again.
    stato.scriviTipo(2, QStringLiteral("Corpo"));
    EXPECT_EQ(stato.riferimento(1).voci.value(1), QStringLiteral("Corpo"));
}

}  // namespace
}  // namespace varimo
