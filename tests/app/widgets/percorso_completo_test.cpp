// One whole session, only through the program's own windows, as a user works:
// splash, calculation, hand-off to the framework, save, print, help, exit,
// farewell, a fresh calculation window and the saved project opened again.
#include <QPointer>
#include <QSignalSpy>
#include <cmath>

#include "calculation/comandifile.h"
#include "calculation/progetto.h"
#include "calculation/statocalcolo.h"
#include "help/widgets/guide.h"
#include "help/widgets/sommario.h"
#include "help/widgets/suggerimentodelgiorno.h"
#include "programma_intero.h"
#include "reports/lettore_docx.h"

using namespace varimo;
using namespace varimo::test;

namespace {

// The project of the calculation window.
const Progetto& progettoAperto() {
    return Finestre::istanza().trova<Calcolo>()->progettoAperto();
}

class PercorsoCompleto : public ProgrammaIntero {};

// The framework window's rows as shown: number, label, amount, percentage,
// reference.
struct RigaMostrata {
    QString num, tipo, costo, perc, riferimento;
};

QStringList righeFile(const QByteArray& b) {
    QStringList r = QString::fromLatin1(b).split(QStringLiteral("\r\n"));
    return r;
}

}  // namespace

TEST_F(PercorsoCompleto, DallaSplashAlProgettoRiaperto) {
    // (1) The program starts on its splash; a click opens the calculation window.
    Saluto* splash = registro().mostra<Saluto>();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(registro().nomiCaricate(), QStringList{"frmSplash"});
    clicca(splash);
    Calcolo* c = aperta<Calcolo>();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->isVisible());
    EXPECT_TRUE(splash->isVisible());
    EXPECT_NE(c->findChild<QToolBar*>(QStringLiteral("Toolbar1")), nullptr);
    for (int i = 1; i <= kVoci; ++i) EXPECT_TRUE(c->costo(i)->text().isEmpty()) << i;

    // (2) 1000 in row A.
    scrivi(c, "costo_1", QStringLiteral("1000"));
    EXPECT_EQ(c->costo(4)->text(), "1000");
    EXPECT_EQ(c->costo(18)->text(), "0");
    EXPECT_EQ(c->progetto()->text(), "1000");

    // (3) Row S: reference A, scroll bar to 10.
    scegliRiferimento(c, 17, 0);
    EXPECT_EQ(c->elencoRiferimento(17)->currentText(), "Lavori a misura");
    EXPECT_EQ(c->costo(17)->text(), "0");
    portaBarra(c, 17, 10);
    EXPECT_EQ(c->etichettaPercentuale(17)->text(), "10");
    EXPECT_EQ(c->costo(17)->text(), "100");
    EXPECT_EQ(c->costo(18)->text(), "100");
    EXPECT_EQ(c->progetto()->text(), "1100");
    EXPECT_TRUE(utente.messaggi.isEmpty());

    // (4) "Visualizza": the framework shows A, D, S, T numbered 1..4 and the
    // total; the calculation window takes 1100 as constrained total, which
    // the rows already make: no amount moves.
    clicca(c->pulsanteVisualizza());
    Economico* e = aperta<Economico>();
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->isVisible());
    EXPECT_TRUE(c->isVisible());
    const QList<RigaMostrata> attese = {
        {"1", "Lavori a misura", "1.000,00", "0", ""},
        {"2", "Importo a base dell'appalto", "1.000,00", "0", ""},
        {"3", "IVA sui lavori", "100,00", "10", "Lavori a misura"},
        {"4", "Totale somme a disposizione", "100,00", "0", ""},
    };
    for (int k = 1; k <= 18; ++k) {
        const bool mostrata = k <= attese.size();
        EXPECT_EQ(e->numero(k)->isVisible(), mostrata) << k;
        EXPECT_EQ(e->tipo(k)->isVisible(), mostrata) << k;
        EXPECT_EQ(e->costo(k)->isVisible(), mostrata) << k;
        if (!mostrata) continue;
        const RigaMostrata& a = attese.at(k - 1);
        EXPECT_EQ(e->numero(k)->text(), a.num) << k;
        EXPECT_EQ(e->tipo(k)->text(), a.tipo) << k;
        EXPECT_EQ(e->costo(k)->text(), a.costo) << k;
        EXPECT_EQ(e->etichettaPercentuale(k)->text(), a.perc) << k;
        EXPECT_EQ(e->riferimento(k)->text(), a.riferimento) << k;
    }
    EXPECT_EQ(e->tipo(19)->text(), "TOTALE PROGETTO (in euro)");
    EXPECT_EQ(e->costo(19)->text(), "1.100,00");
    EXPECT_EQ(c->costoprogetto()->text(), "1100");
    EXPECT_EQ(c->costo(1)->text(), "1000");
    EXPECT_EQ(c->costo(17)->text(), "100");
    EXPECT_EQ(c->progetto()->text(), "1100");
    EXPECT_EQ(Finestre::istanza().trova<Calcolo>()->stato().statovincolo, StatoVincolo::InAttesa);

    // (5) Project name in the framework window, Save from its menu.
    scrivi(e, "nomeprog", QStringLiteral("Scuola di Prova"));
    EXPECT_EQ(progettoAperto().nome(), "Scuola di Prova");
    const QString file = percorsoProgetto(QStringLiteral("Varimo-dati-scuola"));
    utente.scegliFile(file);
    voce(e, "salva")->trigger();
    EXPECT_TRUE(utente.messaggi.isEmpty()) << qPrintable(utente.testi().join(" | "));
    ASSERT_EQ(utente.richiesteFile.size(), 1);
    const RichiestaFile& dialogo = utente.richiesteFile.first();
    EXPECT_EQ(dialogo.titolo, testifile::titoloSalva);
    EXPECT_EQ(dialogo.nomeFile, "Varimo-dati-");
    EXPECT_TRUE(dialogo.salvataggio);
    ASSERT_EQ(dialogo.filtri.size(), 1);
    EXPECT_EQ(dialogo.filtri[0].descrizione, "File Varimo-dati- ");
    EXPECT_EQ(dialogo.filtri[0].modello, "Varimo-dati-*");
    EXPECT_EQ(dialogo.filtroScelto, 0);
    EXPECT_EQ(c->progettoAperto().percorso(), file);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), c);

    QFile scritto(file);
    ASSERT_TRUE(scritto.open(QIODevice::ReadOnly));
    const QByteArray contenuto = scritto.readAll();
    scritto.close();
    EXPECT_TRUE(contenuto.endsWith("\r\n"));
    EXPECT_EQ(contenuto.count("\r\n"), 19);
    EXPECT_EQ(contenuto.count('\n'), 19);
    const QStringList righe = righeFile(contenuto);
    ASSERT_EQ(righe.size(), 20);  // the last line end leaves an empty piece
    EXPECT_EQ(righe[0], "\"Scuola di Prova\",\"euro\"");
    EXPECT_EQ(righe[1], "\"Lavori a misura\",\"1000\",\"0\",0,");
    EXPECT_EQ(righe[2], "\"Lavori a corpo\",\"\",\"0\",0,");
    EXPECT_EQ(righe[4], "\"Importo a base dell'appalto\",\"1000\",\"0\",0,");
    EXPECT_EQ(righe[17], "\"IVA sui lavori\",\"100\",\"10\",\"1000\",1");
    EXPECT_EQ(righe[18], "\"Totale somme a disposizione\",\"100\",\"0\",0,");
    for (int i = 1; i <= kVoci; ++i)
        EXPECT_TRUE(righe[i].startsWith(QLatin1Char('"') + etichettaIniziale(i) + "\","))
            << qPrintable(righe[i]);

    // (6) Print from the framework window: heading and table of the framework.
    voce(e, "stampa")->trigger();
    ASSERT_EQ(documenti.size(), 1);
    const CorpoLetto doc = leggiDocx(documenti.first());
    ASSERT_TRUE(doc.errore.isEmpty()) << qPrintable(doc.errore);
    const QStringList intestazione = {"Varimo", "elaborazione di un quadro economico",
                                      "",       "- Progetto: Scuola di Prova",
                                      "",       "QUADRO ECONOMICO - valori in euro"};
    const QList<ParagrafoLetto> paragrafi = doc.paragrafi();
    ASSERT_GE(paragrafi.size(), intestazione.size());
    for (int i = 0; i < intestazione.size(); ++i) EXPECT_EQ(paragrafi[i].testo, intestazione[i]);
    const QList<TabellaLetta> tabelle = doc.tabelle();
    ASSERT_EQ(tabelle.size(), 1);
    const TabellaLetta& t = tabelle.first();
    ASSERT_EQ(t.righe.size(), 6);
    ASSERT_EQ(t.colonne(), 3);
    const QList<QStringList> celle = {
        {"numero", "voce", "costo"},
        {" 1", "Lavori a misura", "1.000,00"},
        {" 2", "Importo a base dell'appalto", "1.000,00"},
        {" 3", "IVA sui lavori", "100,00"},
        {" 4", "Totale somme a disposizione", "100,00"},
        {" 5", "TOTALE PROGETTO (in euro)", "1.100,00"},
    };
    for (int r = 1; r <= 6; ++r)
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(t.cella(r, k).testo(), celle[r - 1][k - 1]) << r << "," << k;

    // (7) Help: the contents from the menu, a guide from the contents, the tips.
    voce(e, "guida")->trigger();
    auto* sommario = aperta<Sommario>();
    ASSERT_NE(sommario, nullptr);
    EXPECT_TRUE(sommario->isVisible());
    clicca(controllo<QPushButton>(sommario, QStringLiteral("puls_1")));
    auto* manuale = aperta<Manuale>();
    ASSERT_NE(manuale, nullptr);
    EXPECT_TRUE(manuale->isVisible());
    EXPECT_EQ(testo(manuale, QStringLiteral("Label1")), "MANUALE D'USO RAPIDO");
    voce(c, "suggerisco")->trigger();
    auto* tip = aperta<SuggerimentoDelGiorno>();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->testoSuggerimento()->text(), kSuggerimenti.first());

    // (8) Exit: the question, Yes, the farewell splash; nothing else stays.
    QPointer<Calcolo> vecchio = c;
    utente.rispondi(Risposta::Si);
    clicca(c->pulsanteEsci());
    ASSERT_FALSE(utente.messaggi.isEmpty());
    EXPECT_EQ(utente.messaggi.last().testo, "Vuoi uscire da Varimo?");
    EXPECT_EQ(utente.messaggi.last().titolo, "Attenzione: i dati non archiviati andranno persi !");
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(vecchio.isNull());
    EXPECT_EQ(registro().nomiCaricate(), QStringList{"frmSplash"});
    EXPECT_EQ(aperta<Saluto>(), splash);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->etichetta(2)->text(), Saluto::kCongedo);

    // (9) A click on the farewell: a fresh calculation window in its start state.
    clicca(splash);
    c = aperta<Calcolo>();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->isVisible());
    for (int i = 1; i <= kVoci; ++i) {
        EXPECT_TRUE(c->costo(i)->text().isEmpty()) << i;
        EXPECT_EQ(c->etichettaPercentuale(i)->text(), "0") << i;
        EXPECT_EQ(c->elencoRiferimento(i)->currentIndex(), -1) << i;
    }
    EXPECT_TRUE(c->progetto()->text().isEmpty());
    EXPECT_TRUE(c->costoprogetto()->text().isEmpty());
    EXPECT_FALSE(c->pulsanteSenzaVincolo()->isVisible());
    EXPECT_TRUE(c->progettoAperto().percorso().isEmpty());
    EXPECT_EQ(aperta<Economico>(), nullptr);

    // (10) Open the saved file: everything comes back.
    const int messaggiPrima = static_cast<int>(utente.messaggi.size());
    utente.scegliFile(file);
    voce(c, "apri")->trigger();
    EXPECT_EQ(utente.messaggi.size(), messaggiPrima) << qPrintable(utente.testi().join(" | "));
    ASSERT_EQ(utente.richiesteFile.size(), 2);
    const RichiestaFile& apri = utente.richiesteFile.last();
    EXPECT_EQ(apri.titolo, "Apri file (sezioni)");
    EXPECT_TRUE(apri.nomeFile.isEmpty());
    EXPECT_FALSE(apri.salvataggio);
    ASSERT_EQ(apri.filtri.size(), 2);
    EXPECT_EQ(apri.filtroScelto, 1);
    EXPECT_EQ(c->progettoAperto().percorso(), file);
    for (int i = 1; i <= kVoci; ++i) EXPECT_EQ(c->tipo(i)->text(), etichettaIniziale(i)) << i;
    const QList<QPair<int, QString>> importi = {{1, "1000"}, {2, ""},     {3, ""},    {4, "1000"},
                                                {5, ""},     {17, "100"}, {18, "100"}};
    for (const auto& [i, atteso] : importi) EXPECT_EQ(c->costo(i)->text(), atteso) << i;
    EXPECT_EQ(c->progetto()->text(), "1100");
    EXPECT_EQ(c->etichettaPercentuale(17)->text(), "10");
    EXPECT_EQ(c->barraPercentuale(17)->value(), 10);
    EXPECT_EQ(c->elencoRiferimento(17)->currentIndex(), 0);
    EXPECT_EQ(c->elencoRiferimento(17)->currentText(), "Lavori a misura");
    for (int i = 2; i <= 16; ++i) {
        if (!StatoCalcolo::percentualeVisibile(i)) continue;
        EXPECT_EQ(c->elencoRiferimento(i)->currentIndex(), -1) << i;
        EXPECT_EQ(c->elencoRiferimento(i)->count(), kVoci) << i;
    }
    Economico* quadro = aperta<Economico>();
    ASSERT_NE(quadro, nullptr);
    EXPECT_EQ(quadro->nomeProgetto()->text(), "Scuola di Prova");
    EXPECT_EQ(quadro->valuta()->currentText(), "euro");
    EXPECT_EQ(quadro->tipo(19)->text(), "TOTALE PROGETTO (in euro)");
    EXPECT_EQ(progettoAperto().nome(), "Scuola di Prova");
    EXPECT_EQ(progettoAperto().valuta(), "euro");
}

// The way back from the framework window, switching the constraint off, and
// the fresh calculation window after the exit: its constrained total drives
// row A again, whatever the previous window left behind.
TEST_F(PercorsoCompleto, RielaboraSenzaVincoloPoiUscitaEFinestraNuova) {
    Saluto* splash = registro().mostra<Saluto>();
    clicca(splash);
    Calcolo* c = aperta<Calcolo>();
    ASSERT_NE(c, nullptr);
    scrivi(c, QStringLiteral("costo_1"), QStringLiteral("1000"));
    scegliRiferimento(c, 17, 0);
    portaBarra(c, 17, 10);
    clicca(c->pulsanteVisualizza());
    Economico* e = aperta<Economico>();
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(c->costo(1)->text(), "1000");

    // "Rielabora": the calculation window in front with its button shown.
    clicca(e->pulsanteRielabora());
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), c);
    EXPECT_TRUE(e->isVisible());
    EXPECT_TRUE(c->pulsanteSenzaVincolo()->isVisible());
    EXPECT_EQ(Finestre::istanza().trova<Calcolo>()->stato().statovincolo, StatoVincolo::InAttesa);

    // A higher percentage of S: row A moves down, the total stays at 1100,
    // met to the cent (A = 990,98 would make 1099,99 with its 11 %).
    portaBarra(c, 17, 11);
    const double a = QLocale().toDouble(c->costo(1)->text());
    EXPECT_EQ(c->costo(1)->text(), "990,99");
    const double s = std::floor(11.0 / 100 * std::round(a * 100) + 0.5) / 100;
    EXPECT_EQ(c->costo(17)->text(), QLocale().toString(s, 'g', 15));
    EXPECT_EQ(c->progetto()->text(), "1100");
    EXPECT_EQ(c->costoprogetto()->text(), "1100");
    EXPECT_EQ(Finestre::istanza().trova<Calcolo>()->stato().statovincolo, StatoVincolo::Nessuno);

    // "senza importo vincolato": the total is free again.
    const QString rigaA = c->costo(1)->text();
    clicca(c->pulsanteSenzaVincolo());
    EXPECT_FALSE(c->pulsanteSenzaVincolo()->isVisible());
    EXPECT_TRUE(c->costoprogetto()->text().isEmpty());
    EXPECT_EQ(Finestre::istanza().trova<Calcolo>()->stato().statovincolo, StatoVincolo::Spento);
    portaBarra(c, 17, 20);
    EXPECT_EQ(c->costo(1)->text(), rigaA);
    EXPECT_GT(QLocale().toDouble(c->progetto()->text()), 1150);
    const QString totale = c->progetto()->text();
    clicca(c->pulsanteVisualizza());
    EXPECT_EQ(c->costoprogetto()->text(), totale);
    EXPECT_EQ(c->costo(1)->text(), rigaA);
    EXPECT_EQ(c->progetto()->text(), totale);

    // Exit, and a new calculation window from the farewell splash.
    utente.rispondi(Risposta::Si);
    voce(e, "esci")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(registro().nomiCaricate(), QStringList{"frmSplash"});
    clicca(splash);
    c = aperta<Calcolo>();
    ASSERT_NE(c, nullptr);
    EXPECT_FALSE(c->pulsanteSenzaVincolo()->isVisible());
    EXPECT_EQ(Finestre::istanza().trova<Calcolo>()->stato().statovincolo, StatoVincolo::Nessuno);

    // A constrained total typed first becomes row A; with a row B of 10 %
    // of A the descent brings the total back to 2000 in whole units.
    scrivi(c, QStringLiteral("costoprogetto"), QStringLiteral("2000"));
    EXPECT_EQ(c->costo(1)->text(), "2000");
    EXPECT_EQ(c->progetto()->text(), "2000");
    scegliRiferimento(c, 2, 0);
    portaBarra(c, 2, 10);
    EXPECT_EQ(std::floor(QLocale().toDouble(c->progetto()->text())), 2000);
    EXPECT_LT(QLocale().toDouble(c->costo(1)->text()), 2000);
    EXPECT_EQ(c->costoprogetto()->text(), "2000");
}

// Windows closed with their frame's close control, the splash closed by a key,
// and the help windows after an exit: each comes back as it should.
TEST_F(PercorsoCompleto, FinestreChiuseERiaperte) {
    Saluto* splash = registro().mostra<Saluto>();
    clicca(splash);
    Calcolo* c = aperta<Calcolo>();
    ASSERT_NE(c, nullptr);
    scrivi(c, QStringLiteral("costo_1"), QStringLiteral("1000"));
    clicca(c->pulsanteVisualizza());
    Economico* e = aperta<Economico>();
    ASSERT_NE(e, nullptr);
    scrivi(e, QStringLiteral("nomeprog"), QStringLiteral("Strada"));
    QLineEdit* valuta = e->valuta()->lineEdit();
    valuta->setFocus();
    valuta->selectAll();
    QTest::keyClicks(valuta, QStringLiteral("sterline"));
    ASSERT_EQ(progettoAperto().valuta(), "sterline");

    // A key on the splash closes only the splash.
    QTest::keyClick(splash, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(registro().caricata(QStringLiteral("frmSplash")));
    EXPECT_TRUE(c->isVisible() && e->isVisible());

    // The calculation window closed by its frame, its unsaved work given up;
    // Ctrl+A in the framework window builds a new one. The currency the
    // framework window shows is still the one that prints and saves.
    QPointer<Calcolo> vecchio = c;
    utente.rispondi(Risposta::No);
    c->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(vecchio.isNull());
    EXPECT_TRUE(e->isVisible());
    Finestre::porta(e);
    QApplication::setActiveWindow(e);
    e->nomeProgetto()->setFocus();
    QTest::keyClick(e->nomeProgetto(), Qt::Key_A, Qt::ControlModifier);
    c = aperta<Calcolo>();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->isVisible());
    EXPECT_TRUE(c->costo(1)->text().isEmpty());
    EXPECT_EQ(e->valuta()->currentText(), "sterline");
    EXPECT_EQ(progettoAperto().valuta(), "sterline");
    scrivi(c, QStringLiteral("costo_1"), QStringLiteral("400"));
    clicca(c->pulsanteVisualizza());
    EXPECT_EQ(e->tipo(19)->text(), "TOTALE PROGETTO (in sterline)");
    voce(c, "stampa")->trigger();
    ASSERT_EQ(documenti.size(), 1);
    const CorpoLetto d = leggiDocx(documenti.last());
    ASSERT_GE(d.paragrafi().size(), 6);
    EXPECT_EQ(d.paragrafi()[5].testo, "Calcolo del QUADRO ECONOMICO - valori in sterline");

    // The whole guide printed from the contents: one document with the four
    // guides, the file beside the program, no guide window shown.
    voce(e, "guida")->trigger();
    QWidget* sommario = registro().finestra(QStringLiteral("sommario"));
    ASSERT_NE(sommario, nullptr);
    clicca(controllo<QPushButton>(sommario, QStringLiteral("cmdStampa")));
    ASSERT_EQ(documenti.size(), 2);
    EXPECT_TRUE(QFile::exists(cartellaProgrammaProva() + QStringLiteral("/Varimo-guida.docx")));
    QStringList titoli;
    int interruzioni = 0;
    for (const ParagrafoLetto& p : leggiDocx(documenti.last()).paragrafi()) {
        interruzioni += p.interruzioniPagina;
        QString t = p.testo;
        t.remove(QChar(12));  // each guide after the first starts on a new page
        if (t.startsWith(QStringLiteral("Guida: "))) titoli << t;
    }
    EXPECT_EQ(interruzioni, 3);
    EXPECT_EQ(titoli,
              QStringList({"Guida: MANUALE D'USO RAPIDO", "Guida: FUNZIONAMENTO DEL PROGRAMMA",
                           "Guida: Finestra CALCOLO", "Guida: Finestra QUADRO ECONOMICO"}));
    for (const char* g : {"manuale", "guidafunzionamento", "guidacalcolo", "guidaquadro"}) {
        QWidget* w = registro().finestra(QString::fromLatin1(g));
        EXPECT_TRUE(w == nullptr || !w->isVisible()) << g;
    }

    // A tip moved on, then the exit: every window goes, the splash is built
    // again for the farewell; a new tip window starts from the first tip.
    voce(c, "suggerisco")->trigger();
    clicca(aperta<SuggerimentoDelGiorno>()->pulsanteSeguente());
    ASSERT_EQ(aperta<SuggerimentoDelGiorno>()->testoSuggerimento()->text(), kSuggerimenti[1]);
    utente.rispondi(Risposta::Si);
    clicca(pulsanteBarra(c, 19));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(registro().nomiCaricate(), QStringList{"frmSplash"});
    splash = aperta<Saluto>();
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(splash->etichetta(2)->text(), Saluto::kCongedo);
    EXPECT_EQ(splash->etichetta(3)->text(), "Varimo");
    clicca(splash);
    c = aperta<Calcolo>();
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(progettoAperto().valuta(), "euro");
    clicca(pulsanteBarra(c, 13));
    ASSERT_NE(aperta<SuggerimentoDelGiorno>(), nullptr);
    EXPECT_EQ(aperta<SuggerimentoDelGiorno>()->testoSuggerimento()->text(), kSuggerimenti[0]);
}

// The framework window closed with its frame and built again by the next
// hand-off shows the project name and currency that print and save; its
// buttons answer their access keys; a key on the farewell splash ends all.
TEST_F(PercorsoCompleto, QuadroRicostruitoTastiDiAccessoEFine) {
    Calcolo* c = registro().mostra<Calcolo>();
    ASSERT_NE(c, nullptr);
    scrivi(c, QStringLiteral("costo_1"), QStringLiteral("300"));
    Finestre::porta(c);
    QApplication::setActiveWindow(c);
    c->costo(1)->setFocus();
    // An access key presses its button as a click would, released a moment later.
    QTest::keyClick(c->costo(1), Qt::Key_Z, Qt::AltModifier);  // "Visuali&zza"
    EXPECT_TRUE(QTest::qWaitFor([] { return aperta<Economico>() != nullptr; }, 2000));
    Economico* e = aperta<Economico>();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->costo(19)->text(), "300,00");
    EXPECT_EQ(c->costoprogetto()->text(), "300");
    scrivi(e, QStringLiteral("nomeprog"), QStringLiteral("Piazza"));
    QLineEdit* valuta = e->valuta()->lineEdit();
    valuta->setFocus();
    valuta->selectAll();
    QTest::keyClicks(valuta, QStringLiteral("yen"));
    ASSERT_EQ(progettoAperto().valuta(), "yen");

    QPointer<Economico> vecchio = e;
    e->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(vecchio.isNull());
    clicca(c->pulsanteVisualizza());
    e = aperta<Economico>();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->nomeProgetto()->text(), progettoAperto().nome());
    EXPECT_EQ(e->valuta()->currentText(), progettoAperto().valuta());
    EXPECT_EQ(e->tipo(19)->text(), "TOTALE PROGETTO (in " + progettoAperto().valuta() + ")");
    voce(e, "stampa")->trigger();
    ASSERT_EQ(documenti.size(), 1);
    const CorpoLetto d = leggiDocx(documenti.last());
    ASSERT_GE(d.paragrafi().size(), 6);
    ASSERT_EQ(d.tabelle().size(), 1);
    EXPECT_EQ(d.paragrafi()[3].testo, "- Progetto: " + e->nomeProgetto()->text());
    EXPECT_EQ(d.paragrafi()[5].testo, "QUADRO ECONOMICO - valori in " + e->valuta()->currentText());
    EXPECT_EQ(d.tabelle()[0].righe.last()[1].testo(), e->tipo(19)->text());

    // "&Rielabora" and "&USCITA" by their access keys.
    Finestre::porta(e);
    QApplication::setActiveWindow(e);
    e->nomeProgetto()->setFocus();
    QTest::keyClick(e->nomeProgetto(), Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([c] { return c->pulsanteSenzaVincolo()->isVisible(); }, 2000));
    EXPECT_EQ(Finestre::istanza().trova<Calcolo>()->stato().statovincolo, StatoVincolo::InAttesa);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), c);
    c->costo(1)->setFocus();
    utente.rispondi(Risposta::Si);
    QTest::keyClick(c->costo(1), Qt::Key_U, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !utente.messaggi.isEmpty(); }, 2000));
    ASSERT_EQ(utente.testi(), QStringList{"Vuoi uscire da Varimo?"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(registro().nomiCaricate(), QStringList{"frmSplash"});

    // A key on the farewell splash: no window is left.
    QSignalSpy fine(&registro(), &Finestre::nessunaFinestra);
    QTest::keyClick(aperta<Saluto>(), Qt::Key_Space);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(fine.count(), 1);
    EXPECT_EQ(registro().numeroCaricate(), 0);
}
