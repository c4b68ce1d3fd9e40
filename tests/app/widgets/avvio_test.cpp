// Start sequence, exit confirmation and farewell through the real splash and
// the window registry (offscreen).
#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "app/avvio.h"
#include "app/saluto.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "support/interazione_finta.h"

using namespace varimo;

namespace {

// A calculation window as the shell sees it: a window reached by name whose
// construction can be counted.
class CalcoloProva : public QWidget {
  public:
    static constexpr const char* kNome = "calcolo";
    static inline int costruite = 0;
    CalcoloProva() { ++costruite; }
};

class Avvio : public ::testing::Test {
  protected:
    void SetUp() override {
        qputenv("VARIMO_SUONO", "nessuno");
        Finestre::istanza().registraFabbrica<CalcoloProva>();
        CalcoloProva::costruite = 0;
    }
    void TearDown() override {
        for (const QString& n : Finestre::istanza().nomiCaricate()) Finestre::istanza().chiudi(n);
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    Saluto* splash() { return Finestre::istanza().mostra<Saluto>(); }
    test::InterazioneFinta utente;
};

}  // namespace

TEST_F(Avvio, LaSplashMostraISuoiTestiEIValoriDelProgramma) {
    Saluto* s = splash();
    EXPECT_EQ(s->objectName(), "frmSplash");
    EXPECT_EQ(s->etichetta(1)->text(), "software Veladio");
    EXPECT_EQ(s->etichetta(2)->text(), QString(24, ' ') + "presenta");
    EXPECT_EQ(s->etichetta(3)->text(), "Varimo");
    EXPECT_EQ(s->etichetta(4)->text(), "elaborazione di un quadro economico");
    EXPECT_EQ(s->etichetta(5)->text(), "EDIZIONE PROFESSIONALE - VERSIONE 2.04.05");
    EXPECT_EQ(s->etichetta(8)->text(),
              "(cliccare sulla finestra per iniziare; premere un tasto per uscire)");
    EXPECT_TRUE(TestiProgramma::titoloaiuto.startsWith("Varimo: "));
    EXPECT_TRUE(s->findChild<QWidget*>("Image1"));
    for (int i : {0, 9, 10, 11}) EXPECT_TRUE(s->etichetta(i)->text().isEmpty());
}

TEST_F(Avvio, UnTastoPrimaDiOgniClicTerminaIlProgrammaSenzaFinestraCalcolo) {
    QSignalSpy fine(&Finestre::istanza(), &Finestre::nessunaFinestra);
    Saluto* s = splash();
    QTest::keyClick(s, Qt::Key_X);
    EXPECT_EQ(fine.count(), 1);
    EXPECT_EQ(Finestre::istanza().numeroCaricate(), 0);
    EXPECT_EQ(CalcoloProva::costruite, 0);
}

TEST_F(Avvio, UnModificatoreDaSoloNonEUnTastoPremuto) {
    Saluto* s = splash();
    QTest::keyClick(s, Qt::Key_Shift);
    EXPECT_TRUE(Finestre::istanza().caricata("frmSplash"));
}

TEST_F(Avvio, PiuClicFannoUnaSolaFinestraCalcoloELaSplashResta) {
    Saluto* s = splash();
    QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(400, 300));
    QTest::mouseClick(s->etichetta(3), Qt::LeftButton);
    QTest::mouseClick(s->findChild<QWidget*>("Image1"), Qt::LeftButton);
    EXPECT_EQ(CalcoloProva::costruite, 1);
    EXPECT_TRUE(Finestre::istanza().finestra("calcolo")->isVisible());
    EXPECT_TRUE(s->isVisible());
}

TEST_F(Avvio, UscitaConRispostaNoNonCambiaNulla) {
    Saluto* s = splash();
    QTest::mouseClick(s, Qt::LeftButton);
    const QStringList prima = Finestre::istanza().nomiCaricate();
    utente.rispondi(Risposta::No);
    esciprogramma();
    ASSERT_EQ(utente.messaggi.size(), 1);
    const Messaggio& m = utente.messaggi.first();
    EXPECT_EQ(m.testo, "Vuoi uscire da Varimo?");
    EXPECT_EQ(m.titolo, "Attenzione: i dati non archiviati andranno persi !");
    EXPECT_EQ(m.icona, Icona::Domanda);
    EXPECT_EQ(m.pulsanti, Pulsanti::SiNo);
    EXPECT_EQ(m.predefinita, Risposta::No);
    EXPECT_EQ(Finestre::istanza().nomiCaricate(), prima);
    EXPECT_EQ(s->etichetta(2)->text(), Saluto::kPresenta);
}

TEST_F(Avvio, UscitaConRispostaSiChiudeTuttoEMostraIlCongedo) {
    Saluto* s = splash();
    QTest::mouseClick(s, Qt::LeftButton);
    utente.rispondi(Risposta::Si);
    esciprogramma();
    EXPECT_FALSE(Finestre::istanza().caricata("calcolo"));
    EXPECT_EQ(Finestre::istanza().nomiCaricate(), QStringList{"frmSplash"});
    EXPECT_EQ(s->etichetta(2)->text(), QString(10, ' ') + "elaborazione eseguita con");
    EXPECT_TRUE(s->isVisible());

    // A click on the farewell splash opens a fresh calculation window.
    QTest::mouseClick(s, Qt::LeftButton);
    EXPECT_EQ(CalcoloProva::costruite, 2);
    EXPECT_TRUE(Finestre::istanza().caricata("calcolo"));
}

TEST_F(Avvio, UscitaDopoLaChiusuraDellaSplashLaRicostruisceENonTerminaIlProgramma) {
    QSignalSpy fine(&Finestre::istanza(), &Finestre::nessunaFinestra);
    Saluto* s = splash();
    QTest::mouseClick(s, Qt::LeftButton);
    QTest::keyClick(s, Qt::Key_Q);  // splash closed, calculation window goes on
    EXPECT_FALSE(Finestre::istanza().caricata("frmSplash"));
    EXPECT_TRUE(Finestre::istanza().caricata("calcolo"));
    utente.rispondi(Risposta::Si);
    esciprogramma();
    Saluto* nuovo = Finestre::istanza().trova<Saluto>();
    ASSERT_NE(nuovo, nullptr);
    EXPECT_EQ(nuovo->etichetta(2)->text(), QString(10, ' ') + "elaborazione eseguita con");
    EXPECT_EQ(Finestre::istanza().numeroCaricate(), 1);
    // The key press on the farewell ends the program.
    QTest::keyClick(nuovo, Qt::Key_Return);
    EXPECT_EQ(Finestre::istanza().numeroCaricate(), 0);
    EXPECT_GE(fine.count(), 1);
}
