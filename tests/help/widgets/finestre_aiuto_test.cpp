// The windows of the on-line guide: contents, guide windows, licence,
// catalogue, and the printing they start.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

#include "app/avvio.h"
#include "common/percorsi.h"
#include "common/widgets/finestre.h"
#include "common/widgets/proporzioni.h"
#include "help/widgets/catalogo.h"
#include "help/widgets/guide.h"
#include "help/widgets/licenza.h"
#include "help/widgets/sommario.h"
#include "help/widgets/suggerimentodelgiorno.h"
#include "reports/ambiente_stampe.h"
#include "reports/lettore_docx.h"

namespace varimo::test {
namespace {

void scaricaTutte() {
    Finestre& r = Finestre::istanza();
    for (const QString& n : r.nomiCaricate()) r.chiudi(n);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class FinestreAiuto : public AmbienteStampe {
  protected:
    void SetUp() override {
        AmbienteStampe::SetUp();
        scaricaTutte();
        // The help windows reach the contents by name, as in the program.
        registro.registraFabbrica<Sommario>();
        // The exit the program sets at start-up.
        registro.impostaUscita([] { esciprogramma(); });
    }
    void TearDown() override {
        scaricaTutte();
        registro.impostaUscita({});
        impostaCartellaProgramma(QString());
        AmbienteStampe::TearDown();
    }
    Finestre& registro = Finestre::istanza();
};

bool grassetto(const QLabel* l) {
    return l->font().bold();
}

TEST_F(FinestreAiuto, SommarioVociETitoli) {
    Sommario* s = registro.mostra<Sommario>();
    EXPECT_EQ(s->objectName(), "sommario");
    EXPECT_EQ(s->windowTitle(), "Varimo: guida in linea");
    EXPECT_EQ(s->numeroargomenti, 7);
    const QString attese[] = {" Manuale d'uso rapido",
                              " Funzionamento del programma",
                              " Finestra Calcolo",
                              " Finestra Quadro economico",
                              "  Suggerimento del giorno",
                              "  Licenza d'uso di \"Varimo\"",
                              "  altri prodotti Software Veladio"};
    for (int i = 1; i <= 7; ++i) {
        EXPECT_EQ(s->argomento(i)->text(), attese[i - 1]);
        EXPECT_EQ(s->argomento(i)->objectName(), QStringLiteral("lbl_%1").arg(i));
        EXPECT_EQ(s->pulsanteArgomento(i)->text(), "--->");
        EXPECT_EQ(s->pulsanteArgomento(i)->toolTip(),
                  "cliccare per visualizzare: " + attese[i - 1]);
    }
    EXPECT_EQ(s->uscita()->text(), "&USCITA");
    EXPECT_EQ(s->uscita()->toolTip(), "cliccare per uscire da Varimo");
    EXPECT_EQ(s->pulsanteStampa()->toolTip(), "cliccare per avere la copia su carta del sommario");
    EXPECT_EQ(s->size(), Proporzioni::di(s)->disegno());
}

TEST_F(FinestreAiuto, SommarioGrassettoAlPassaggioDelMouse) {
    Sommario* s = registro.mostra<Sommario>();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(s));
    QTest::mouseMove(s->argomento(2));
    EXPECT_TRUE(grassetto(s->argomento(2)));
    QTest::mouseMove(s->argomento(5));
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(grassetto(s->argomento(i)), i == 5) << i;
    // Onto the background, below the title.
    QTest::mouseMove(s, QPoint(2, s->argomento(1)->y() - 2));
    for (int i = 1; i <= 7; ++i) EXPECT_FALSE(grassetto(s->argomento(i))) << i;
}

TEST_F(FinestreAiuto, SommarioPressioneApreSubito) {
    Sommario* s = registro.mostra<Sommario>();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(s));
    QLabel* voce = s->argomento(3);
    ASSERT_EQ(voce->frameShape(), QFrame::Box);
    QTest::mousePress(voce, Qt::LeftButton);
    // Opened on the press, before any release; the entry has lost its border.
    Guidacalcolo* g = registro.trova<Guidacalcolo>();
    ASSERT_NE(g, nullptr);
    EXPECT_TRUE(g->isVisible());
    EXPECT_EQ(voce->frameShape(), QFrame::NoFrame);
    QTest::mouseRelease(voce, Qt::LeftButton);
    EXPECT_EQ(voce->frameShape(), QFrame::Box);
}

TEST_F(FinestreAiuto, SommarioApreOgniVoce) {
    Sommario* s = registro.mostra<Sommario>();
    const char* nomi[] = {
        "manuale", "guidafunzionamento", "guidacalcolo", "guidaquadro", "frmTip", "licenza",
        "catalogo"};
    for (int i = 1; i <= 7; ++i) {
        s->pulsanteArgomento(i)->click();
        QWidget* w = registro.finestra(QString::fromLatin1(nomi[i - 1]));
        ASSERT_NE(w, nullptr) << nomi[i - 1];
        EXPECT_TRUE(w->isVisible()) << nomi[i - 1];
    }
    // A second click brings the same window back.
    QWidget* tip = registro.finestra("frmTip");
    tip->hide();
    s->pulsanteArgomento(5)->click();
    EXPECT_EQ(registro.finestra("frmTip"), tip);
    EXPECT_TRUE(tip->isVisible());
}

TEST_F(FinestreAiuto, SommarioChiudiNascondeEUscitaChiede) {
    Sommario* s = registro.mostra<Sommario>();
    s->pulsanteChiudi()->click();
    EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(registro.trova<Sommario>(), s);

    utente.rispondi(Risposta::No);
    s->uscita()->click();
    ASSERT_EQ(utente.messaggi.size(), 1);
    EXPECT_EQ(utente.messaggi.at(0).testo, "Vuoi uscire da Varimo?");
    EXPECT_EQ(registro.trova<Sommario>(), s);
}

struct GuidaAttesa {
    const char* nome;
    QString titolo;
    QString inizio;
    int lunghezza;
    bool stretta;  // narrower than the manual, beside the contents window
};

const GuidaAttesa kGuide[] = {
    {"manuale", "MANUALE D'USO RAPIDO",
     QString::fromUtf8("Il presente software VARIMO è un'utilissimo strumento per programmare con "
                       "precisione un quadro economico di un lavoro."),
     2250, false},
    {"guidafunzionamento", "FUNZIONAMENTO DEL PROGRAMMA",
     QString::fromUtf8("Il funzionamento di VARIMO è semplice ma, nello stesso tempo, molto "
                       "elaborato al suo interno."),
     1200, true},
    {"guidacalcolo", "Finestra CALCOLO",
     QString::fromUtf8("Il software VARIMO è formato da due finestre solamente."), 1200, true},
    {"guidaquadro", "Finestra QUADRO ECONOMICO",
     QString::fromUtf8("La seconda finestra di questo software riguarda la visualizzazione del "
                       "quadro economico, così come è stato elaborato nella finestra dedicata "
                       "al calcolo."),
     1250, true},
};

FinestraGuida* mostraGuida(int i) {
    Finestre& r = Finestre::istanza();
    switch (i) {
        case 0:
            return r.mostra<Manuale>();
        case 1:
            return r.mostra<Guidafunzionamento>();
        case 2:
            return r.mostra<Guidacalcolo>();
        default:
            return r.mostra<Guidaquadro>();
    }
}

TEST_F(FinestreAiuto, GuideTitoliTestiEMisure) {
    for (int i = 0; i < 4; ++i) {
        const GuidaAttesa& a = kGuide[i];
        FinestraGuida* g = mostraGuida(i);
        SCOPED_TRACE(a.nome);
        EXPECT_EQ(g->objectName(), a.nome);
        EXPECT_EQ(g->windowTitle(), "Guida in linea");
        EXPECT_EQ(g->titolo()->text(), a.titolo);
        const QString testo = g->testoGuida()->text();
        EXPECT_TRUE(testo.startsWith(a.inizio)) << testo.left(120).toStdString();
        EXPECT_NEAR(testo.size(), a.lunghezza, a.lunghezza / 10);
        EXPECT_TRUE(testo.contains("VARIMO"));
        EXPECT_FALSE(testo.contains("Varimo "));
        EXPECT_EQ(g->pulsanteChiudi()->text(), "&Chiudi");
        EXPECT_EQ(g->pulsanteSommario()->text(), "&Sommario");
        EXPECT_EQ(g->pulsanteStampa()->text(), "S&tampa");
        // Each opens at its design size; the narrow ones, beside the contents.
        EXPECT_EQ(g->size(), Proporzioni::di(g)->disegno());
        if (a.stretta) {
            EXPECT_LT(g->width(), registro.carica<Manuale>()->width());
            EXPECT_GT(g->x(), g->screen()->availableGeometry().width() / 4);
        }
        const bool conSuggerimenti = i == 0;
        EXPECT_EQ(g->pulsanteChiudi()->toolTip().isEmpty(), !conSuggerimenti);
        EXPECT_EQ(g->pulsanteSommario()->toolTip().isEmpty(), !conSuggerimenti);
    }
    Manuale* m = registro.trova<Manuale>();
    EXPECT_EQ(m->pulsanteChiudi()->toolTip(), "cliccare per chiudere la finestra");
    EXPECT_EQ(m->pulsanteSommario()->toolTip(),
              "cliccare per visualizzare il sommario della guida");
    EXPECT_EQ(m->pulsanteStampa()->toolTip(),
              "cliccare per avere la copia su carta del MANUALE D'USO RAPIDO");
}

TEST_F(FinestreAiuto, GuidaChiusaERiapertaENuovaEAllaSuaMisura) {
    QPointer<Guidaquadro> prima = registro.mostra<Guidaquadro>();
    const QSize disegno = prima->size();
    prima->resize(prima->minimumSize());
    prima->pulsanteChiudi()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(prima.isNull());
    EXPECT_EQ(registro.trova<Guidaquadro>(), nullptr);

    Sommario* s = registro.mostra<Sommario>();
    s->pulsanteArgomento(4)->click();
    Guidaquadro* dopo = registro.trova<Guidaquadro>();
    ASSERT_NE(dopo, nullptr);
    EXPECT_EQ(dopo->size(), disegno);
}

TEST_F(FinestreAiuto, GuidaSommarioMostraIlSommario) {
    Guidacalcolo* g = registro.mostra<Guidacalcolo>();
    g->pulsanteSommario()->click();
    Sommario* s = registro.trova<Sommario>();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->isVisible());
    EXPECT_TRUE(g->isVisible());
}

TEST_F(FinestreAiuto, StampaDiUnaGuida) {
    Guidafunzionamento* g = registro.mostra<Guidafunzionamento>();
    g->pulsanteStampa()->click();
    ASSERT_EQ(aperti.size(), 1);
    const CorpoLetto corpo = leggiDocx(aperti.at(0));
    ASSERT_TRUE(corpo.errore.isEmpty()) << corpo.errore.toStdString();
    QStringList testi;
    for (const auto& p : corpo.paragrafi()) testi << p.testo;
    EXPECT_TRUE(testi.contains("Guida: FUNZIONAMENTO DEL PROGRAMMA"));
    EXPECT_TRUE(testi.join('\n').contains("iterazione rapida"));
}

TEST_F(FinestreAiuto, StampaDellaGuidaCompleta) {
    impostaCartellaProgramma(cartella.path());
    Sommario* s = registro.mostra<Sommario>();
    // One guide is open beforehand: it stays; the others are loaded for the
    // print only.
    Manuale* m = registro.mostra<Manuale>();
    s->pulsanteStampa()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const QString salvata = cartella.filePath("Varimo-guida.docx");
    ASSERT_TRUE(QFileInfo(salvata).isFile());
    ASSERT_EQ(aperti.size(), 1);
    EXPECT_EQ(aperti.at(0), salvata);
    EXPECT_EQ(registro.trova<Manuale>(), m);
    EXPECT_EQ(registro.trova<Guidafunzionamento>(), nullptr);
    EXPECT_EQ(registro.trova<Guidaquadro>(), nullptr);

    const CorpoLetto corpo = leggiDocx(salvata);
    ASSERT_TRUE(corpo.errore.isEmpty()) << corpo.errore.toStdString();
    QStringList titoli;
    int interruzioni = 0;
    QString tutto;
    for (const auto& p : corpo.paragrafi()) {
        // A guide after the first starts on a new page: its title paragraph
        // begins with the page break.
        QString testo = p.testo;
        while (testo.startsWith(QChar(12))) testo.remove(0, 1);
        if (testo.startsWith("Guida: ")) titoli << testo;
        interruzioni += p.interruzioniPagina;
        tutto += p.testo + '\n';
    }
    EXPECT_EQ(titoli,
              (QStringList{"Guida: MANUALE D'USO RAPIDO", "Guida: FUNZIONAMENTO DEL PROGRAMMA",
                           "Guida: Finestra CALCOLO", "Guida: Finestra QUADRO ECONOMICO"}));
    EXPECT_EQ(interruzioni, 3);
    for (const auto& a : kGuide) EXPECT_TRUE(tutto.contains(a.inizio)) << a.nome;

    // Printing again replaces the saved copy.
    s->pulsanteStampa()->click();
    EXPECT_EQ(aperti.size(), 2);
    EXPECT_EQ(QDir(cartella.path()).entryList({"Varimo-guida*"}).size(), 1);
    EXPECT_TRUE(leggiDocx(salvata).errore.isEmpty());
}

TEST_F(FinestreAiuto, Licenza) {
    Licenza* l = registro.mostra<Licenza>();
    EXPECT_EQ(l->windowTitle(), "LICENZA D'USO");
    EXPECT_EQ(l->nomeProgramma()->text(), "Varimo");
    EXPECT_TRUE(l->testo()->isReadOnly());
    EXPECT_GT(l->testo()->toPlainText().size(), 500);
    EXPECT_EQ(l->size(), Proporzioni::di(l)->disegno());
    EXPECT_GT(l->x(), l->screen()->availableGeometry().width() / 4);
    EXPECT_EQ(l->pulsanteChiudi()->toolTip(), "cliccare per chiudere la finestra LICENZA D'USO");
    EXPECT_EQ(l->pulsanteSommario()->toolTip(),
              "cliccare per visualizzare il sommario della guida");
    EXPECT_EQ(l->pulsanteStampa()->toolTip(), "cliccare per stampare la LICENZA D'USO");

    l->pulsanteStampa()->click();
    ASSERT_EQ(aperti.size(), 1);
    QString tutto;
    for (const auto& p : leggiDocx(aperti.at(0)).paragrafi()) tutto += p.testo + '\n';
    EXPECT_TRUE(tutto.contains(QString::fromUtf8("Assenza di garanzia")));

    // "Chiudi" only hides: the same window comes back.
    l->pulsanteChiudi()->click();
    EXPECT_FALSE(l->isVisible());
    EXPECT_EQ(registro.mostra<Licenza>(), l);
}

TEST_F(FinestreAiuto, Catalogo) {
    Catalogo* c = registro.mostra<Catalogo>();
    EXPECT_EQ(c->objectName(), "catalogo");
    EXPECT_EQ(c->size(), Proporzioni::di(c)->disegno());
    EXPECT_FALSE(c->intestazione()->text().isEmpty());
    c->pulsanteSommario()->click();
    ASSERT_NE(registro.trova<Sommario>(), nullptr);
    EXPECT_TRUE(registro.trova<Sommario>()->isVisible());
}

TEST_F(FinestreAiuto, ControlliScalatiConLaFinestra) {
    Manuale* m = registro.mostra<Manuale>();
    const QRect prima = m->pulsanteStampa()->geometry();
    m->resize(m->width() * 2, m->height());
    const QRect dopo = m->pulsanteStampa()->geometry();
    EXPECT_GT(dopo.x(), prima.x() * 3 / 2);
    EXPECT_NEAR(dopo.width(), prima.width() * 2, prima.width() / 10);
    EXPECT_EQ(dopo.y(), prima.y());
    // Back at its size, back on the design places.
    m->resize(Proporzioni::di(m)->disegno());
    EXPECT_EQ(m->pulsanteStampa()->geometry(), prima);
}

}  // namespace
}  // namespace varimo::test
