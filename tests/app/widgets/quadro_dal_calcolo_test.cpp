// The framework of any shape reached from the classic windows: the project
// of the calculation window converted into the window quadro with the same
// total, saved, and opened again as a file given at start; the File menu of
// the framework window opens a new framework from the template.
#include "common/numeri.h"
#include "programma_intero.h"
#include "quadro/widgets/finestraquadro.h"

using namespace varimo;
using namespace varimo::test;

namespace {

class QuadroDalCalcolo : public ProgrammaIntero {};

}  // namespace

TEST_F(QuadroDalCalcolo, ConvertitoSalvatoERiapertoConLoStessoTotale) {
    const QString classico = percorsoProgetto(QStringLiteral("Varimo-dati-ponte"));
    ASSERT_TRUE(QFile::copy(
        QStringLiteral(VARIMO_SOURCE_DIR "/tests/datafile/fixtures/Varimo-dati-ponte"), classico));
    ASSERT_TRUE(apriProgettoAllAvvio(classico));
    Calcolo* c = aperta<Calcolo>();
    ASSERT_NE(c, nullptr);
    const auto totaleClassico = letturaCentesimi(c->stato().progetto());
    ASSERT_TRUE(totaleClassico);

    voce(c, "convertiquadro")->trigger();
    auto* q = aperta<quadro::FinestraQuadro>();
    ASSERT_NE(q, nullptr);
    EXPECT_TRUE(q->isVisible());
    EXPECT_EQ(double(q->documento().valutazione().totale), *totaleClassico);
    EXPECT_TRUE(q->documento().modificato());  // exists nowhere else yet

    const QString percorso = percorsoProgetto(QStringLiteral("ponte.varimo"));
    utente.scegliFile(percorso);
    voce(q, "salva")->trigger();
    EXPECT_FALSE(q->documento().modificato());
    const quadro::FileQuadro salvato = q->documento().file();
    registro().chiudi(QStringLiteral("quadro"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(aperta<quadro::FinestraQuadro>(), nullptr);

    ASSERT_TRUE(quadro::apriQuadroAllAvvio(percorso));
    q = aperta<quadro::FinestraQuadro>();
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->documento().file(), salvato);
    EXPECT_EQ(double(q->documento().valutazione().totale), *totaleClassico);
    EXPECT_TRUE(utente.messaggi.isEmpty()) << qPrintable(utente.testi().join(" | "));

    // "Nuovo quadro" from the framework window of the classic pair: the
    // template, its total zero.
    auto* e = registro().mostra<Economico>();
    voce(e, "nuovoquadro")->trigger();
    EXPECT_EQ(aperta<quadro::FinestraQuadro>(), q);
    EXPECT_EQ(q->documento().quadro(), quadro::modello2023());
    EXPECT_TRUE(q->documento().percorso().isEmpty());
}
