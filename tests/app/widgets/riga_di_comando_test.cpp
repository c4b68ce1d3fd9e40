// A project file handed to the program at start (a double click in the file
// manager): the calculation window opens with the project applied as Open
// applies it, or, for a file that cannot be read, with Open's message and
// empty rows.
#include "calculation/progetto.h"
#include "calculation/statocalcolo.h"
#include "programma_intero.h"

using namespace varimo;
using namespace varimo::test;

namespace {

// The project of the calculation window.
const Progetto& progettoAperto() {
    return Finestre::istanza().trova<Calcolo>()->progettoAperto();
}

QString fileDiProva(const char* nome) {
    return QStringLiteral(VARIMO_SOURCE_DIR "/tests/datafile/fixtures/") +
           QString::fromLatin1(nome);
}

struct RigaAttesa {
    int i;
    QString tipo, costo, perc;
    int riferimento;  // list position selected, -1 none
};

struct ProgettoAtteso {
    const char* file;
    QString nome, valuta, progetto;
    QList<RigaAttesa> righe;  // rows not listed: initial label, empty cost, "0", none
};

// Test names and failure reports show the file, not the object's bytes.
void PrintTo(const ProgettoAtteso& p, std::ostream* os) {
    *os << p.file;
}

class RigaDiComando : public ProgrammaIntero,
                      public ::testing::WithParamInterface<ProgettoAtteso> {};

class AvvioConFileIllegibile : public ProgrammaIntero {};

const QString kD = QStringLiteral("Importo a base dell'appalto");

}  // namespace

TEST_P(RigaDiComando, ApreIlProgettoNelCalcolo) {
    const ProgettoAtteso& p = GetParam();
    // A copy: the test saves back into the opened file.
    const QString percorso = percorsoProgetto(QString::fromLatin1(p.file));
    ASSERT_TRUE(QFile::copy(fileDiProva(p.file), percorso));
    EXPECT_TRUE(apriProgettoAllAvvio(percorso));
    EXPECT_TRUE(utente.messaggi.isEmpty()) << qPrintable(utente.testi().join(" | "));
    EXPECT_TRUE(utente.richiesteFile.isEmpty());

    Calcolo* c = aperta<Calcolo>();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->isVisible());
    EXPECT_FALSE(registro().caricata(QStringLiteral("frmSplash")));
    // The window carries its commands as when opened from the splash.
    EXPECT_NE(c->findChild<QAction*>(QStringLiteral("apri")), nullptr);
    EXPECT_EQ(c->progettoAperto().percorso(), percorso);

    for (int i = 1; i <= kVoci; ++i) {
        RigaAttesa a{i, etichettaIniziale(i), QString(), QStringLiteral("0"), -1};
        for (const RigaAttesa& r : p.righe)
            if (r.i == i) a = r;
        EXPECT_EQ(c->tipo(i)->text(), a.tipo) << i;
        EXPECT_EQ(c->costo(i)->text(), a.costo) << i;
        EXPECT_EQ(c->etichettaPercentuale(i)->text(), a.perc) << i;
        EXPECT_EQ(c->barraPercentuale(i)->value(), a.perc.toInt()) << i;
        EXPECT_EQ(c->elencoRiferimento(i)->currentIndex(), a.riferimento) << i;
        if (a.riferimento >= 0) {
            EXPECT_EQ(c->elencoRiferimento(i)->currentText(), c->tipo(a.riferimento + 1)->text())
                << i;
        }
        // Every list holds the labels as loaded from the file.
        ASSERT_EQ(c->elencoRiferimento(i)->count(), kVoci) << i;
        EXPECT_EQ(c->elencoRiferimento(i)->itemText(2), c->tipo(3)->text()) << i;
    }
    EXPECT_EQ(c->progetto()->text(), p.progetto);
    EXPECT_TRUE(c->costoprogetto()->text().isEmpty());

    // The framework window is loaded, not shown, with name and currency.
    Economico* e = aperta<Economico>();
    ASSERT_NE(e, nullptr);
    EXPECT_FALSE(e->isVisible());
    EXPECT_EQ(e->nomeProgetto()->text(), p.nome);
    EXPECT_EQ(e->valuta()->currentText(), p.valuta);
    EXPECT_EQ(e->tipo(19)->text(), "TOTALE PROGETTO (in " + p.valuta + ")");
    EXPECT_EQ(progettoAperto().nome(), p.nome);
    EXPECT_EQ(progettoAperto().valuta(), p.valuta);

    // Saving at once writes straight back to that file, without a dialog,
    // with the amounts as the window now shows them.
    voce(c, "salva")->trigger();
    EXPECT_TRUE(utente.richiesteFile.isEmpty());
    EXPECT_TRUE(utente.messaggi.isEmpty()) << qPrintable(utente.testi().join(" | "));
    QFile salvato(percorso);
    ASSERT_TRUE(salvato.open(QIODevice::ReadOnly));
    const QList<QByteArray> righe = salvato.readAll().split('\n');
    ASSERT_EQ(righe.size(), 20);
    const QByteArray totale =
        "\"Totale somme a disposizione\",\"" + c->costo(18)->text().toLatin1() + "\",\"0\",0,\r";
    EXPECT_EQ(righe[18], totale);

    // Started without the splash, the exit builds it for the farewell.
    utente.rispondi(Risposta::Si);
    voce(e, "esci")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(registro().nomiCaricate(), QStringList{"frmSplash"});
    Saluto* splash = aperta<Saluto>();
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->etichetta(2)->text(), Saluto::kCongedo);
    EXPECT_EQ(splash->etichetta(5)->text(), "EDIZIONE PROFESSIONALE - VERSIONE 2.04.05");
}

INSTANTIATE_TEST_SUITE_P(
    FileDiProva, RigaDiComando,
    ::testing::Values(
        // M and S are 10 % of D; the typed 999 of S gives way to the percentage.
        ProgettoAtteso{"Varimo-dati-scuola",
                       QStringLiteral("Scuola media Città"),
                       QStringLiteral("euro"),
                       QStringLiteral("1800"),
                       {{1, etichettaIniziale(1), "1000", "0", -1},
                        {2, etichettaIniziale(2), "500", "0", -1},
                        {4, kD, "1500", "0", -1},
                        {11, etichettaIniziale(11), "150", "10", 3},
                        {17, etichettaIniziale(17), "150", "10", 3},
                        {18, etichettaIniziale(18), "300", "0", -1}}},
        // Line feeds only, row A split over two lines, B = 10 % of T, a
        // label with the euro sign.
        ProgettoAtteso{"Varimo-dati-ponte",
                       QStringLiteral("Ponte sul Po"),
                       QStringLiteral("euro"),
                       QStringLiteral("3200"),
                       {{1, etichettaIniziale(1), "1000", "0", -1},
                        {2, etichettaIniziale(2), "200", "10", 17},
                        {3, QStringLiteral("Oneri per la sicurezza (€)"), "", "0", -1},
                        {4, kD, "1200", "0", -1},
                        {5, etichettaIniziale(5), "2000", "0", -1},
                        {18, etichettaIniziale(18), "2000", "0", -1}}}),
    [](const ::testing::TestParamInfo<ProgettoAtteso>& i) {
        return std::string(i.param.file).substr(12);
    });

TEST_F(AvvioConFileIllegibile, MessaggioEFinestraVuota) {
    const QString mancante = percorsoProgetto(QStringLiteral("Varimo-dati-assente"));
    const struct { QString percorso; } casi[] = {{mancante}, {fileDiProva("Varimo-dati-guasto")}};
    for (const auto& caso : casi) {
        utente.messaggi.clear();
        EXPECT_FALSE(apriProgettoAllAvvio(caso.percorso)) << qPrintable(caso.percorso);
        ASSERT_EQ(utente.messaggi.size(), 1) << qPrintable(caso.percorso);
        const Messaggio& m = utente.messaggi.first();
        EXPECT_TRUE(m.testo.startsWith(QStringLiteral("Impossibile aprire il file di dati:\r")))
            << qPrintable(m.testo);
        EXPECT_TRUE(m.testo.contains(QDir::toNativeSeparators(caso.percorso)));
        EXPECT_EQ(m.titolo, "Varimo: aiuto in linea");

        Calcolo* c = aperta<Calcolo>();
        ASSERT_NE(c, nullptr);
        EXPECT_TRUE(c->isVisible());
        for (int i = 1; i <= kVoci; ++i) {
            EXPECT_EQ(c->tipo(i)->text(), etichettaIniziale(i)) << i;
            EXPECT_TRUE(c->costo(i)->text().isEmpty()) << i;
            EXPECT_EQ(c->etichettaPercentuale(i)->text(), "0") << i;
        }
        EXPECT_TRUE(c->progetto()->text().isEmpty());
        EXPECT_TRUE(c->progettoAperto().percorso().isEmpty());
        EXPECT_FALSE(registro().caricata(QStringLiteral("economico")));
        EXPECT_TRUE(progettoAperto().nome().isEmpty());

        // The window works as usual afterwards.
        scrivi(c, QStringLiteral("costo_1"), QStringLiteral("10"));
        EXPECT_EQ(c->progetto()->text(), "10");
        registro().chiudi(QStringLiteral("calcolo"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
