// The everyday comforts of the two main windows, as a user meets them: undo
// and redo from the keyboard, the recent projects across two runs, the file
// and its unsaved mark in the titles, Ctrl+S and Ctrl+O, and the question of
// the calculation window's close box.
#include <QMenu>
#include <QPointer>
#include <QSettings>
#include <QWindow>

#include "calculation/progetto.h"
#include "programma_intero.h"

using namespace varimo;
using namespace varimo::test;

namespace {

// The project of the calculation window.
const Progetto& progettoAperto() {
    return Finestre::istanza().trova<Calcolo>()->progettoAperto();
}

class Comodita : public ProgrammaIntero {
  protected:
    void SetUp() override {
        ProgrammaIntero::SetUp();
        // The user's settings live in the test's own folder.
        ASSERT_TRUE(QDir(cartella.path()).mkpath(QStringLiteral("impostazioni")));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           cartella.path() + QStringLiteral("/impostazioni"));
    }

    // A calculation window with a project that passes the data check:
    // A = 1000, S = 10 % of A, and the project name typed in the framework
    // window.
    Calcolo* calcoloConDati(const QString& nome) {
        Calcolo* c = registro().mostra<Calcolo>();
        scrivi(c, QStringLiteral("costo_1"), QStringLiteral("1000"));
        scegliRiferimento(c, 17, 0);
        portaBarra(c, 17, 10);
        Economico* e = registro().mostra<Economico>();
        scrivi(e, QStringLiteral("nomeprog"), nome);
        attiva(c);
        return c;
    }
    static void attiva(QWidget* w) {
        Finestre::porta(w);
        QApplication::setActiveWindow(w);
    }
    // The program as it ends and starts again: every window closed by the
    // program, the shared values gone.
    void nuovaEsecuzione() {
        for (const QString& n : registro().nomiCaricate()) registro().chiudi(n);
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        registraFinestre();
    }
    // The title the window system shows.
    static QString titolo(QWidget* w) {
        return w->windowHandle() ? w->windowHandle()->title() : QString();
    }
    static QStringList recentiMostrati(QWidget* w) {
        QStringList r;
        for (int k = 1; k <= 8; ++k) {
            auto* a = w->findChild<QAction*>(QStringLiteral("recente_%1").arg(k));
            if (!a) break;
            r << a->toolTip();
        }
        return r;
    }
    // The frame's close box: the window system asks the window to close.
    static void chiudiDallaCornice(QWidget* w) {
        ASSERT_NE(w->windowHandle(), nullptr);
        w->windowHandle()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

}  // namespace

// A row deleted by mistake comes back with Ctrl+Z, every amount as before,
// while a text box has the focus; Ctrl+Y and Ctrl+Shift+Z bring the deletion
// back; keystrokes typed in one box go in one step; the framework window's
// Ctrl+Z acts on the same data.
TEST_F(Comodita, AnnullaERipetiDallaTastiera) {
    Calcolo* c = calcoloConDati(QStringLiteral("palestra"));
    scrivi(c, QStringLiteral("costo_2"), QStringLiteral("250"));
    auto mostrato = [c] {
        QStringList t;
        for (int i = 1; i <= kVoci; ++i)
            t << c->costo(i)->text() << c->etichettaPercentuale(i)->text()
              << c->elencoRiferimento(i)->currentText()
              << QString::number(c->barraPercentuale(i)->value());
        t << c->progetto()->text() << c->costoprogetto()->text()
          << QString::number(c->pulsanteSenzaVincolo()->isVisible());
        return t;
    };
    const QStringList prima = mostrato();
    ASSERT_EQ(c->costo(17)->text(), "100");

    attiva(c);
    clicca(c->pulsanteCancellaRiga(17));
    EXPECT_TRUE(c->costo(17)->text().isEmpty());
    EXPECT_EQ(c->etichettaPercentuale(17)->text(), "0");
    const QStringList cancellata = mostrato();
    QAction* annulla = voce(c, "annulla");
    QAction* ripeti = voce(c, "ripeti");
    EXPECT_TRUE(annulla->isEnabled());
    EXPECT_FALSE(ripeti->isEnabled());
    EXPECT_TRUE(annulla->text().contains(QLatin1Char('S')));  // names the row

    c->costo(3)->setFocus();
    QTest::keyClick(c->costo(3), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(mostrato(), prima);
    EXPECT_TRUE(c->costo(3)->text().isEmpty());  // the box did not undo itself
    EXPECT_TRUE(ripeti->isEnabled());
    QTest::keyClick(c->costo(3), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(mostrato(), cancellata);
    QTest::keyClick(c->costo(3), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(c->costo(3), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(mostrato(), cancellata);
    QTest::keyClick(c->costo(3), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(mostrato(), prima);

    // Keystrokes in one box: one step.
    scrivi(c, QStringLiteral("costo_3"), QStringLiteral("4321"));
    EXPECT_EQ(c->costo(4)->text(), "5571");
    QTest::keyClick(c->costo(3), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(mostrato(), prima);

    // From the framework window, with its project name box in focus.
    Economico* e = aperta<Economico>();
    attiva(e);
    e->nomeProgetto()->setFocus();
    QTest::keyClick(e->nomeProgetto(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(c->costo(3)->text(), "4321");
    EXPECT_EQ(e->nomeProgetto()->text(), "palestra");
    EXPECT_TRUE(voce(e, "annulla")->isEnabled());

    // A drag of a scroll bar's thumb: one step, however many values it passed.
    QScrollBar* h = c->barraPercentuale(17);
    QStyleOptionSlider o;
    o.initFrom(h);
    o.orientation = h->orientation();
    o.minimum = h->minimum();
    o.maximum = h->maximum();
    o.sliderPosition = h->sliderPosition();
    o.sliderValue = h->value();
    o.singleStep = h->singleStep();
    o.pageStep = h->pageStep();
    const QPoint presa =
        h->style()
            ->subControlRect(QStyle::CC_ScrollBar, &o, QStyle::SC_ScrollBarSlider, h)
            .center();
    const int passi = c->progettoAperto().passiAnnullabili();
    const QStringList primaDelTrascinamento = mostrato();
    QTest::mousePress(h, Qt::LeftButton, {}, presa);
    for (int dx = 4; dx <= 40; dx += 4) QTest::mouseMove(h, presa + QPoint(dx, 0));
    QTest::mouseRelease(h, Qt::LeftButton, {}, presa + QPoint(40, 0));
    EXPECT_GT(h->value(), 12);
    EXPECT_EQ(c->progettoAperto().passiAnnullabili(), passi + 1);
    voce(c, "annulla")->trigger();
    EXPECT_EQ(mostrato(), primaDelTrascinamento);
    voce(c, "ripeti")->trigger();
    voce(c, "annulla")->trigger();
    // Digits typed into the bar with the focus: 2 then 2 make 22 %, one step.
    attiva(c);
    h->setFocus();
    QTest::keyClick(h, Qt::Key_2);
    QTest::keyClick(h, Qt::Key_2);
    EXPECT_EQ(h->value(), 22);
    EXPECT_EQ(c->progettoAperto().passiAnnullabili(), passi + 1);
    voce(c, "annulla")->trigger();
    EXPECT_EQ(mostrato(), primaDelTrascinamento);

    // Nothing left to undo: Ctrl+Z in a box changes nothing at all.
    while (c->progettoAperto().puoAnnullare()) voce(c, "annulla")->trigger();
    EXPECT_FALSE(voce(c, "annulla")->isEnabled());
    EXPECT_FALSE(voce(e, "annulla")->isEnabled());
    attiva(c);
    c->costo(1)->setFocus();
    const QStringList inizio = mostrato();
    QTest::keyClick(c->costo(1), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(mostrato(), inizio);
}

// Ctrl+S saves (the first time through the dialog, then straight to the file),
// and both titles name the file and show the unsaved mark; Ctrl+O opens a
// project, which then counts as saved.
TEST_F(Comodita, TitoloECtrlS) {
    Calcolo* c = registro().mostra<Calcolo>();
    const QString didascalia = c->windowTitle().remove(QStringLiteral("[*]"));
    EXPECT_EQ(titolo(c), didascalia);  // a fresh window: the caption alone
    EXPECT_FALSE(c->isWindowModified());
    c = calcoloConDati(QStringLiteral("palestra"));
    Economico* e = aperta<Economico>();
    const QString didascaliaQuadro = e->windowTitle().remove(QStringLiteral("[*]"));
    EXPECT_TRUE(c->isWindowModified());
    EXPECT_TRUE(e->isWindowModified());
    EXPECT_NE(titolo(c), didascalia);

    const QString file = percorsoProgetto(QStringLiteral("Varimo-dati-palestra"));
    utente.scegliFile(file);
    attiva(c);
    c->costo(2)->setFocus();
    QTest::keyClick(c->costo(2), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(utente.richiesteFile.size(), 1);
    ASSERT_TRUE(QFile::exists(file));
    EXPECT_FALSE(c->isWindowModified());
    EXPECT_FALSE(e->isWindowModified());
    const QString conFile = didascalia + QStringLiteral(" \u2013 Varimo-dati-palestra");
    EXPECT_EQ(titolo(c), conFile);
    EXPECT_EQ(titolo(e), didascaliaQuadro + QStringLiteral(" \u2013 Varimo-dati-palestra"));

    scrivi(c, QStringLiteral("costo_2"), QStringLiteral("500"));
    EXPECT_TRUE(c->isWindowModified());
    EXPECT_EQ(titolo(c), conFile + QLatin1Char('*'));
    QTest::keyClick(c->costo(2), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(utente.richiesteFile.size(), 1);  // no dialog the second time
    EXPECT_FALSE(c->isWindowModified());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("\"500\""));
    f.close();

    // Undo back past the save: unsaved again; redo to it: saved.
    voce(c, "annulla")->trigger();
    EXPECT_TRUE(c->isWindowModified());
    voce(c, "ripeti")->trigger();
    EXPECT_FALSE(c->isWindowModified());

    // Ctrl+O in the framework window: a fresh window opens the project.
    nuovaEsecuzione();
    c = registro().mostra<Calcolo>();
    scrivi(c, QStringLiteral("costo_5"), QStringLiteral("9"));
    e = registro().mostra<Economico>();
    utente.scegliFile(file);
    attiva(e);
    e->nomeProgetto()->setFocus();
    QTest::keyClick(e->nomeProgetto(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(c->costo(2)->text(), "500");
    EXPECT_TRUE(c->costo(5)->text().isEmpty());
    EXPECT_FALSE(c->isWindowModified());
    EXPECT_EQ(titolo(c), conFile);
    // The Open is one step: undo gives back the work that was on screen,
    // which no file holds.
    voce(e, "annulla")->trigger();
    EXPECT_EQ(c->costo(5)->text(), "9");
    EXPECT_TRUE(c->costo(2)->text().isEmpty());
    EXPECT_TRUE(c->isWindowModified());
    EXPECT_EQ(titolo(c), didascalia + QLatin1Char('*'));
    EXPECT_FALSE(c->progettoAperto().puoAnnullare());
}

// The recent projects survive the end of the program: a second run lists
// them, most recent first, in both windows; one opens as Open does; one that
// is gone leaves the list with a message.
TEST_F(Comodita, ProgettiRecentiTraDueEsecuzioni) {
    const QString palestra = percorsoProgetto(QStringLiteral("Varimo-dati-palestra"));
    const QString scuola = percorsoProgetto(QStringLiteral("Varimo-dati-scuola"));
    Calcolo* c = calcoloConDati(QStringLiteral("palestra"));
    EXPECT_FALSE(voce(c, "recenti")->isEnabled());
    utente.scegliFile(palestra);
    voce(c, "salva")->trigger();
    scrivi(c, QStringLiteral("costo_1"), QStringLiteral("2000"));
    utente.scegliFile(scuola);
    voce(c, "salvanome")->trigger();
    utente.scegliFile(palestra);
    voce(c, "apri")->trigger();  // opened again: first in the list
    EXPECT_EQ(recentiMostrati(c), QStringList({palestra, scuola}));

    nuovaEsecuzione();
    c = registro().mostra<Calcolo>();
    Economico* e = registro().carica<Economico>();
    EXPECT_EQ(recentiMostrati(c), QStringList({palestra, scuola}));
    EXPECT_EQ(recentiMostrati(e), QStringList({palestra, scuola}));
    QAction* scuolaVoce = voce(c, "recente_2");
    EXPECT_EQ(scuolaVoce->text(), "Varimo-dati-scuola");
    scuolaVoce->trigger();
    EXPECT_EQ(c->costo(1)->text(), "2000");
    EXPECT_EQ(progettoAperto().nome(), "palestra");
    EXPECT_EQ(c->progettoAperto().percorso(), scuola);
    EXPECT_EQ(recentiMostrati(e), QStringList({scuola, palestra}));

    // A file deleted since: a message, and the list forgets it.
    ASSERT_TRUE(QFile::remove(palestra));
    const int messaggi = static_cast<int>(utente.messaggi.size());
    voce(e, "recente_2")->trigger();
    ASSERT_EQ(utente.messaggi.size(), messaggi + 1);
    EXPECT_TRUE(utente.messaggi.last().testo.contains(QDir::toNativeSeparators(palestra)));
    EXPECT_EQ(c->costo(1)->text(), "2000");  // nothing was cleared
    EXPECT_EQ(recentiMostrati(c), QStringList({scuola}));
    nuovaEsecuzione();
    EXPECT_EQ(recentiMostrati(registro().mostra<Calcolo>()), QStringList({scuola}));
}

// The close box of the calculation window with unsaved changes: Annulla
// keeps it open and untouched, Sì saves and closes only when the save
// succeeded, No closes without saving; with nothing unsaved, or through the
// exit command, no such question is asked.
TEST_F(Comodita, LaCorniceChiedePrimaDiPerdereIlLavoro) {
    Calcolo* c = calcoloConDati(QStringLiteral("palestra"));
    QPointer<Calcolo> finestra = c;
    int domande = 0;
    utente.allaDomanda = [&](const Messaggio& m) {
        if (m.pulsanti == Pulsanti::SiNoAnnulla) ++domande;
    };

    // Annulla.
    utente.rispondi(Risposta::Annulla);
    chiudiDallaCornice(c);
    EXPECT_EQ(domande, 1);
    ASSERT_FALSE(finestra.isNull());
    EXPECT_EQ(aperta<Calcolo>(), c);
    EXPECT_TRUE(c->isVisible());
    EXPECT_EQ(c->costo(17)->text(), "100");
    EXPECT_TRUE(c->isWindowModified());

    // Sì, and the save dialog cancelled: the window stays.
    utente.rispondi(Risposta::Si);
    utente.scegliFile(std::nullopt);
    chiudiDallaCornice(c);
    EXPECT_EQ(domande, 2);
    ASSERT_FALSE(finestra.isNull());
    EXPECT_TRUE(c->isVisible());

    // Sì, saved: closed.
    const QString file = percorsoProgetto(QStringLiteral("Varimo-dati-palestra"));
    utente.rispondi(Risposta::Si);
    utente.scegliFile(file);
    chiudiDallaCornice(c);
    EXPECT_EQ(domande, 3);
    EXPECT_TRUE(finestra.isNull());
    EXPECT_EQ(aperta<Calcolo>(), nullptr);
    EXPECT_TRUE(QFile::exists(file));

    // Nothing unsaved: the close box closes at once.
    c = registro().mostra<Calcolo>();
    finestra = c;
    chiudiDallaCornice(c);
    EXPECT_EQ(domande, 3);
    EXPECT_TRUE(finestra.isNull());

    // No: closed, nothing written.
    c = registro().mostra<Calcolo>();
    finestra = c;
    utente.scegliFile(file);
    voce(c, "apri")->trigger();
    scrivi(c, QStringLiteral("costo_1"), QStringLiteral("7"));
    const QByteArray salvato = [&] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    utente.rispondi(Risposta::No);
    chiudiDallaCornice(c);
    EXPECT_EQ(domande, 4);
    EXPECT_TRUE(finestra.isNull());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), salvato);

    // The exit command asks its own question only.
    c = registro().mostra<Calcolo>();
    scrivi(c, QStringLiteral("costo_1"), QStringLiteral("7"));
    utente.rispondi(Risposta::Si);
    voce(c, "esci")->trigger();
    EXPECT_EQ(domande, 4);
    EXPECT_EQ(aperta<Calcolo>(), nullptr);
}
