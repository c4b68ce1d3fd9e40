#include "classico/widgets/economico.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "calculation/progetto.h"
#include "calculation/statocalcolo.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "support/interazione_finta.h"

namespace varimo {
namespace {

class FinestraEconomico : public ::testing::Test {
  protected:
    void SetUp() override {
        w = Finestre::istanza().mostra<Economico>();
        progetto.avvia();
        w->stato().seguiProgetto(&progetto);
    }
    void TearDown() override {
        Finestre::istanza().chiudi<Economico>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void digita(QLineEdit* e, const QString& t) {
        e->setFocus();
        QTest::keyClicks(e, t);
    }

    test::InterazioneFinta finta;
    Progetto progetto;  // whose name and currency the window's boxes edit
    Economico* w = nullptr;
};

TEST_F(FinestraEconomico, StatoIniziale) {
    EXPECT_EQ(w->objectName(), QStringLiteral("economico"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Varimo: voci finali del quadro"));
    const QString lettere = QStringLiteral("ABCDEFGHILMNOPQRST");
    for (int i = 1; i <= kVoci; ++i) {
        EXPECT_EQ(w->numero(i)->text(), QString(lettere[i - 1]));
        EXPECT_FALSE(w->tipo(i)->isHidden());
        EXPECT_EQ(w->etichettaPercentuale(i)->text(), QStringLiteral("0"));
    }
    EXPECT_EQ(w->tipo(19)->text(), QStringLiteral("TOTALE PROGETTO (in euro)"));
    EXPECT_EQ(w->tipo(19)->toolTip(), QStringLiteral("totale del progetto derivato dal calcolo"));
    QStringList voci;
    for (int k = 0; k < w->valuta()->count(); ++k) voci << w->valuta()->itemText(k);
    EXPECT_EQ(voci, QStringList({"euro", "dollari", "yen", "sterline", "rubli", "corone"}));
    EXPECT_EQ(w->valuta()->currentText(), QStringLiteral("euro"));
    EXPECT_EQ(w->etichettaPercentuale(0)->text(), QStringLiteral("% "));
    EXPECT_EQ(w->etichettaPercentuale(19)->toolTip(),
              QStringLiteral("tipologie di voci interessate"));
    EXPECT_EQ(w->etichettaPercentuale(20)->toolTip(),
              QStringLiteral("costo di ogni singola voce interessata"));
    auto* etichettaNome = w->findChild<QLabel*>(QStringLiteral("Label2"));
    ASSERT_NE(etichettaNome, nullptr);
    EXPECT_EQ(etichettaNome->text(), QStringLiteral("Nome progetto:"));
    EXPECT_EQ(etichettaNome->toolTip(),
              QStringLiteral("digita, per la stampa, il nome del progetto a cui si riferisce il "
                             "quadro economico"));
    EXPECT_EQ(w->pulsanteRielabora()->text(), QStringLiteral("&Rielabora"));
    EXPECT_EQ(w->aiuto()->toolTip(),
              QStringLiteral("cliccare per avere informazioni sull'uso della finestra"));
    EXPECT_EQ(w->pulsanteEsci()->toolTip(), QStringLiteral("clicca per uscire da Varimo"));
    EXPECT_EQ(w->pulsanteStampa()->objectName(), QStringLiteral("cmdStampa"));
}

TEST_F(FinestraEconomico, RiempimentoDaVuotoEDalleRighe) {
    StatoCalcolo calcolo;
    calcolo.preparaFinestra();
    w->mostra(calcolo);
    for (int i = 1; i <= kVoci; ++i) {
        EXPECT_TRUE(w->numero(i)->isHidden());
        EXPECT_TRUE(w->costo(i)->isHidden());
        EXPECT_TRUE(w->riferimento(i)->isHidden());
    }
    EXPECT_FALSE(w->costo(19)->isHidden());
    EXPECT_EQ(w->costo(19)->text(), QString());

    calcolo.scriviCosto(1, QStringLiteral("1234,5"));
    calcolo.scriviCosto(3, QStringLiteral("0"));
    w->mostra(calcolo);
    ASSERT_EQ(w->stato().numerovoci, 4);  // A, C, D, T
    EXPECT_FALSE(w->numero(4)->isHidden());
    EXPECT_TRUE(w->numero(5)->isHidden());
    EXPECT_EQ(w->numero(2)->text(), QStringLiteral("2"));
    EXPECT_EQ(w->tipo(2)->text(), QStringLiteral("Oneri per i piani di sicurezza e coordinamento"));
    EXPECT_EQ(w->costo(1)->text(), QStringLiteral("1.234,50"));
    EXPECT_EQ(w->costo(2)->text(), QStringLiteral("0,00"));
    EXPECT_EQ(w->costo(19)->text(), QStringLiteral("1.234,50"));
}

TEST_F(FinestraEconomico, ValutaDigitataEScelta) {
    QLineEdit* e = w->valuta()->lineEdit();
    e->setFocus();
    e->selectAll();
    QTest::keyClicks(e, QStringLiteral("fr"));
    EXPECT_EQ(w->tipo(19)->text(), QStringLiteral("TOTALE PROGETTO (in fr)"));
    EXPECT_EQ(progetto.valuta(), QStringLiteral("fr"));
    EXPECT_EQ(w->valuta()->currentIndex(), -1);
    QTest::keyClicks(e, QStringLiteral("anchi"));
    EXPECT_EQ(w->tipo(19)->text(), QStringLiteral("TOTALE PROGETTO (in franchi)"));
    EXPECT_EQ(e->text(), QStringLiteral("franchi"));

    w->valuta()->setFocus();
    w->valuta()->setCurrentIndex(0);
    QTest::keyClick(w->valuta(), Qt::Key_Down);  // the next entry: dollari
    EXPECT_EQ(w->stato().valuta(), QStringLiteral("dollari"));
    EXPECT_EQ(w->tipo(19)->text(), QStringLiteral("TOTALE PROGETTO (in dollari)"));
    EXPECT_EQ(progetto.valuta(), QStringLiteral("dollari"));
}

TEST_F(FinestraEconomico, AvvisoSullEtichettaENomeDelProgetto) {
    digita(w->tipo(1), QString(50 - w->tipo(1)->text().size(), QLatin1Char('x')));
    EXPECT_TRUE(finta.messaggi.isEmpty());
    digita(w->tipo(1), QStringLiteral("y"));
    ASSERT_EQ(finta.messaggi.size(), 1);
    EXPECT_EQ(finta.messaggi[0].testo,
              QStringLiteral("Attenzione: per una stampa corretta non superare i 50 caratteri."));
    QTest::keyClick(w->tipo(1), Qt::Key_Backspace);
    EXPECT_EQ(finta.messaggi.size(), 1);

    digita(w->nomeProgetto(), QStringLiteral("Ponte"));
    EXPECT_EQ(progetto.nome(), QStringLiteral("Ponte"));
    w->cancellaTutto();
    EXPECT_EQ(w->nomeProgetto()->text(), QStringLiteral("Ponte"));
    EXPECT_EQ(progetto.nome(), QString());
    EXPECT_EQ(w->tipo(1)->text(), QString());
    EXPECT_EQ(w->etichettaPercentuale(1)->text(), QStringLiteral("0"));
    w->controllaDati();
    EXPECT_EQ(finta.testi().last(),
              QStringLiteral("Digitare il nome del progetto in caso di stampa."));
}

// The blank line falls after row D wherever it is shown: with B empty it is
// the third row, and "Imprevisti" (G) comes among the sums, after the gap,
// also once the window is scaled; with B back D is fourth again.
TEST_F(FinestraEconomico, SpazioDopoLaRigaD) {
    StatoCalcolo calcolo;
    calcolo.preparaFinestra();
    calcolo.scriviCosto(1, QStringLiteral("1000"));
    calcolo.scriviCosto(3, QStringLiteral("50"));
    calcolo.scriviCosto(7, QStringLiteral("20"));
    const auto passi = [&] {
        QList<int> p;
        for (int k = 2; k <= 5; ++k) p << w->costo(k)->y() - w->costo(k - 1)->y();
        return p;
    };
    for (const QSize misura : {QSize(), QSize(1100, 900)}) {
        if (misura.isValid()) {
            w->resize(misura);
            QCoreApplication::processEvents();
        }
        w->mostra(calcolo);
        ASSERT_EQ(w->stato().origine(3), 4);
        QList<int> p = passi();  // 1-2, 2-3, 3-4 (the gap), 4-5
        EXPECT_EQ(w->tipo(4)->text(), QStringLiteral("Imprevisti"));
        EXPECT_GT(p[2], p[0] + p[0] / 4);
        EXPECT_LE(std::abs(p[0] - p[1]), 1);
        EXPECT_LE(std::abs(p[0] - p[3]), 1);
        EXPECT_EQ(w->numero(4)->y() - w->numero(3)->y(), p[2]);
        EXPECT_EQ(w->riferimento(4)->y() - w->riferimento(3)->y(), p[2]);

        calcolo.scriviCosto(2, QStringLiteral("5"));
        w->mostra(calcolo);
        p = passi();
        EXPECT_GT(p[3], p[0] + p[0] / 4);
        EXPECT_LE(std::abs(p[0] - p[2]), 1);
        calcolo.scriviCosto(2, QString());
        calcolo.cancellaRiga(2);
    }
}

}  // namespace
}  // namespace varimo
