// "Voci secondo il D.Lgs. 36/2023": the labels of rows E to S written as the
// user types labels, after a question that names what is replaced; amounts,
// percentages and references stay, and the file carries the new labels.

#include "calculation/vocicodice.h"

#include <gtest/gtest.h>

#include "calculation/comandifile.h"
#include "calculation/progetto.h"
#include "calculation/statocalcolo.h"
#include "common/numeri.h"
#include "common/testiprogramma.h"
#include "datafile/formato.h"
#include "support/interazione_finta.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

using namespace varimo;

namespace {

constexpr int A = 1, C = 3, D = 4, E = 5, F = 6, G = 7, M = 11, S = 17, T = 18;

class VociCodice : public ::testing::Test {
  protected:
    void SetUp() override {
        progetto.avvia();
        s.scriviCosto(A, QStringLiteral("335498,23"));
        s.scriviCosto(C, QStringLiteral("19535,61"));
        percentuale(G, A, 5);
        percentuale(M, D, 8);
        percentuale(S, D, 10);
        s.scriviCosto(F, QStringLiteral("1200"));
        s.scriviTipo(E, QStringLiteral("Indagini geologiche"));
        s.scriviTipo(F, voceCodice(F));  // already the code's label
        utente.messaggi.clear();
    }
    void percentuale(int riga, int rif, int p) {
        s.scegliRiferimento(riga, rif - 1);
        s.scriviScorrimento(riga, p);
    }
    struct Istantanea {
        QStringList tipi, costi, perc;
        QList<int> posizioni;
        QString progetto;
        bool operator==(const Istantanea&) const = default;
    };
    Istantanea istantanea() const {
        Istantanea i;
        for (int r = 1; r <= kVoci; ++r) {
            i.tipi << s.tipo(r);
            i.costi << s.costo(r);
            i.perc << s.percentuale(r);
            i.posizioni << s.riferimento(r).posizione;
        }
        i.progetto = s.progetto();
        return i;
    }

    test::InterazioneFinta utente;
    Progetto progetto;
    StatoCalcolo& s = progetto.calcolo();
};

TEST_F(VociCodice, CambiaLeEtichetteDelleVociDaEASConservandoImportiERiferimenti) {
    const Istantanea prima = istantanea();
    utente.rispondi(Risposta::Si);
    ASSERT_TRUE(applicaVociCodice(s));

    // One question, naming each label replaced and no label already right;
    // the new labels are short enough for the length warning never to show.
    ASSERT_EQ(utente.messaggi.size(), 1);
    const Messaggio& domanda = utente.messaggi.first();
    EXPECT_EQ(domanda.pulsanti, Pulsanti::SiNo);
    EXPECT_EQ(domanda.icona, Icona::Domanda);
    const QStringList righe = domanda.testo.split(QChar(13));
    EXPECT_TRUE(righe.contains("E - Indagini geologiche"));
    EXPECT_TRUE(righe.contains("S - IVA sui lavori"));
    EXPECT_TRUE(righe.contains("L - Prezzo chiuso"));
    for (const QString& r : righe) EXPECT_FALSE(r.startsWith("F - ")) << r.toStdString();

    const Istantanea dopo = istantanea();
    for (int r = 1; r <= kVoci; ++r) {
        SCOPED_TRACE(r);
        const auto k = static_cast<qsizetype>(r - 1);
        if (r >= E && r <= S) {
            EXPECT_EQ(dopo.tipi[k], voceCodice(r));
            EXPECT_LE(dopo.tipi[k].size(), 50);
        } else {
            EXPECT_EQ(dopo.tipi[k], prima.tipi[k]);
        }
        EXPECT_EQ(dopo.costi[k], prima.costi[k]);
        EXPECT_EQ(dopo.perc[k], prima.perc[k]);
        EXPECT_EQ(dopo.posizioni[k], prima.posizioni[k]);
        // Every list offers the new labels.
        EXPECT_EQ(s.riferimento(r).voci.size(), kVoci);
        EXPECT_EQ(s.riferimento(r).voci.value(S - 1), voceCodice(S));
    }
    EXPECT_EQ(dopo.progetto, prima.progetto);
    EXPECT_EQ(s.riferimento(S).testo, s.tipo(D)) << "the reference box shows the reference's label";

    // The percentage rows still follow their references.
    s.scriviCosto(A, QStringLiteral("100000"));
    EXPECT_EQ(s.costo(G), "5000");
    EXPECT_EQ(s.costo(D), "119535,61");
    EXPECT_EQ(s.costo(M), "9562,85");  // 8 % of 119.535,61 = 9.562,8488
    EXPECT_EQ(s.costo(S), "11953,56");

    // Once done, the command has nothing left to replace.
    utente.messaggi.clear();
    EXPECT_FALSE(applicaVociCodice(s));
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_EQ(utente.messaggi.first().pulsanti, Pulsanti::Ok);
}

TEST_F(VociCodice, UnSoloPassoDiAnnullaRitiraTuttoIlCambioDelleEtichette) {
    Progetto* storia = &progetto;
    storia->svuota();  // the history starts here
    const Istantanea prima = istantanea();
    utente.rispondi(Risposta::Si);
    ASSERT_TRUE(applicaVociCodice(s));
    const Istantanea dopo = istantanea();
    EXPECT_EQ(storia->passiAnnullabili(), 1);
    storia->annulla();
    EXPECT_TRUE(istantanea() == prima);
    storia->ripeti();
    EXPECT_TRUE(istantanea() == dopo);
    // The links still work after undo and redo.
    s.scriviCosto(A, QStringLiteral("100000"));
    EXPECT_EQ(s.costo(G), "5000");
}

TEST_F(VociCodice, RispostaNoNonCambiaNulla) {
    const Istantanea prima = istantanea();
    utente.rispondi(Risposta::No);
    EXPECT_FALSE(applicaVociCodice(s));
    EXPECT_TRUE(istantanea() == prima);
}

TEST_F(VociCodice, IlFilePortaLeNuoveEtichette) {
    utente.rispondi(Risposta::Si);
    ASSERT_TRUE(applicaVociCodice(s));
    progetto.impostaNome(QStringLiteral("Scuola"));
    const ProgettoFile scritto = progetto.comeFile();
    const EsitoScrittura file = scriviProgettoFile(scritto);
    ASSERT_TRUE(file.riuscito()) << file.errore.toStdString();
    const auto letto = leggiProgettoFile(file.contenuto);
    ASSERT_TRUE(std::holds_alternative<ProgettoFile>(letto));

    Progetto aperto;
    aperto.avvia();
    aperto.apri({}, std::get<ProgettoFile>(letto));
    const StatoCalcolo& riaperto = aperto.calcolo();
    for (int r = 1; r <= kVoci; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(riaperto.tipo(r), s.tipo(r));
        EXPECT_EQ(riaperto.costo(r), s.costo(r));
        EXPECT_EQ(riaperto.riferimento(r).posizione, s.riferimento(r).posizione);
    }
    EXPECT_EQ(riaperto.progetto(), s.progetto());
}

}  // namespace
