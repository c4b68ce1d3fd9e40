// Menus, command bar and command buttons of a main window: every entry has
// its caption, and reaches the one operation of its table.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "app/comandi.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "support/interazione_finta.h"

using namespace varimo;

namespace {

// Windows the entries open, as the shell sees them: reached by name.
template <const char* N>
class Prova : public QWidget {
  public:
    static constexpr const char* kNome = N;
};
constexpr char kSommario[] = "sommario";
constexpr char kTip[] = "frmTip";
constexpr char kSupporto[] = "supportoclienti";
constexpr char kInforma[] = "informa";
constexpr char kGuidaCalcolo[] = "guidacalcolo";
constexpr char kGuidaQuadro[] = "guidaquadro";
constexpr char kCalcolo[] = "calcolo";
constexpr char kEconomico[] = "economico";

// A main window with the command buttons the windows carry.
class Principale_ : public QMainWindow {
  public:
    Principale_() {
        auto* centro = new QWidget(this);
        setCentralWidget(centro);
        for (const char* n : {"esco", "Command6", "cmdStampa"}) {
            auto* b = new QPushButton(QString::fromLatin1(n), centro);
            b->setObjectName(QString::fromLatin1(n));
        }
        testo = new QLineEdit(centro);
        testo->setObjectName("testo");
    }
    QLineEdit* testo;
};

class Comandi : public ::testing::Test {
  protected:
    void SetUp() override {
        Finestre& r = Finestre::istanza();
        r.registraFabbrica<Prova<kSommario>>();
        r.registraFabbrica<Prova<kTip>>();
        r.registraFabbrica<Prova<kSupporto>>();
        r.registraFabbrica<Prova<kInforma>>();
        r.registraFabbrica<Prova<kGuidaCalcolo>>();
        r.registraFabbrica<Prova<kGuidaQuadro>>();
        r.registraFabbrica<Prova<kEconomico>>();
    }
    void TearDown() override {
        for (const QString& n : Finestre::istanza().nomiCaricate()) Finestre::istanza().chiudi(n);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Builds the calculation window with every window operation recorded.
    Principale_* calcolo() {
        auto* w = new Principale_;
        Finestre::istanza().registra(w, "calcolo");
        AzioniFinestra a;
        auto registra = [this](const char* n) { return [this, n] { eseguite << n; }; };
        a.apri = registra("apri");
        a.salva = registra("salva");
        a.salvanome = registra("salvanome");
        a.eliminare = registra("eliminare");
        a.stampa = registra("stampa");
        a.colorare = registra("colorare");
        a.controlla = registra("controlla");
        a.cancella = registra("cancella");
        installaComandi(w, Principale::Calcolo, a);
        w->show();
        return w;
    }
    QAction* voce(QWidget* w, const char* nome) {
        return w->findChild<QAction*>(QString::fromLatin1(nome));
    }
    QStringList eseguite;
    test::InterazioneFinta utente;
};

}  // namespace

TEST_F(Comandi, DicitureDeiMenuSeparatoriEScorciatoie) {
    Principale_* w = calcolo();
    const QList<QPair<const char*, const char*>> voci = {
        {"apri", "&Apri..."},
        {"salva", "&Salva"},
        {"salvanome", "Salva con &nome..."},
        {"eliminare", "&Elimina..."},
        {"stampa", "S&tampa"},
        {"stampasezioni", "Stampa per se&zioni"},
        {"esportasezionipdf", "Esp&orta per sezioni in PDF..."},
        {"esci", "Es&ci"},
        {"colorare", "&Colore di sfondo"},
        {"controlla", "Controlla &dati immessi"},
        {"cancella", "C&ancella dati immessi"},
        {"fin1", "Finestra Calcolo"},
        {"fin2", "Finestra Quadro economico"},
        {"apripostgara", "Quadro dopo la &gara"},
        {"guida", "&Guida in linea"},
        {"suggerisco", "&Suggerimenti..."},
        {"supporto", "Supporto &prodotto"},
        {"informazioni", "&Informazioni su Varimo"},
        {"finestra", "Fi&nestra n.1 di 2"},
    };
    for (const auto& [nome, testo] : voci) {
        QAction* a = voce(w, nome);
        ASSERT_NE(a, nullptr) << nome;
        EXPECT_EQ(a->text(), QString::fromUtf8(testo)) << nome;
    }
    QStringList menu;
    for (QAction* a : w->menuBar()->actions()) menu << a->text();
    EXPECT_EQ(menu, QStringList({"&File", "&Modifica", "&Visualizza", "&?"}));
    QStringList file;
    for (QAction* a : w->menuBar()->actions().first()->menu()->actions())
        file << (a->isSeparator() ? QString("-") : a->objectName());
    EXPECT_EQ(file, QStringList({"apri", "recenti", "-", "salva", "salvanome", "-", "eliminare",
                                 "-", "nuovoquadro", "apriquadro", "-", "stampa", "esportapdf",
                                 "stampasezioni", "esportasezionipdf", "-", "esci"}));
    QStringList modifica;
    for (QAction* a : w->menuBar()->actions().at(1)->menu()->actions())
        modifica << (a->isSeparator() ? QString("-") : a->objectName());
    EXPECT_EQ(modifica,
              QStringList({"annulla", "ripeti", "-", "colorare", "controlla", "cancella"}));
    EXPECT_EQ(voce(w, "fin1")->shortcut(), QKeySequence("Ctrl+A"));
    EXPECT_EQ(voce(w, "fin2")->shortcut(), QKeySequence("Ctrl+B"));
    EXPECT_EQ(voce(w, "apri")->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(voce(w, "salva")->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_EQ(voce(w, "annulla")->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_EQ(voce(w, "ripeti")->shortcuts(),
              QList<QKeySequence>({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));
    EXPECT_TRUE(voce(w, "fin1")->isChecked());
    EXPECT_FALSE(voce(w, "fin2")->isChecked());
    // The window switches, the PDF export, Open, Save, undo and redo are the
    // only menu items with a shortcut key, and no two keys of the window are
    // the same.
    QStringList conScorciatoia;
    QList<QKeySequence> tasti;
    for (QAction* a : w->findChildren<QAction*>()) {
        for (const QKeySequence& k : a->shortcuts()) {
            if (!a->objectName().isEmpty() && !conScorciatoia.contains(a->objectName()))
                conScorciatoia << a->objectName();
            EXPECT_FALSE(tasti.contains(k)) << qPrintable(k.toString());
            tasti << k;
        }
    }
    conScorciatoia.sort();
    EXPECT_EQ(conScorciatoia,
              QStringList({"annulla", "apri", "esportapdf", "fin1", "fin2", "ripeti", "salva"}));
}

TEST_F(Comandi, LaBarraDeiComandiHa19PosizioniConDescrizioniEUnPulsanteADueStati) {
    Principale_* w = calcolo();
    auto* bar = w->findChild<QToolBar*>("Toolbar1");
    ASSERT_NE(bar, nullptr);
    const QStringList attesi = {"apri file",
                                "salva file",
                                "elimina file",
                                "",
                                "stampa dati finestra",
                                "",
                                "visualizza finestra 'Calcolo'",
                                "visualizza finestra 'Quadro economico'",
                                "",
                                "colore di sfondo",
                                "",
                                "guida in linea",
                                "suggerimenti",
                                "supporto prodotto",
                                "informazioni su Varimo",
                                "",
                                "controllo dati immessi",
                                "cancella dati finestra",
                                "uscita da Varimo"};
    const QList<QAction*> azioni = bar->actions();
    ASSERT_EQ(azioni.size(), 19);
    for (int i = 0; i < 19; ++i) {
        QAction* a = azioni.at(i);
        EXPECT_EQ(a->objectName(), QString("Toolbar1_%1").arg(i + 1));
        EXPECT_EQ(a->isSeparator(), attesi.at(i).isEmpty()) << i + 1;
        if (!a->isSeparator()) {
            EXPECT_EQ(a->toolTip(), attesi.at(i)) << i + 1;
            EXPECT_FALSE(a->icon().isNull()) << i + 1;
            EXPECT_EQ(a->isCheckable(), i + 1 == 7) << i + 1;
            EXPECT_FALSE(a->isChecked());
        }
    }
    EXPECT_EQ(azioni.at(0)->property("Key").toString(), "apri");
    EXPECT_EQ(azioni.at(1)->property("Key").toString(), "salva");
    EXPECT_EQ(azioni.at(2)->property("Key").toString(), "eliminare");
    EXPECT_NE(w->findChild<QToolButton*>("Toolbar1_2"), nullptr);
}

TEST_F(Comandi, BarraDeiMenuEPulsantiPortanoAllaStessaOperazione) {
    Principale_* w = calcolo();
    auto* bar = w->findChild<QToolBar*>("Toolbar1");
    const QList<QPair<const char*, int>> coppie = {
        {"apri", 1},      {"salva", 2},      {"eliminare", 3}, {"stampa", 5},
        {"colorare", 10}, {"controlla", 17}, {"cancella", 18}};
    for (const auto& [nome, posizione] : coppie) {
        eseguite.clear();
        voce(w, nome)->trigger();
        bar->actions().at(posizione - 1)->trigger();
        EXPECT_EQ(eseguite, QStringList({nome, nome})) << nome;
    }
    eseguite.clear();
    QTest::mouseClick(w->findChild<QPushButton*>("cmdStampa"), Qt::LeftButton);
    EXPECT_EQ(eseguite, QStringList{"stampa"});
    voce(w, "salvanome")->trigger();
    EXPECT_EQ(eseguite, QStringList({"stampa", "salvanome"}));
}

TEST_F(Comandi, LeVociDiAiutoMostranoLeLoroFinestre) {
    Principale_* w = calcolo();
    auto* bar = w->findChild<QToolBar*>("Toolbar1");
    const QList<QPair<const char*, const char*>> menu = {{"guida", "sommario"},
                                                         {"suggerisco", "frmTip"},
                                                         {"supporto", "supportoclienti"},
                                                         {"informazioni", "informa"}};
    for (const auto& [nome, finestra] : menu) {
        voce(w, nome)->trigger();
        EXPECT_TRUE(Finestre::istanza().caricata(finestra)) << nome;
        Finestre::istanza().chiudi(finestra);
    }
    const QList<QPair<int, const char*>> bottoni = {
        {12, "sommario"}, {13, "frmTip"}, {14, "supportoclienti"}, {15, "informa"}};
    for (const auto& [pos, finestra] : bottoni) {
        bar->actions().at(pos - 1)->trigger();
        EXPECT_TRUE(Finestre::istanza().caricata(finestra)) << pos;
        Finestre::istanza().chiudi(finestra);
    }
    QTest::mouseClick(w->findChild<QPushButton*>("Command6"), Qt::LeftButton);
    EXPECT_TRUE(Finestre::istanza().caricata("sommario"));
}

TEST_F(Comandi, UscitaDallaBarraDeiMenuEDalPulsanteFaLaStessaDomanda) {
    Principale_* w = calcolo();
    voce(w, "esci")->trigger();
    w->findChild<QToolBar*>("Toolbar1")->actions().at(18)->trigger();
    QTest::mouseClick(w->findChild<QPushButton*>("esco"), Qt::LeftButton);
    EXPECT_EQ(utente.testi(), QStringList(3, "Vuoi uscire da Varimo?"));
    EXPECT_TRUE(Finestre::istanza().caricata("calcolo"));  // all answered No
}

TEST_F(Comandi, LaVoceDellaPropriaFinestraChiedeLaSuaGuida) {
    Principale_* w = calcolo();
    voce(w, "fin1")->trigger();  // answered No
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_EQ(utente.messaggi[0].testo,
              "E' questa la finestra 'Calcolo': si vuole la guida della finestra?");
    EXPECT_EQ(utente.messaggi[0].titolo, "Varimo: aiuto in linea");
    EXPECT_EQ(utente.messaggi[0].icona, Icona::Domanda);
    EXPECT_FALSE(Finestre::istanza().caricata("guidacalcolo"));
    EXPECT_TRUE(voce(w, "fin1")->isChecked());

    utente.rispondi(Risposta::Si);
    w->findChild<QToolBar*>("Toolbar1")->actions().at(6)->trigger();
    EXPECT_TRUE(Finestre::istanza().caricata("guidacalcolo"));
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->findChild<QToolBar*>("Toolbar1")->actions().at(6)->isChecked());
}

TEST_F(Comandi, LaVoceDellAltraFinestraLaMostraEIlContatoreMostraLaGuida) {
    Principale_* w = calcolo();
    voce(w, "fin2")->trigger();
    EXPECT_TRUE(Finestre::istanza().caricata("economico"));
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(utente.messaggi.isEmpty());
    voce(w, "finestra")->trigger();
    EXPECT_TRUE(Finestre::istanza().caricata("guidacalcolo"));
    EXPECT_TRUE(utente.messaggi.isEmpty());
}

TEST_F(Comandi, CtrlBPrevaleSullaCasellaDiTestoConIlFuoco) {
    Principale_* w = calcolo();
    QApplication::setActiveWindow(w);
    w->testo->setFocus();
    w->testo->setText("abc");
    QTest::keyClick(w->testo, Qt::Key_B, Qt::ControlModifier);
    EXPECT_TRUE(Finestre::istanza().caricata("economico"));
    QTest::keyClick(w->testo, Qt::Key_A, Qt::ControlModifier);  // own window: the question
    EXPECT_EQ(utente.messaggi.size(), 1);
    EXPECT_FALSE(w->testo->hasSelectedText());
}
