#include "calculation/widgets/calcolo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include "app/registro_finestre.h"
#include "common/numeri.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "classico/widgets/economico.h"
#include "support/interazione_finta.h"

namespace varimo {
namespace {

class FinestraCalcolo : public ::testing::Test {
  protected:
    void SetUp() override {
        Finestre::istanza().impostaAllaCreazione(collegaPrincipali);
        w = Finestre::istanza().mostra<Calcolo>();
    }
    void TearDown() override {
        Finestre::istanza().chiudi<Economico>();
        Finestre::istanza().chiudi<Calcolo>();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Finestre::istanza().impostaAllaCreazione({});
    }
    template <class T>
    T* c(const QString& nome) {
        T* x = w->findChild<T*>(nome);
        EXPECT_NE(x, nullptr) << nome.toStdString();
        return x;
    }
    QLineEdit* costo(int i) { return c<QLineEdit>(QStringLiteral("costo_%1").arg(i)); }
    QComboBox* elencoRiferimento(int i) { return c<QComboBox>(QStringLiteral("Combo1_%1").arg(i)); }
    QScrollBar* barra(int i) { return c<QScrollBar>(QStringLiteral("HScroll1_%1").arg(i)); }
    QLabel* etichettaPercentuale(int i) { return c<QLabel>(QStringLiteral("perc_%1").arg(i)); }
    QLineEdit* linea(const char* n) { return c<QLineEdit>(QString::fromLatin1(n)); }
    QPushButton* tasto(const char* n) { return c<QPushButton>(QString::fromLatin1(n)); }

    // Types into a box as the user would, key by key.
    void digita(QLineEdit* e, const QString& t) {
        e->setFocus();
        QTest::keyClicks(e, t);
    }
    // Every visible widget agrees with the state.
    void controllaAllineati() {
        for (int i = 1; i <= kVoci; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(costo(i)->text(), w->stato().costo(i));
            EXPECT_EQ(etichettaPercentuale(i)->text(), w->stato().percentuale(i));
            EXPECT_EQ(barra(i)->value(), w->stato().scorrimento(i));
            EXPECT_EQ(elencoRiferimento(i)->currentText(), w->stato().riferimento(i).testo);
            EXPECT_EQ(elencoRiferimento(i)->currentIndex(), w->stato().riferimento(i).posizione);
        }
        EXPECT_EQ(linea("progetto")->text(), w->stato().progetto());
        EXPECT_EQ(linea("costoprogetto")->text(), w->stato().costoprogetto());
    }

    test::InterazioneFinta finta;
    Calcolo* w = nullptr;
};

TEST_F(FinestraCalcolo, StatoIniziale) {
    EXPECT_EQ(w->objectName(), QStringLiteral("calcolo"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Varimo: calcolo del quadro economico di lavori"));
    EXPECT_EQ(w->progettoAperto().valuta(), QStringLiteral("euro"));
    QStringList etichette;
    for (int i = 1; i <= kVoci; ++i) etichette << etichettaIniziale(i);
    for (int i = 1; i <= kVoci; ++i) {
        SCOPED_TRACE(i);
        const bool percentuale = i != 1 && i != 4 && i != 18;
        QStringList voci;
        for (int k = 0; k < elencoRiferimento(i)->count(); ++k)
            voci << elencoRiferimento(i)->itemText(k);
        EXPECT_EQ(voci, etichette);
        EXPECT_EQ(elencoRiferimento(i)->currentIndex(), -1);
        EXPECT_EQ(elencoRiferimento(i)->currentText(), QString());
        EXPECT_EQ(elencoRiferimento(i)->isHidden(), !percentuale);
        EXPECT_EQ(barra(i)->isHidden(), !percentuale);
        EXPECT_EQ(etichettaPercentuale(i)->isHidden(), !percentuale);
        EXPECT_EQ(etichettaPercentuale(i)->text(), QStringLiteral("0"));
        EXPECT_EQ(barra(i)->minimum(), 0);
        EXPECT_EQ(barra(i)->maximum(), 100);
        EXPECT_EQ(barra(i)->singleStep(), 1);
        EXPECT_EQ(barra(i)->pageStep(), 5);
        const bool fissa = i == 4 || i == 18;
        auto* t = c<QLineEdit>(QStringLiteral("tipo_%1").arg(i));
        EXPECT_EQ(t->text(), etichettaIniziale(i));
        EXPECT_EQ(t->isReadOnly(), fissa);
        EXPECT_EQ(costo(i)->isReadOnly(), fissa);
        EXPECT_EQ(t->font().bold(), fissa);
        EXPECT_EQ(costo(i)->text(), QString());
        EXPECT_EQ(c<QLabel>(QStringLiteral("num_%1").arg(i))->text(), QString(letteraVoce(i)));
    }
    EXPECT_EQ(w->findChild<QToolButton*>(QStringLiteral("delriga_18")), nullptr);
    EXPECT_TRUE(c<QToolButton>(QStringLiteral("delriga_4"))->isHidden());
    EXPECT_EQ(c<QToolButton>(QStringLiteral("delriga_1"))->toolTip(),
              QStringLiteral("clicca per cancellare i valori di questa riga n. 1"));
    EXPECT_EQ(c<QToolButton>(QStringLiteral("delriga_17"))->toolTip(),
              QStringLiteral("clicca per cancellare i valori di questa riga n. 17"));
    EXPECT_EQ(costo(1)->toolTip(),
              QStringLiteral(
                  "costo sul quale può iniziare il calcolo con valore del progetto vincolato"));
    EXPECT_EQ(costo(18)->toolTip(), QStringLiteral("somma delle voci da E a S"));
    EXPECT_EQ(
        c<QLineEdit>(QStringLiteral("tipo_4"))->toolTip(),
        QStringLiteral("questa voce riporta la somma delle voci A, B, C e non è modificabile"));
    EXPECT_EQ(elencoRiferimento(2)->toolTip(),
              QStringLiteral(
                  "clicca per scegliere la voce sulla quale calcolare la percentuale di costo"));
    EXPECT_EQ(linea("progetto")->toolTip(),
              QStringLiteral("valore calcolato in automatico come somma delle voci D e T"));
    EXPECT_TRUE(linea("progetto")->isReadOnly());
    EXPECT_TRUE(linea("progetto")->font().bold());
    EXPECT_EQ(linea("calcolato")->text(), QStringLiteral("Importo calcolato del progetto"));
    EXPECT_EQ(linea("vincolato")->text(), QStringLiteral("Importo vincolato del progetto"));
    EXPECT_EQ(etichettaPercentuale(0)->text(), QStringLiteral("% della ------------>"));
    EXPECT_EQ(c<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("voce di riferimento"));
    EXPECT_TRUE(tasto("cmdannulla")->isHidden());
    EXPECT_EQ(tasto("cmdannulla")->text(), QStringLiteral("s&enza importo vincolato"));
    EXPECT_EQ(tasto("vis")->text(), QStringLiteral("Visuali&zza"));
    EXPECT_EQ(tasto("aiuto")->text(), QStringLiteral("&AIUTO"));
    EXPECT_EQ(tasto("esco")->text(), QStringLiteral("&USCITA"));
    EXPECT_EQ(tasto("esco")->toolTip(), QStringLiteral("clicca per uscire da Varimo"));
    EXPECT_EQ(tasto("cmdStampa")->toolTip(),
              QStringLiteral("clicca per stampare i dati della finestra"));
    EXPECT_EQ(tasto("Command6")->text(), QStringLiteral("&Guida in linea"));
    EXPECT_EQ(tasto("Command6")->toolTip(),
              QStringLiteral("cliccare per visualizzare il sommario della Guida"));
    EXPECT_EQ(etichettaPercentuale(5)->palette().color(QPalette::Window), QColor(Qt::yellow));
    EXPECT_EQ(etichettaPercentuale(19)->palette().color(QPalette::Window), QColor(Qt::cyan));
}

TEST_F(FinestraCalcolo, DigitareUnImportoAggiornaLeSommeAOgniTasto) {
    digita(costo(1), QStringLiteral("10"));
    EXPECT_EQ(costo(4)->text(), QStringLiteral("10"));
    EXPECT_EQ(linea("progetto")->text(), QStringLiteral("10"));
    digita(costo(1), QStringLiteral("00"));
    EXPECT_EQ(costo(1)->text(), QStringLiteral("1000"));
    EXPECT_EQ(w->stato().costo(1), QStringLiteral("1000"));
    EXPECT_EQ(costo(4)->text(), QStringLiteral("1000"));
    EXPECT_EQ(costo(18)->text(), QStringLiteral("0"));
    EXPECT_EQ(linea("progetto")->text(), QStringLiteral("1000"));
    controllaAllineati();
}

TEST_F(FinestraCalcolo, RiferimentoEBarraDiScorrimentoAggiornanoLaRigaAllIstante) {
    digita(costo(1), QStringLiteral("1000"));
    elencoRiferimento(17)->setFocus();
    QTest::keyClick(elencoRiferimento(17), Qt::Key_Down);  // first entry: row A
    EXPECT_EQ(w->stato().riferimento(17).posizione, 0);
    EXPECT_EQ(elencoRiferimento(17)->currentText(), QStringLiteral("Lavori a misura"));
    EXPECT_EQ(costo(17)->text(), QStringLiteral("0"));  // 0 % of A
    // A click in the trough moves one page (5), an arrow one step.
    barra(17)->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(etichettaPercentuale(17)->text(), QStringLiteral("5"));
    EXPECT_EQ(costo(17)->text(), QStringLiteral("50"));
    for (int k = 0; k < 5; ++k) barra(17)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(etichettaPercentuale(17)->text(), QStringLiteral("10"));
    EXPECT_EQ(costo(17)->text(), QStringLiteral("100"));
    EXPECT_EQ(costo(18)->text(), QStringLiteral("100"));
    EXPECT_EQ(linea("progetto")->text(), QStringLiteral("1100"));
    // A change of the reference row carries through to the dependent row.
    digita(costo(1), QStringLiteral("0"));  // 10000
    EXPECT_EQ(costo(17)->text(), QStringLiteral("1000"));
    EXPECT_EQ(linea("progetto")->text(), QStringLiteral("11000"));
    controllaAllineati();
}

TEST_F(FinestraCalcolo, IlTestoDigitatoNelRiferimentoNonSelezionaNulla) {
    digita(costo(1), QStringLiteral("1000"));
    elencoRiferimento(17)->setFocus();
    QTest::keyClick(elencoRiferimento(17), Qt::Key_Down);
    barra(17)->setValue(10);
    ASSERT_EQ(costo(17)->text(), QStringLiteral("100"));
    elencoRiferimento(17)->lineEdit()->selectAll();
    QTest::keyClicks(elencoRiferimento(17)->lineEdit(), QStringLiteral("xy"));
    EXPECT_EQ(elencoRiferimento(17)->currentText(), QStringLiteral("xy"));
    EXPECT_EQ(elencoRiferimento(17)->currentIndex(), -1);
    EXPECT_EQ(w->stato().riferimento(17).posizione, -1);
    EXPECT_EQ(w->stato().riferimento(17).testo, QStringLiteral("xy"));
    // A typed row now: it keeps its last amount when A changes.
    digita(costo(1), QStringLiteral("0"));
    EXPECT_EQ(costo(17)->text(), QStringLiteral("100"));
    controllaAllineati();
}

// What a designer does in the window: references set, then a label renamed,
// a box emptied by hand, an amount typed in words. Every figure on screen
// stays true.
TEST_F(FinestraCalcolo, EtichetteCambiateCaselleSvuotateEImportiIlleggibili) {
    digita(costo(1), QStringLiteral("1000"));
    elencoRiferimento(7)->setFocus();
    QTest::keyClick(elencoRiferimento(7), Qt::Key_Down);  // G = 5 % of A
    barra(7)->setValue(5);
    ASSERT_EQ(costo(7)->text(), QStringLiteral("50"));
    auto* t = c<QLineEdit>(QStringLiteral("tipo_1"));
    t->setFocus();
    t->end(false);
    QTest::keyClicks(t, QStringLiteral(" e forniture"));
    EXPECT_EQ(elencoRiferimento(2)->itemText(0), QStringLiteral("Lavori a misura e forniture"));
    EXPECT_EQ(elencoRiferimento(7)->currentIndex(), 0);
    EXPECT_EQ(elencoRiferimento(7)->currentText(), QStringLiteral("Lavori a misura e forniture"));
    digita(costo(1), QStringLiteral("0"));  // 10000: G follows
    EXPECT_EQ(costo(7)->text(), QStringLiteral("500"));
    EXPECT_EQ(linea("progetto")->text(), QStringLiteral("10500"));

    // Emptying B by hand takes it out of D at once.
    digita(costo(2), QStringLiteral("300"));
    ASSERT_EQ(costo(4)->text(), QStringLiteral("10300"));
    costo(2)->selectAll();
    QTest::keyClick(costo(2), Qt::Key_Backspace);
    EXPECT_EQ(costo(4)->text(), QStringLiteral("10000"));
    EXPECT_EQ(linea("progetto")->text(), QStringLiteral("10500"));

    // An amount in words is marked until it is corrected.
    const QColor sfondo = costo(5)->palette().color(QPalette::Base);
    const QString suggerimento = costo(5)->toolTip();
    digita(costo(5), QStringLiteral("mille"));
    EXPECT_NE(costo(5)->palette().color(QPalette::Base), sfondo);
    EXPECT_NE(costo(5)->toolTip(), suggerimento);
    costo(5)->selectAll();
    QTest::keyClicks(costo(5), QStringLiteral("1000"));
    EXPECT_EQ(costo(5)->palette().color(QPalette::Base), sfondo);
    EXPECT_EQ(costo(5)->toolTip(), suggerimento);
    EXPECT_EQ(linea("progetto")->text(), QStringLiteral("11500"));

    // A long label written by code reads from its beginning.
    w->stato().scriviTipo(3, QStringLiteral("Oneri per la sicurezza e il coordinamento in fase "
                                            "di esecuzione"));
    EXPECT_EQ(c<QLineEdit>(QStringLiteral("tipo_3"))->cursorPosition(), 0);
    controllaAllineati();
}

TEST_F(FinestraCalcolo, TotaleVincolatoDigitatoTastoPerTasto) {
    digita(costo(1), QStringLiteral("1000"));
    elencoRiferimento(11)->setFocus();
    QTest::keyClick(elencoRiferimento(11), Qt::Key_Down);
    QTest::keyClick(elencoRiferimento(11), Qt::Key_Down);
    QTest::keyClick(elencoRiferimento(11), Qt::Key_Down);
    QTest::keyClick(elencoRiferimento(11), Qt::Key_Down);  // row D
    ASSERT_EQ(w->stato().riferimento(11).posizione, 3);
    barra(11)->setValue(10);
    ASSERT_EQ(linea("progetto")->text(), QStringLiteral("1100"));
    digita(linea("costoprogetto"), QStringLiteral("2200"));
    EXPECT_EQ(linea("costoprogetto")->text(), QStringLiteral("2200"));
    EXPECT_EQ(static_cast<long>(letturaTollerante(linea("progetto")->text())), 2200);
    EXPECT_EQ(Finestre::istanza().trova<Calcolo>()->stato().statovincolo, StatoVincolo::Nessuno);
    controllaAllineati();
}

// A whole descent (hundreds of nested writes) sets each box once, with the
// value the state holds when it ends; a message shown in the middle of an
// operation finds every widget already in line with the state.
TEST_F(FinestraCalcolo, OgniCasellaSiImpostaUnaVoltaPerOperazione) {
    digita(costo(1), QStringLiteral("1000"));
    w->stato().scegliRiferimento(11, 3);  // M = 10 % of D
    w->stato().scriviScorrimento(11, 10);
    ASSERT_EQ(linea("progetto")->text(), QStringLiteral("1100"));
    int cambiA = 0, cambiTotale = 0;
    QObject::connect(costo(1), &QLineEdit::textChanged, [&] { ++cambiA; });
    QObject::connect(linea("progetto"), &QLineEdit::textChanged, [&] { ++cambiTotale; });
    w->stato().azzeraContatori();
    QLineEdit* vincolo = linea("costoprogetto");
    vincolo->setText(QStringLiteral("5000000"));  // pasted: one change
    emit vincolo->textEdited(vincolo->text());
    EXPECT_GT(w->stato().passiAnnidati(), 20);
    EXPECT_EQ(cambiA, 1);
    EXPECT_EQ(cambiTotale, 1);
    EXPECT_EQ(static_cast<long>(letturaTollerante(linea("progetto")->text())), 5000000);
    controllaAllineati();

    // B = 100 % of D grows for ever: the operation stops at the bound and
    // tells the user while it is still running.
    w->stato().spegniVincolo();
    int domande = 0;
    finta.allaDomanda = [&](const Messaggio&) {
        ++domande;
        controllaAllineati();
    };
    w->stato().scegliRiferimento(2, 3);
    w->stato().scriviScorrimento(2, 100);
    EXPECT_EQ(domande, 1);
    EXPECT_EQ(w->stato().interruzioni(), 1);
    controllaAllineati();
}

TEST_F(FinestraCalcolo, IlPulsanteDiCancellazioneSvuotaLaRiga) {
    digita(costo(1), QStringLiteral("1000"));
    elencoRiferimento(17)->setFocus();
    QTest::keyClick(elencoRiferimento(17), Qt::Key_Down);
    barra(17)->setValue(22);
    ASSERT_EQ(costo(17)->text(), QStringLiteral("220"));
    QTest::mouseClick(c<QToolButton>(QStringLiteral("delriga_17")), Qt::LeftButton);
    EXPECT_EQ(costo(17)->text(), QString());
    EXPECT_EQ(etichettaPercentuale(17)->text(), QStringLiteral("0"));
    EXPECT_EQ(barra(17)->value(), 0);
    EXPECT_EQ(elencoRiferimento(17)->currentText(), QString());
    EXPECT_EQ(elencoRiferimento(17)->currentIndex(), -1);
    EXPECT_EQ(linea("progetto")->text(), QStringLiteral("1000"));
    controllaAllineati();
}

TEST_F(FinestraCalcolo, PassaggioAllaFinestraDelQuadroEconomico) {
    digita(costo(1), QStringLiteral("1000"));
    w->stato().scegliRiferimento(11, 3);  // M = % of D
    barra(11)->setValue(10);
    ASSERT_EQ(linea("progetto")->text(), QStringLiteral("1100"));
    QTest::mouseClick(tasto("vis"), Qt::LeftButton);

    Economico* e = Finestre::istanza().trova<Economico>();
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(e->stato().numerovoci, 4);  // A, D, M, T
    EXPECT_EQ(e->costo(1)->text(), QStringLiteral("1.000,00"));
    EXPECT_EQ(e->tipo(3)->text(), QStringLiteral("Spese tecniche"));
    EXPECT_EQ(e->etichettaPercentuale(3)->text(), QStringLiteral("10"));
    EXPECT_EQ(e->riferimento(3)->text(), QStringLiteral("Importo a base dell'appalto"));
    EXPECT_EQ(e->costo(19)->text(), QStringLiteral("1.100,00"));
    EXPECT_TRUE(e->numero(5)->isHidden());

    // Back here the total became the constraint; the rows already make it,
    // so nothing moved.
    EXPECT_EQ(costo(1)->text(), QStringLiteral("1000"));
    EXPECT_EQ(costo(11)->text(), QStringLiteral("100"));
    EXPECT_EQ(linea("progetto")->text(), QStringLiteral("1100"));
    EXPECT_EQ(linea("costoprogetto")->text(), QStringLiteral("1100"));
    EXPECT_EQ(Finestre::istanza().trova<Calcolo>()->stato().statovincolo, StatoVincolo::InAttesa);
    controllaAllineati();
}

// A chosen reference shows the beginning of its label, whether picked from
// the list (the box has the focus) or put back after a label edit refilled
// every list.
TEST_F(FinestraCalcolo, IlRiferimentoSceltoMostraLInizioDellaSuaEtichetta) {
    QComboBox* s = elencoRiferimento(17);
    s->setFocus();
    s->setCurrentIndex(3);
    emit s->activated(3);
    ASSERT_EQ(w->stato().riferimento(17).posizione, 3);
    EXPECT_EQ(s->lineEdit()->cursorPosition(), 0);
    digita(c<QLineEdit>(QStringLiteral("tipo_2")), QStringLiteral(" e forniture"));
    EXPECT_EQ(s->currentIndex(), 3);
    EXPECT_EQ(s->lineEdit()->cursorPosition(), 0);
}

TEST_F(FinestraCalcolo, RielaboraDueVoltePoiTogliIlVincolo) {
    digita(costo(1), QStringLiteral("1000"));
    w->visualizzaQuadro();
    Economico* e = Finestre::istanza().trova<Economico>();
    ASSERT_NE(e, nullptr);
    for (int volta = 0; volta < 2; ++volta) {
        QTest::mouseClick(e->pulsanteRielabora(), Qt::LeftButton);
        EXPECT_EQ(Finestre::istanza().trova<Calcolo>()->stato().statovincolo,
                  StatoVincolo::InAttesa);
        EXPECT_FALSE(tasto("cmdannulla")->isHidden());
        EXPECT_TRUE(e->isVisible());  // the framework window stays open
        EXPECT_EQ(Finestre::istanza().trova<Calcolo>(), w);
        EXPECT_EQ(e->costo(1)->text(), QStringLiteral("1.000,00"));  // not refilled
    }
    QTest::mouseClick(tasto("cmdannulla"), Qt::LeftButton);
    EXPECT_TRUE(tasto("cmdannulla")->isHidden());
    EXPECT_EQ(linea("costoprogetto")->text(), QString());
    EXPECT_EQ(costo(1)->text(), QStringLiteral("1000"));
    EXPECT_EQ(Finestre::istanza().trova<Calcolo>()->stato().statovincolo, StatoVincolo::Spento);
}

// With an amount no calculation can use on screen, "Visualizza" names that
// row once and hands nothing off: no descent, row A and the constrained total
// as they were, no framework window.
TEST_F(FinestraCalcolo, VisualizzaConUnImportoInutilizzabileNominaLaRigaENonSpostaNulla) {
    digita(costo(1), QStringLiteral("1000"));
    digita(costo(2), QStringLiteral("NaN"));
    finta.messaggi.clear();
    QTest::mouseClick(tasto("vis"), Qt::LeftButton);
    ASSERT_EQ(finta.messaggi.size(), 1);
    const QStringList righe = finta.messaggi[0].testo.split(u'\r');
    ASSERT_EQ(righe.size(), 2);
    EXPECT_TRUE(righe[1].startsWith(u'B'));
    EXPECT_TRUE(righe[1].endsWith(QStringLiteral("NaN")));
    EXPECT_EQ(costo(1)->text(), QStringLiteral("1000"));
    EXPECT_EQ(linea("costoprogetto")->text(), QString());
    EXPECT_EQ(Finestre::istanza().trova<Economico>(), nullptr);
    // Corrected, the same click hands off as always.
    costo(2)->selectAll();
    digita(costo(2), QStringLiteral("5"));
    QTest::mouseClick(tasto("vis"), Qt::LeftButton);
    EXPECT_EQ(finta.messaggi.size(), 1);
    EXPECT_NE(Finestre::istanza().trova<Economico>(), nullptr);
    EXPECT_EQ(costo(1)->text(), QStringLiteral("1000"));
    EXPECT_EQ(linea("costoprogetto")->text(), w->stato().progetto());
}

TEST_F(FinestraCalcolo, RielaboraCaricaLaFinestraCalcoloSeEChiusa) {
    w->visualizzaQuadro();
    Economico* e = Finestre::istanza().trova<Economico>();
    ASSERT_NE(e, nullptr);
    Finestre::istanza().chiudi<Calcolo>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(Finestre::istanza().trova<Calcolo>(), nullptr);
    e->rielaboraCalcolo();
    w = Finestre::istanza().trova<Calcolo>();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(Finestre::istanza().trova<Calcolo>()->stato().statovincolo,
              StatoVincolo::InAttesa);  // the fresh window's start-up keeps it
    EXPECT_FALSE(tasto("cmdannulla")->isHidden());
}

TEST_F(FinestraCalcolo, PulsantiAiutoEControllo) {
    QTest::mouseClick(tasto("aiuto"), Qt::LeftButton);
    ASSERT_EQ(finta.messaggi.size(), 1);
    EXPECT_TRUE(finta.messaggi[0].testo.startsWith(
        QStringLiteral("- Immettere un valore per ogni voce che interessa;\r")));
    EXPECT_EQ(finta.messaggi[0].titolo, QStringLiteral("Varimo: aiuto in linea"));
    w->controllaDati();
    ASSERT_EQ(finta.messaggi.size(), 2);
    EXPECT_EQ(finta.messaggi[1].icona, Icona::Esclamazione);
}

TEST_F(FinestraCalcolo, CancellaTuttoSvuotaOgniCasella) {
    digita(costo(1), QStringLiteral("1000"));
    w->stato().scegliRiferimento(17, 0);
    barra(17)->setValue(10);
    digita(linea("costoprogetto"), QStringLiteral("5"));
    w->cancellaTutto();
    for (int i = 1; i <= kVoci; ++i) {
        if (i == 4 || i == 18) continue;  // the sums are written "0" again
        EXPECT_EQ(costo(i)->text(), QString()) << i;
    }
    EXPECT_EQ(linea("costoprogetto")->text(), QString());
    EXPECT_EQ(elencoRiferimento(17)->currentText(), QString());
    controllaAllineati();
}

TEST_F(FinestraCalcolo, LeRigheTengonoOrdineEProporzioniAOgniDimensione) {
    // Each row reads left to right: letter, label, amount, delete button,
    // percentage, scroll bar, reference list; the rows top to bottom; and a
    // wider window widens every column in the same proportion.
    auto controlla = [this](const char* quando) {
        int alto = -1;
        for (int i = 1; i <= kVoci; ++i) {
            QList<QWidget*> riga;
            for (QWidget* c :
                 {w->findChild<QWidget*>(QStringLiteral("num_%1").arg(i)),
                  static_cast<QWidget*>(w->tipo(i)), static_cast<QWidget*>(w->costo(i)),
                  static_cast<QWidget*>(w->etichettaPercentuale(i)),
                  static_cast<QWidget*>(w->barraPercentuale(i)),
                  static_cast<QWidget*>(w->elencoRiferimento(i))})
                if (c->isVisibleTo(w)) riga << c;
            for (qsizetype k = 1; k < riga.size(); ++k)
                EXPECT_LE(riga[k - 1]->geometry().right(), riga[k]->geometry().left())
                    << quando << " riga " << i << " colonna " << k;
            EXPECT_GT(riga[1]->geometry().top(), alto) << quando << " riga " << i;
            alto = riga[1]->geometry().bottom();
            if (w->pulsanteCancellaRiga(i) && w->pulsanteCancellaRiga(i)->isVisibleTo(w)) {
                EXPECT_LE(w->costo(i)->geometry().right(),
                          w->pulsanteCancellaRiga(i)->geometry().left());
                if (w->etichettaPercentuale(i)->isVisibleTo(w)) {
                    EXPECT_LE(w->pulsanteCancellaRiga(i)->geometry().right(),
                              w->etichettaPercentuale(i)->geometry().left());
                }
            }
        }
    };
    w->show();
    QCoreApplication::processEvents();
    controlla("al disegno");
    const double prima = static_cast<double>(w->costo(1)->width()) / w->tipo(1)->width();
    w->resize(w->width() * 2, w->height());
    QCoreApplication::processEvents();
    controlla("larga il doppio");
    EXPECT_NEAR(static_cast<double>(w->costo(1)->width()) / w->tipo(1)->width(), prima, 0.03);
}

}  // namespace
}  // namespace varimo
