// Tip of the day, about and support windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "common/percorsi.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "help/widgets/informa.h"
#include "help/widgets/suggerimentodelgiorno.h"
#include "help/widgets/supportoclienti.h"

namespace varimo {
namespace {

class FinestreInformazioni : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        impostaCartellaProgramma(dir.path());
    }
    void TearDown() override {
        Finestre& r = Finestre::istanza();
        for (const QString& n : r.nomiCaricate()) r.chiudi(n);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        impostaCartellaProgramma(QString());
    }
    void scriviSuggerimenti(const QByteArray& byte) {
        QFile f(QDir(dir.path()).filePath("VarimoSuggerimenti.TXT"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(byte);
    }
    QTemporaryDir dir;
};

TEST_F(FinestreInformazioni, SuggerimentoDalFileDellaCartellaDelProgramma) {
    scriviSuggerimenti("Primo consiglio\r\nSecondo \xE8 qui\r\nTerzo");
    SuggerimentoDelGiorno* t = Finestre::istanza().mostra<SuggerimentoDelGiorno>();
    EXPECT_EQ(t->windowTitle(), "Suggerimento del giorno");
    EXPECT_EQ(t->intestazione()->text(), "Non tutti sanno che...");
    EXPECT_FALSE(t->lampadina()->pixmap().isNull());
    EXPECT_EQ(t->testoSuggerimento()->text(), "Primo consiglio");
    t->pulsanteSeguente()->click();
    EXPECT_EQ(t->testoSuggerimento()->text(), QString::fromUtf8("Secondo è qui"));
    t->pulsanteSeguente()->click();
    t->pulsanteSeguente()->click();
    EXPECT_EQ(t->testoSuggerimento()->text(), "Primo consiglio");
    t->pulsantePrecedente()->click();
    EXPECT_EQ(t->testoSuggerimento()->text(), "Primo consiglio");
}

TEST_F(FinestreInformazioni, ChiudiEnterEscNascondonoEConservanoIlSuggerimento) {
    scriviSuggerimenti("uno\r\ndue\r\ntre\r\n");
    Finestre& r = Finestre::istanza();
    SuggerimentoDelGiorno* t = r.mostra<SuggerimentoDelGiorno>();
    EXPECT_EQ(t->pulsanteOk()->text(), "&Chiudi");
    EXPECT_EQ(t->pulsantePrecedente()->text(), "&Precedente");
    EXPECT_EQ(t->pulsanteSeguente()->text(), "&Successivo");
    t->pulsanteSeguente()->click();
    ASSERT_EQ(t->testoSuggerimento()->text(), "due");

    // The file changes: the window does not read it again while loaded.
    scriviSuggerimenti("altro\r\n");
    const int tasti[] = {Qt::Key_Escape, Qt::Key_Return};
    for (int tasto : tasti) {
        r.mostra<SuggerimentoDelGiorno>();
        t->setFocus();
        QTest::keyClick(t, static_cast<Qt::Key>(tasto));
        EXPECT_FALSE(t->isVisible()) << tasto;
        EXPECT_EQ(r.mostra<SuggerimentoDelGiorno>(), t);
        EXPECT_EQ(t->testoSuggerimento()->text(), "due");
    }
    t->pulsanteOk()->click();
    EXPECT_FALSE(t->isVisible());
    EXPECT_EQ(r.trova<SuggerimentoDelGiorno>(), t);
}

TEST_F(FinestreInformazioni, SenzaFileIlMessaggio) {
    SuggerimentoDelGiorno* t = Finestre::istanza().mostra<SuggerimentoDelGiorno>();
    const QString testo = t->testoSuggerimento()->text();
    EXPECT_TRUE(testo.startsWith("Impossibile trovare il file VarimoSuggerimenti.TXT\r\n\r\n"));
    EXPECT_EQ(testo.count("VarimoSuggerimenti.TXT"), 2);
    t->pulsanteSeguente()->click();
    t->pulsantePrecedente()->click();
    EXPECT_EQ(t->testoSuggerimento()->text(), testo);
}

TEST_F(FinestreInformazioni, Informazioni) {
    Finestre& r = Finestre::istanza();
    Informa* w = r.mostra<Informa>();
    EXPECT_EQ(w->windowTitle(), "Informazioni su Varimo");
    EXPECT_EQ(w->nomeProgramma()->text(), "Varimo");
    EXPECT_TRUE(w->nomeProgramma()->font().bold());
    EXPECT_EQ(w->descrizione()->text(), "elaborazione di un quadro economico");
    EXPECT_EQ(w->edizione()->text(), "edizione professionale - versione 2.04.05   2005- 2011");
    EXPECT_EQ(w->sistemi()->text(), "per sistemi Windows a 32 bit ");
    EXPECT_EQ(w->marchio()->text(), "software Veladio");
    EXPECT_EQ(w->pulsanteOk()->text(), "OK");
    w->pulsanteOk()->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(r.mostra<Informa>(), w);
    EXPECT_TRUE(w->isVisible());
}

TEST_F(FinestreInformazioni, Supporto) {
    Finestre& r = Finestre::istanza();
    Supportoclienti* w = r.mostra<Supportoclienti>();
    EXPECT_EQ(r.mostra<Supportoclienti>(), w);
    EXPECT_EQ(w->windowTitle(), "Servizi di supporto ai clienti");
    EXPECT_EQ(w->etichetta(1)->text(), "software Veladio");
    EXPECT_TRUE(w->etichetta(4)->text().startsWith("I clienti possono inviare fax o e-mail"));
    EXPECT_TRUE(w->etichetta(4)->text().endsWith(
        QString::fromUtf8("dalle 15,00 alle 18,00 di tutti i giorni dal lunedì al venerdì escluso "
                          "i festivi.")));
    EXPECT_TRUE(w->etichetta(5)->text().endsWith(
        "Sono graditi i suggerimenti per migliorare il prodotto nelle versioni successive."));
    for (int n : {2, 3, 8, 9, 10}) ASSERT_NE(w->etichetta(n), nullptr) << n;
    EXPECT_TRUE(w->etichetta(3)->text().contains("e-mail:"));
    EXPECT_EQ(w->etichetta(8)->text(), "sito internet:");
    EXPECT_TRUE(w->etichetta(10)->text().endsWith(".invalid"));
    w->ok()->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(r.trova<Supportoclienti>(), w);
}

}  // namespace
}  // namespace varimo
