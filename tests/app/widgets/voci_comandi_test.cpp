// Every menu item, command-bar button and command button of both real main
// windows, pressed as the user presses it, with the effect it must have; then
// the switching keys, the own-window question, the tip window and the colour.
#include <QPointer>

#include "calculation/comandifile.h"
#include "calculation/progetto.h"
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

enum class Via { Menu, Barra, Tasto };

struct Voce {
    Via via;
    const char* nome;    // menu item or button name; empty for the bar
    int posizione;       // command-bar position
    const char* azione;  // the operation it reaches
};

const Voce kElenco[] = {
    {Via::Menu, "apri", 0, "apri"},
    {Via::Menu, "salva", 0, "salva"},
    {Via::Menu, "salvanome", 0, "salvanome"},
    {Via::Menu, "eliminare", 0, "eliminare"},
    {Via::Menu, "stampa", 0, "stampa"},
    {Via::Menu, "esportapdf", 0, "esportapdf"},
    {Via::Menu, "esci", 0, "esci"},
    {Via::Menu, "colorare", 0, "colorare"},
    {Via::Menu, "controlla", 0, "controlla"},
    {Via::Menu, "cancella", 0, "cancella"},
    {Via::Menu, "fin1", 0, "fin1"},
    {Via::Menu, "fin2", 0, "fin2"},
    {Via::Menu, "guida", 0, "guida"},
    {Via::Menu, "suggerisco", 0, "suggerisco"},
    {Via::Menu, "supporto", 0, "supporto"},
    {Via::Menu, "informazioni", 0, "informazioni"},
    {Via::Menu, "finestra", 0, "finestra"},
    {Via::Barra, "", 1, "apri"},
    {Via::Barra, "", 2, "salva"},
    {Via::Barra, "", 3, "eliminare"},
    {Via::Barra, "", 5, "stampa"},
    {Via::Barra, "", 7, "fin1"},
    {Via::Barra, "", 8, "fin2"},
    {Via::Barra, "", 10, "colorare"},
    {Via::Barra, "", 12, "guida"},
    {Via::Barra, "", 13, "suggerisco"},
    {Via::Barra, "", 14, "supporto"},
    {Via::Barra, "", 15, "informazioni"},
    {Via::Barra, "", 17, "controlla"},
    {Via::Barra, "", 18, "cancella"},
    {Via::Barra, "", 19, "esci"},
    {Via::Tasto, "esco", 0, "esci"},
    {Via::Tasto, "Command6", 0, "guida"},
    {Via::Tasto, "cmdStampa", 0, "stampa"},
};

struct Caso {
    bool daCalcolo;
    Voce voce;
};

std::string nomeCaso(const ::testing::TestParamInfo<Caso>& i);

void PrintTo(const Caso& c, std::ostream* os) {
    *os << nomeCaso(::testing::TestParamInfo<Caso>(c, 0));
}

std::vector<Caso> casi() {
    std::vector<Caso> r;
    for (bool c : {true, false})
        for (const Voce& v : kElenco) r.push_back({c, v});
    return r;
}

std::string nomeCaso(const ::testing::TestParamInfo<Caso>& i) {
    const Caso& c = i.param;
    std::string s = c.daCalcolo ? "calcolo_" : "economico_";
    switch (c.voce.via) {
        case Via::Menu:
            s += std::string("menu_") + c.voce.nome;
            break;
        case Via::Barra:
            s += "Toolbar1_" + std::to_string(c.voce.posizione);
            break;
        case Via::Tasto:
            s += std::string("tasto_") + c.voce.nome;
            break;
    }
    return s;
}

const QString kFiltroCompleto0 = QStringLiteral("Tutti i file (*.*)");
const QString kTitoloElimina =
    QStringLiteral("Elimina: seleziona il file desiderato e clicca su Apri per cancellarlo");

// Both main windows with a small project: A = 1000, S = 10 % of A, handed
// off to the framework window and named there.
class FinestrePrincipali : public ProgrammaIntero {
  protected:
    void prepara() {
        c = registro().mostra<Calcolo>();
        ASSERT_NE(c, nullptr);
        scrivi(c, QStringLiteral("costo_1"), QStringLiteral("1000"));
        scegliRiferimento(c, 17, 0);
        portaBarra(c, 17, 10);
        clicca(c->pulsanteVisualizza());
        e = aperta<Economico>();
        ASSERT_NE(e, nullptr);
        scrivi(e, QStringLiteral("nomeprog"), QStringLiteral("Prova"));
        ASSERT_EQ(progettoAperto().nome(), "Prova");
        ASSERT_EQ(c->costo(1)->text(), "1000");
        ASSERT_TRUE(utente.messaggi.isEmpty());
        coloreCalcolo = coloreSfondo(c);
        coloreEconomico = coloreSfondo(e);
    }
    void attiva(QMainWindow* w) {
        Finestre::porta(w);
        QApplication::setActiveWindow(w);
        QApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), w);
    }
    void premi(QMainWindow* w, const Voce& v) {
        switch (v.via) {
            case Via::Menu:
                voce(w, v.nome)->trigger();
                break;
            case Via::Barra:
                clicca(pulsanteBarra(w, v.posizione));
                break;
            case Via::Tasto:
                clicca(controllo<QPushButton>(w, QString::fromLatin1(v.nome)));
                break;
        }
        QApplication::processEvents();
    }
    bool visibile(const char* nome) const {
        QWidget* w = registro().finestra(QString::fromLatin1(nome));
        return w && w->isVisible();
    }
    QStringList righeFile(const QString& percorso) const {
        QFile f(percorso);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
    }

    Calcolo* c = nullptr;
    Economico* e = nullptr;
    unsigned coloreCalcolo = 0;
    unsigned coloreEconomico = 0;
};

class OgniVoce : public FinestrePrincipali, public ::testing::WithParamInterface<Caso> {};

}  // namespace

TEST_P(OgniVoce, HaIlSuoEffetto) {
    const Caso& caso = GetParam();
    prepara();
    QMainWindow* w = caso.daCalcolo ? static_cast<QMainWindow*>(c) : e;
    attiva(w);
    const QString azione = QString::fromLatin1(caso.voce.azione);
    const QString file = percorsoProgetto(QStringLiteral("Varimo-dati-voce"));

    // Answers for the dialogs the entries may ask.
    if (azione == "salva" || azione == "salvanome") utente.scegliFile(file);
    if (azione == "eliminare") {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x\r\n");
        f.close();
        utente.scegliFile(file);
    }
    const QString pdf = percorsoProgetto(QStringLiteral("esportato.pdf"));
    if (azione == "esportapdf") utente.scegliFile(pdf);
    if (azione == "colorare") {
        utente.rispondi(Risposta::No);
        utente.scegliColore(std::nullopt);
    }

    premi(w, caso.voce);

    auto unicoMessaggio = [this](const QString& testoAtteso) {
        ASSERT_EQ(utente.messaggi.size(), 1) << qPrintable(utente.testi().join(" | "));
        EXPECT_EQ(utente.messaggi.first().testo, testoAtteso);
    };
    auto unicoDialogo = [this](const QString& titolo, int filtri, int scelto, bool salva) {
        ASSERT_EQ(utente.richiesteFile.size(), 1);
        const RichiestaFile& r = utente.richiesteFile.first();
        EXPECT_EQ(r.titolo, titolo);
        ASSERT_EQ(r.filtri.size(), filtri);
        if (filtri == 2) {
            EXPECT_EQ(r.filtri[0].descrizione, kFiltroCompleto0);
            EXPECT_EQ(r.filtri[0].modello, "*.*");
        }
        EXPECT_EQ(r.filtri.last().descrizione, "File Varimo-dati- ");
        EXPECT_EQ(r.filtri.last().modello, "Varimo-dati-*");
        EXPECT_EQ(r.filtroScelto, scelto);
        EXPECT_EQ(r.salvataggio, salva);
    };
    // After a file command of the framework window the calculation window is
    // in front (not after Delete).
    auto davanti = [](QWidget* atteso) { EXPECT_EQ(QApplication::activeWindow(), atteso); };

    if (azione == "apri") {
        unicoDialogo(QStringLiteral("Apri file (sezioni)"), 2, 1, false);
        EXPECT_TRUE(utente.richiesteFile.first().nomeFile.isEmpty());
        EXPECT_TRUE(utente.messaggi.isEmpty());
        davanti(c);
    } else if (azione == "salva" || azione == "salvanome") {
        unicoDialogo(azione == "salva" ? testifile::titoloSalva : testifile::titoloSalvaNome, 1, 0,
                     true);
        EXPECT_EQ(utente.richiesteFile.first().nomeFile, "Varimo-dati-");
        EXPECT_TRUE(utente.messaggi.isEmpty()) << qPrintable(utente.testi().join(" | "));
        const QStringList righe = righeFile(file);
        ASSERT_EQ(righe.size(), 20);
        EXPECT_EQ(righe[0], "\"Prova\",\"euro\"");
        EXPECT_EQ(c->progettoAperto().percorso(), file);
        davanti(c);
    } else if (azione == "eliminare") {
        unicoDialogo(kTitoloElimina, 2, 1, false);
        EXPECT_FALSE(QFile::exists(file));
        EXPECT_TRUE(utente.messaggi.isEmpty());
        davanti(w);
    } else if (azione == "stampa") {
        EXPECT_TRUE(utente.messaggi.isEmpty()) << qPrintable(utente.testi().join(" | "));
        ASSERT_EQ(documenti.size(), 1);
        const CorpoLetto d = leggiDocx(documenti.first());
        ASSERT_TRUE(d.errore.isEmpty()) << qPrintable(d.errore);
        const QList<ParagrafoLetto> p = d.paragrafi();
        ASSERT_GE(p.size(), 6);
        EXPECT_EQ(p[3].testo, "- Progetto: Prova");
        EXPECT_EQ(p[5].testo, caso.daCalcolo
                                  ? QStringLiteral("Calcolo del QUADRO ECONOMICO - valori in euro")
                                  : QStringLiteral("QUADRO ECONOMICO - valori in euro"));
        EXPECT_EQ(d.tabelle().size(), caso.daCalcolo ? 2 : 1);
    } else if (azione == "esportapdf") {
        EXPECT_TRUE(utente.messaggi.isEmpty()) << qPrintable(utente.testi().join(" | "));
        ASSERT_EQ(utente.richiesteFile.size(), 1);
        EXPECT_TRUE(utente.richiesteFile.first().salvataggio);
        EXPECT_TRUE(utente.richiesteFile.first().nomeFile.endsWith(
            caso.daCalcolo ? QStringLiteral("/Prova - calcolo.pdf")
                           : QStringLiteral("/Prova - quadro economico.pdf")));
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().startsWith("%PDF-"));
        EXPECT_TRUE(documenti.isEmpty()) << "the export hands nothing to the word processor";
    } else if (azione == "esci") {
        unicoMessaggio(QStringLiteral("Vuoi uscire da Varimo?"));
        EXPECT_EQ(utente.messaggi.first().pulsanti, Pulsanti::SiNo);
        EXPECT_TRUE(c->isVisible());  // answered No
        EXPECT_TRUE(e->isVisible());
        EXPECT_EQ(c->costo(1)->text(), "1000");
    } else if (azione == "colorare") {
        unicoMessaggio(QStringLiteral("Desideri un colore riposante (grigio)?"));
        EXPECT_EQ(utente.messaggi.first().titolo, "Varimo: colore di sfondo");
        EXPECT_EQ(utente.richiesteColore.size(), 1);  // No: the colour dialog, cancelled
        EXPECT_EQ(coloreSfondo(c), coloreCalcolo);
        EXPECT_EQ(coloreSfondo(e), coloreEconomico);
    } else if (azione == "controlla") {
        unicoMessaggio(
            caso.daCalcolo
                ? QStringLiteral("I dati sono stati immessi correttamente.")
                : QStringLiteral("La finestra non effettua calcoli o elaborazioni: le eventuali "
                                 "modifiche apportate alle voci o agli importi non sono "
                                 "controllate automaticamente, ma possono servire solo per "
                                 "sistemare delle imperfezioni."));
        EXPECT_EQ(utente.messaggi.first().titolo,
                  "Varimo: controllo dati immessi nella finestra attiva");
    } else if (azione == "cancella") {
        EXPECT_TRUE(utente.messaggi.isEmpty());
        if (caso.daCalcolo) {
            for (int i : {1, 2, 3, 5, 17}) EXPECT_TRUE(c->costo(i)->text().isEmpty()) << i;
            EXPECT_EQ(c->etichettaPercentuale(17)->text(), "0");
            EXPECT_TRUE(c->elencoRiferimento(17)->currentText().isEmpty());
            EXPECT_TRUE(c->progetto()->text().isEmpty());
            EXPECT_TRUE(c->costoprogetto()->text().isEmpty());
            EXPECT_EQ(e->costo(1)->text(), "1.000,00");  // the other window is untouched
            EXPECT_EQ(progettoAperto().nome(), "Prova");
        } else {
            EXPECT_TRUE(e->tipo(1)->text().isEmpty());
            EXPECT_TRUE(e->costo(1)->text().isEmpty());
            EXPECT_TRUE(e->costo(19)->text().isEmpty());
            EXPECT_TRUE(progettoAperto().nome().isEmpty());
            EXPECT_EQ(e->nomeProgetto()->text(), "Prova");
            EXPECT_EQ(c->costo(1)->text(), "1000");
        }
    } else if (azione == "fin1" || azione == "fin2") {
        const bool propria = (azione == "fin1") == caso.daCalcolo;
        if (propria) {
            unicoMessaggio(caso.daCalcolo
                               ? QStringLiteral("E' questa la finestra 'Calcolo': si vuole la "
                                                "guida della finestra?")
                               : QStringLiteral("E' questa la finestra 'Quadro economico': si "
                                                "vuole la guida della finestra?"));
            EXPECT_EQ(utente.messaggi.first().titolo, "Varimo: aiuto in linea");
            EXPECT_EQ(utente.messaggi.first().icona, Icona::Domanda);
            EXPECT_FALSE(registro().caricata(QStringLiteral("guidacalcolo")));
            EXPECT_FALSE(registro().caricata(QStringLiteral("guidaquadro")));
            davanti(w);
        } else {
            EXPECT_TRUE(utente.messaggi.isEmpty());
            davanti(caso.daCalcolo ? static_cast<QWidget*>(e) : c);
            EXPECT_TRUE(w->isVisible());
        }
        // The checked entry marks the window itself, whatever was pressed.
        EXPECT_EQ(voce(w, "fin1")->isChecked(), caso.daCalcolo);
        EXPECT_EQ(voce(w, "fin2")->isChecked(), !caso.daCalcolo);
    } else if (azione == "guida") {
        EXPECT_TRUE(visibile("sommario"));
    } else if (azione == "suggerisco") {
        ASSERT_TRUE(visibile("frmTip"));
        EXPECT_EQ(aperta<SuggerimentoDelGiorno>()->testoSuggerimento()->text(),
                  kSuggerimenti.first());
    } else if (azione == "supporto") {
        EXPECT_TRUE(visibile("supportoclienti"));
    } else if (azione == "informazioni") {
        ASSERT_TRUE(visibile("informa"));
        EXPECT_EQ(registro().finestra(QStringLiteral("informa"))->windowTitle(),
                  "Informazioni su Varimo");
    } else if (azione == "finestra") {
        EXPECT_TRUE(utente.messaggi.isEmpty());
        EXPECT_TRUE(visibile(caso.daCalcolo ? "guidacalcolo" : "guidaquadro"));
        EXPECT_FALSE(visibile(caso.daCalcolo ? "guidaquadro" : "guidacalcolo"));
    } else {
        FAIL() << "azione sconosciuta " << qPrintable(azione);
    }
    if (azione != "guida" && azione != "suggerisco" && azione != "supporto" &&
        azione != "informazioni" && azione != "finestra" && azione != "fin1" && azione != "fin2") {
        EXPECT_FALSE(registro().caricata(QStringLiteral("sommario")));
    }
}

INSTANTIATE_TEST_SUITE_P(EntrambeLeFinestre, OgniVoce, ::testing::ValuesIn(casi()), nomeCaso);

TEST_F(FinestrePrincipali, CtrlAInEconomicoPortaAvantiIlCalcoloAncheDaUnaCasella) {
    prepara();
    attiva(e);
    e->nomeProgetto()->setFocus();
    e->nomeProgetto()->setCursorPosition(0);
    QTest::keyClick(e->nomeProgetto(), Qt::Key_A, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), c);
    EXPECT_FALSE(e->nomeProgetto()->hasSelectedText());
    EXPECT_TRUE(e->isVisible());
    EXPECT_TRUE(utente.messaggi.isEmpty());

    // Ctrl+A with the focus in an amount box of the calculation window is the
    // question about its own guide, not "select all".
    attiva(c);
    c->costo(1)->setFocus();
    QTest::keyClick(c->costo(1), Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_EQ(utente.messaggi.first().testo,
              "E' questa la finestra 'Calcolo': si vuole la guida della finestra?");
    EXPECT_FALSE(c->costo(1)->hasSelectedText());
}

// The export key works with the cursor in a text box of either window, and
// the text box is left as it was.
TEST_F(FinestrePrincipali, CtrlEEsportaIlPdfAncheDaUnaCasella) {
    prepara();
    for (QMainWindow* w : {static_cast<QMainWindow*>(c), static_cast<QMainWindow*>(e)}) {
        attiva(w);
        QLineEdit* casella = w == c ? c->costo(1) : e->nomeProgetto();
        casella->setFocus();
        casella->setCursorPosition(0);
        const QString prima = casella->text();
        utente.scegliFile(std::nullopt);
        QTest::keyClick(casella, Qt::Key_E, Qt::ControlModifier);
        QApplication::processEvents();
        EXPECT_EQ(casella->text(), prima);
        EXPECT_EQ(casella->cursorPosition(), 0) << "the key did not move the cursor";
    }
    ASSERT_EQ(utente.richiesteFile.size(), 2);
    EXPECT_TRUE(utente.richiesteFile[0].nomeFile.endsWith(QStringLiteral("/Prova - calcolo.pdf")));
    EXPECT_TRUE(
        utente.richiesteFile[1].nomeFile.endsWith(QStringLiteral("/Prova - quadro economico.pdf")));
    EXPECT_TRUE(utente.messaggi.isEmpty());
}

TEST_F(FinestrePrincipali, CtrlBNelCalcoloApreIlQuadroNelSuoStatoIniziale) {
    c = registro().mostra<Calcolo>();
    attiva(c);
    scrivi(c, QStringLiteral("costo_1"), QStringLiteral("250"));
    ASSERT_EQ(aperta<Economico>(), nullptr);
    QTest::keyClick(c->costo(1), Qt::Key_B, Qt::ControlModifier);
    QApplication::processEvents();
    e = aperta<Economico>();
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(e->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), e);
    EXPECT_TRUE(c->isVisible());
    const QString lettere = QStringLiteral("ABCDEFGHILMNOPQRST");
    for (int k = 1; k <= 18; ++k) {
        EXPECT_EQ(e->numero(k)->text(), QString(lettere.at(k - 1))) << k;
        EXPECT_TRUE(e->tipo(k)->text().isEmpty()) << k;  // nothing handed over yet
        EXPECT_TRUE(e->costo(k)->text().isEmpty()) << k;
    }
    EXPECT_EQ(e->tipo(19)->text(), "TOTALE PROGETTO (in euro)");
    EXPECT_TRUE(e->costo(19)->text().isEmpty());
    EXPECT_EQ(e->valuta()->currentText(), "euro");
    EXPECT_TRUE(e->nomeProgetto()->text().isEmpty());
    EXPECT_EQ(c->costo(1)->text(), "250");
    EXPECT_TRUE(c->costoprogetto()->text().isEmpty());  // no hand-off happened
}

TEST_F(FinestrePrincipali, DomandaSullaPropriaGuidaSiApreLaGuidaELaFinestraResta) {
    prepara();
    struct {
        QMainWindow* w;
        const char* guida;
        const char* altra;
    } finestre[] = {{c, "guidacalcolo", "guidaquadro"}, {e, "guidaquadro", "guidacalcolo"}};
    for (const auto& f : finestre) {
        attiva(f.w);
        utente.rispondi(Risposta::Si);
        const char* propria = f.w == c ? "fin1" : "fin2";
        voce(f.w, propria)->trigger();
        QApplication::processEvents();
        EXPECT_TRUE(visibile(f.guida)) << f.guida;
        EXPECT_FALSE(visibile(f.altra)) << f.guida;
        EXPECT_TRUE(f.w->isVisible());
        EXPECT_TRUE(c->isVisible() && e->isVisible());
        EXPECT_EQ(c->costo(1)->text(), "1000");
        registro().chiudi(QString::fromLatin1(f.guida));
    }
    EXPECT_EQ(utente.messaggi.size(), 2);
}

TEST_F(FinestrePrincipali, SuggerimentiDueVolteStessaFinestraStessoSuggerimento) {
    prepara();
    attiva(c);
    voce(c, "suggerisco")->trigger();
    QPointer<SuggerimentoDelGiorno> tip = aperta<SuggerimentoDelGiorno>();
    ASSERT_FALSE(tip.isNull());
    clicca(tip->pulsanteSeguente());
    ASSERT_EQ(tip->testoSuggerimento()->text(), kSuggerimenti[1]);
    // Shown again while open, from the other window's bar.
    clicca(pulsanteBarra(e, 13));
    EXPECT_EQ(aperta<SuggerimentoDelGiorno>(), tip.data());
    EXPECT_EQ(tip->testoSuggerimento()->text(), kSuggerimenti[1]);
    // Hidden with "&Chiudi", then shown again from the menu.
    clicca(tip->pulsanteOk());
    ASSERT_FALSE(tip.isNull());
    EXPECT_FALSE(tip->isVisible());
    voce(c, "suggerisco")->trigger();
    EXPECT_EQ(aperta<SuggerimentoDelGiorno>(), tip.data());
    EXPECT_TRUE(tip->isVisible());
    EXPECT_EQ(tip->testoSuggerimento()->text(), kSuggerimenti[1]);
}

TEST_F(FinestrePrincipali, ColoreGrigioPerEntrambeScelteSoloPerUna) {
    prepara();
    constexpr unsigned grigio = 0xC0C0C0;
    ASSERT_NE(coloreCalcolo, grigio);
    ASSERT_NE(coloreEconomico, grigio);

    // Cancel after No: nothing changes.
    utente.rispondi(Risposta::No);
    utente.scegliColore(std::nullopt);
    voce(e, "colorare")->trigger();
    EXPECT_EQ(coloreSfondo(c), coloreCalcolo);
    EXPECT_EQ(coloreSfondo(e), coloreEconomico);

    // No and a colour: only that window.
    utente.rispondi(Risposta::No);
    utente.scegliColore(0xFF0000);
    voce(c, "colorare")->trigger();
    EXPECT_EQ(coloreSfondo(c), 0xFF0000u);
    EXPECT_EQ(coloreSfondo(e), coloreEconomico);
    ASSERT_EQ(utente.messaggi.size(), 2);

    // Yes: both grey; then the command goes straight to the colour dialog.
    utente.rispondi(Risposta::Si);
    clicca(pulsanteBarra(c, 10));
    EXPECT_EQ(coloreSfondo(c), grigio);
    EXPECT_EQ(coloreSfondo(e), grigio);
    ASSERT_EQ(utente.messaggi.size(), 3);
    EXPECT_EQ(utente.richiesteColore.size(), 2);
    utente.scegliColore(0x00FF00);
    voce(e, "colorare")->trigger();
    EXPECT_EQ(utente.messaggi.size(), 3);  // no question on a grey window
    ASSERT_EQ(utente.richiesteColore.size(), 3);
    EXPECT_EQ(utente.richiesteColore.last(), grigio);
    EXPECT_EQ(coloreSfondo(e), 0x00FF00u);
    EXPECT_EQ(coloreSfondo(c), grigio);
}

TEST_F(FinestrePrincipali, SalvaEStampaSenzaNomeChiedonoIlNomeNelQuadro) {
    prepara();
    // The framework window's clear empties the project name (the box keeps it).
    attiva(e);
    voce(e, "cancella")->trigger();
    ASSERT_TRUE(progettoAperto().nome().isEmpty());
    ASSERT_EQ(e->nomeProgetto()->text(), "Prova");

    // Save from the framework window: the request for the name, the framework
    // window shown, then the calculation window in front; nothing written.
    clicca(pulsanteBarra(e, 2));
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_EQ(utente.messaggi[0].testo, "Digitare il nome del progetto.");
    EXPECT_EQ(utente.messaggi[0].titolo, "Varimo: aiuto in linea");
    EXPECT_EQ(utente.messaggi[0].icona, Icona::Informazione);
    EXPECT_TRUE(utente.richiesteFile.isEmpty());
    EXPECT_TRUE(c->progettoAperto().percorso().isEmpty());
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), c);
    EXPECT_TRUE(e->isVisible());

    // Print from the calculation window: the same request, the framework
    // window comes up, no document.
    clicca(c->pulsanteStampa());
    ASSERT_EQ(utente.messaggi.size(), 2);
    EXPECT_EQ(utente.messaggi[1].testo, "Digitare il nome del progetto.");
    EXPECT_TRUE(documenti.isEmpty());
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), e);

    // Typing the name again makes both work.
    scrivi(e, QStringLiteral("nomeprog"), QStringLiteral("Prova 2"));
    clicca(c->pulsanteStampa());
    EXPECT_EQ(documenti.size(), 1);
    EXPECT_EQ(utente.messaggi.size(), 2);
}

TEST_F(FinestrePrincipali, SenzaValutaStampaESalvataggioLaChiedono) {
    prepara();
    attiva(e);
    QLineEdit* valuta = e->valuta()->lineEdit();
    valuta->setFocus();
    valuta->selectAll();
    QTest::keyClick(valuta, Qt::Key_Delete);
    ASSERT_TRUE(progettoAperto().valuta().isEmpty());
    EXPECT_EQ(e->tipo(19)->text(), "TOTALE PROGETTO (in )");

    voce(e, "stampa")->trigger();
    voce(c, "stampa")->trigger();
    voce(c, "salva")->trigger();
    EXPECT_EQ(utente.testi(),
              QStringList({"Immettere il tipo di valuta.", "Immettere il tipo di valuta.",
                           "Immettere la valuta."}));
    EXPECT_TRUE(documenti.isEmpty());
    EXPECT_TRUE(utente.richiesteFile.isEmpty());

    // A currency typed by hand reaches the total row, the report and the file.
    QTest::keyClicks(valuta, QStringLiteral("franchi"));
    EXPECT_EQ(e->tipo(19)->text(), "TOTALE PROGETTO (in franchi)");
    utente.scegliFile(percorsoProgetto(QStringLiteral("Varimo-dati-franchi")));
    voce(e, "salva")->trigger();
    const QStringList righe = righeFile(percorsoProgetto(QStringLiteral("Varimo-dati-franchi")));
    ASSERT_EQ(righe.size(), 20);
    EXPECT_EQ(righe[0], "\"Prova\",\"franchi\"");
    voce(e, "stampa")->trigger();
    ASSERT_EQ(documenti.size(), 1);
    const CorpoLetto d = leggiDocx(documenti.first());
    ASSERT_GE(d.paragrafi().size(), 6);
    EXPECT_EQ(d.paragrafi()[5].testo, "QUADRO ECONOMICO - valori in franchi");
    ASSERT_EQ(d.tabelle().size(), 1);
    EXPECT_EQ(d.tabelle()[0].righe.last()[1].testo(), "TOTALE PROGETTO (in franchi)");
}

TEST_F(FinestrePrincipali, ApriDalQuadroLasciaLeRigheEPortaAvantiIlCalcolo) {
    prepara();
    const QString file = percorsoProgetto(QStringLiteral("Varimo-dati-altro"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\"Altro\",\"dollari\"\r\n");
    for (int i = 1; i <= kVoci; ++i)
        f.write("\"" + etichettaIniziale(i).toLatin1() + "\",\"" + (i == 1 ? "70" : "") +
                "\",\"0\",0,\r\n");
    f.close();
    attiva(e);
    utente.scegliFile(file);
    clicca(pulsanteBarra(e, 1));
    EXPECT_TRUE(utente.messaggi.isEmpty()) << qPrintable(utente.testi().join(" | "));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), c);
    EXPECT_EQ(c->costo(1)->text(), "70");
    EXPECT_TRUE(c->costo(17)->text().isEmpty());
    EXPECT_EQ(c->elencoRiferimento(17)->currentIndex(), -1);
    // The framework keeps its rows until the next hand-off; name and currency
    // are the file's.
    EXPECT_EQ(e->costo(1)->text(), "1.000,00");
    EXPECT_EQ(e->costo(19)->text(), "1.100,00");
    EXPECT_EQ(e->nomeProgetto()->text(), "Altro");
    EXPECT_EQ(e->valuta()->currentText(), "dollari");
    EXPECT_EQ(e->tipo(19)->text(), "TOTALE PROGETTO (in dollari)");
    clicca(c->pulsanteVisualizza());
    EXPECT_EQ(e->costo(1)->text(), "70,00");
    EXPECT_EQ(e->costo(19)->text(), "70,00");
    EXPECT_FALSE(e->numero(4)->isVisible());
}

TEST_F(FinestrePrincipali, UscitaDalSommarioEContatoreConAltN) {
    prepara();
    attiva(e);
    QTest::keyClick(e->nomeProgetto(), Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(visibile("guidaquadro"));
    clicca(e->guidaInLinea());
    QWidget* sommario = registro().finestra(QStringLiteral("sommario"));
    ASSERT_NE(sommario, nullptr);
    clicca(controllo<QPushButton>(sommario, QStringLiteral("Command1")));  // answered No
    EXPECT_EQ(utente.testi(), QStringList{"Vuoi uscire da Varimo?"});
    EXPECT_TRUE(c->isVisible() && e->isVisible());
    utente.rispondi(Risposta::Si);
    clicca(controllo<QPushButton>(sommario, QStringLiteral("Command1")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(registro().nomiCaricate(), QStringList{"frmSplash"});
    EXPECT_EQ(aperta<Saluto>()->etichetta(2)->text(), Saluto::kCongedo);
}

// Both windows share the calculation window's one file dialog: the name it
// last returned is proposed by the next command, from either window, until
// the exit builds a new calculation window.
TEST_F(FinestrePrincipali, UnSoloDialogoPerLeDueFinestre) {
    prepara();
    const QString primo = percorsoProgetto(QStringLiteral("Varimo-dati-uno"));
    utente.scegliFile(primo);
    voce(c, "salva")->trigger();
    ASSERT_TRUE(QFile::exists(primo));
    ASSERT_EQ(utente.richiesteFile.size(), 1);
    EXPECT_EQ(utente.richiesteFile[0].nomeFile, "Varimo-dati-");

    // Save again from the framework window: straight to the current file.
    voce(e, "salva")->trigger();
    EXPECT_EQ(utente.richiesteFile.size(), 1);

    // Save as from the framework window proposes the last name; cancelled,
    // it writes nothing and leaves no current file, so Save asks again.
    QFile::remove(primo);
    voce(e, "salvanome")->trigger();
    ASSERT_EQ(utente.richiesteFile.size(), 2);
    EXPECT_EQ(utente.richiesteFile[1].titolo, testifile::titoloSalvaNome);
    EXPECT_EQ(utente.richiesteFile[1].nomeFile, primo);
    EXPECT_FALSE(QFile::exists(primo));
    EXPECT_TRUE(c->progettoAperto().percorso().isEmpty());
    utente.scegliFile(primo);
    clicca(pulsanteBarra(c, 2));
    ASSERT_EQ(utente.richiesteFile.size(), 3);
    EXPECT_EQ(utente.richiesteFile[2].titolo, testifile::titoloSalva);
    EXPECT_TRUE(QFile::exists(primo));

    // Open from the framework window starts from an empty name; Delete from
    // the calculation window then proposes the opened file.
    utente.scegliFile(primo);
    voce(e, "apri")->trigger();
    ASSERT_EQ(utente.richiesteFile.size(), 4);
    EXPECT_TRUE(utente.richiesteFile[3].nomeFile.isEmpty());
    EXPECT_EQ(c->costo(1)->text(), "1000");
    voce(c, "eliminare")->trigger();  // cancelled
    ASSERT_EQ(utente.richiesteFile.size(), 5);
    EXPECT_EQ(utente.richiesteFile[4].nomeFile, primo);
    EXPECT_TRUE(QFile::exists(primo));
    EXPECT_EQ(c->progettoAperto().percorso(), primo);

    // After the exit the new calculation window has a new dialog.
    utente.rispondi(Risposta::Si);
    voce(c, "esci")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    clicca(aperta<Saluto>());
    c = aperta<Calcolo>();
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->progettoAperto().percorso().isEmpty());
    voce(c, "salvanome")->trigger();  // the data check stops it first
    EXPECT_EQ(utente.richiesteFile.size(), 5);
    scrivi(c, QStringLiteral("costo_1"), QStringLiteral("5"));
    scegliRiferimento(c, 2, 0);
    portaBarra(c, 2, 1);
    // A new project: it has no name until one is given.
    c->progettoAperto().impostaNome(QStringLiteral("Prova"));
    voce(c, "salvanome")->trigger();
    ASSERT_EQ(utente.richiesteFile.size(), 6) << qPrintable(utente.testi().join(" | "));
    EXPECT_EQ(utente.richiesteFile[5].nomeFile, "Varimo-dati-");
}
