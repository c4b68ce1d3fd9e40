#include "app/registro_finestre.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>

#include "app/avvio.h"
#include "app/comandi.h"
#include "app/saluto.h"
#include "calculation/comandifile.h"
#include "calculation/progetto.h"
#include "calculation/statocalcolo.h"
#include "calculation/vocicodice.h"
#include "calculation/widgets/calcolo.h"
#include "common/interazione.h"
#include "common/recenti.h"
#include "common/testiprogramma.h"
#include "common/widgets/finestre.h"
#include "classico/persezioni.h"
#include "classico/statoeconomico.h"
#include "classico/widgets/economico.h"
#include "classico/widgets/postgara.h"
#include "help/widgets/catalogo.h"
#include "help/widgets/guide.h"
#include "help/widgets/informa.h"
#include "help/widgets/licenza.h"
#include "help/widgets/sommario.h"
#include "help/widgets/suggerimentodelgiorno.h"
#include "help/widgets/supportoclienti.h"
#include "quadro/formatoquadro.h"
#include "quadro/widgets/finestraquadro.h"
#include "reports/colore.h"
#include "reports/stampe.h"

namespace varimo {

namespace {

// The calculation window's file dialog and its commands live with the window:
// a new calculation window starts with a new dialog ("Varimo-dati-").
class CommonDialog1 final : public QObject {
  public:
    explicit CommonDialog1(Calcolo* c) : QObject(c), comandi(c->progettoAperto()) {
        setObjectName(QStringLiteral("CommonDialog1"));
    }
    ComandiFile comandi;
};

Economico* quadro() {
    return Finestre::istanza().carica<Economico>();
}
Calcolo* calcolo() {
    return Finestre::istanza().carica<Calcolo>();
}

// Background colour of a main window: the answer applies to this window and,
// for the grey, to the other main window too (loaded without showing it).
void colora(QWidget* questa, bool daCalcolo) {
    const ColoriSfondo c = colorare(coloreSfondo(questa));
    if (c.questa) impostaColoreSfondo(questa, *c.questa);
    if (c.altra) {
        QWidget* altra = daCalcolo ? static_cast<QWidget*>(quadro()) : calcolo();
        impostaColoreSfondo(altra, *c.altra);
    }
}

// The title of a main window: its caption, then the name of the project file
// the calculation window holds, with Qt's mark of unsaved changes.
void intitola(QMainWindow* w, const QString& didascalia, const QString& file, bool modificato) {
    QString titolo = didascalia;
    if (!file.isEmpty()) {
        QString nome = QFileInfo(file).fileName();
        nome.replace(QStringLiteral("[*]"), QStringLiteral("[[*]]"));
        titolo += QStringLiteral(" \u2013 ") + nome;
    }
    w->setWindowTitle(titolo + QStringLiteral("[*]"));
    w->setWindowModified(modificato);
}

// The titles of both main windows follow the project of the calculation
// window: its file and its mark of unsaved changes.
void aggiornaPrincipali() {
    Finestre& r = Finestre::istanza();
    Calcolo* c = r.trova<Calcolo>();
    const Progetto* p = c ? &c->progettoAperto() : nullptr;
    const QString file = p ? p->percorso() : QString();
    const bool modificato = p && p->modificato();
    if (c) intitola(c, testicalcolo::titoloFinestra, file, modificato);
    if (Economico* e = r.trova<Economico>())
        intitola(e, testieconomico::titoloFinestra, file, modificato);
}

void aggiornaRecenti() {
    const QStringList elenco = recenti::elenco();
    Finestre& r = Finestre::istanza();
    if (Calcolo* c = r.trova<Calcolo>()) impostaRecenti(c, elenco);
    if (Economico* e = r.trova<Economico>()) impostaRecenti(e, elenco);
}

// A project file opened or saved, by either kind of window, joins the recent
// projects.
void usaRecente(const QString& percorso) {
    recenti::aggiungi(percorso);
    aggiornaRecenti();
}

// A file of the recent projects opens as Open opens it: a framework of any
// shape (.varimo) in the framework window, a classic project in the
// calculation window, brought to the front; a file that is gone leaves the
// list.
void apriRecente(const QString& percorso) {
    if (!QFileInfo::exists(percorso)) {
        recenti::togli(percorso);
        aggiornaRecenti();
        messaggio(QStringLiteral("Il progetto non esiste più:\r") +
                      QDir::toNativeSeparators(percorso) +
                      QStringLiteral("\rè stato tolto dall'elenco dei progetti recenti."),
                  TestiProgramma::titoloaiuto, Icona::Esclamazione);
        return;
    }
    if (percorso.endsWith(QString::fromLatin1(quadro::kEstensione), Qt::CaseInsensitive)) {
        quadro::apriQuadroAllAvvio(percorso);
        return;
    }
    Calcolo* c = calcolo();
    comandiFileDi(c).apriPercorso(percorso);
    aggiornaPrincipali();
    Finestre::porta(c);
}

// Runs a file command, then brings the titles in line (Save as, Delete and a
// cancelled dialog change the current file without a step).
std::function<void()> conTitoli(std::function<void()> comando) {
    return [comando = std::move(comando)] {
        comando();
        aggiornaPrincipali();
    };
}

// The project the reports name: the calculation window's, else what the
// framework window shows.
IntestazioneProgetto intestazioneAttuale() {
    Finestre& r = Finestre::istanza();
    if (const Calcolo* c = r.trova<Calcolo>())
        return {c->progettoAperto().nome(), c->progettoAperto().valuta()};
    if (const Economico* e = r.trova<Economico>())
        return {e->stato().nomeProgetto(), e->stato().valuta()};
    return {};
}

// What the reports read from the windows, as displayed.
DatiStampaCalcolo datiStampa(const Calcolo* c) {
    const StatoCalcolo& s = c->stato();
    DatiStampaCalcolo d;
    for (int i = 1; i <= kVoci; ++i) {
        const auto u = static_cast<size_t>(i);
        d.righe[u] = {s.tipo(i), s.costo(i), s.percentuale(i), s.riferimento(i).testo};
    }
    d.calcolato = testicalcolo::calcolato;
    d.progetto = s.progetto();
    d.vincolato = testicalcolo::vincolato;
    d.costoprogetto = s.costoprogetto();
    d.intestazione = intestazioneAttuale();
    return d;
}

DatiStampaQuadro datiStampa(const Economico* e) {
    const StatoEconomico& s = e->stato();
    DatiStampaQuadro d;
    d.numerovoci = s.numerovoci;
    for (int i = 1; i <= 19; ++i) {
        const auto u = static_cast<size_t>(i);
        d.tipo[u] = s.tipo(i);
        d.costo[u] = s.costo(i);
    }
    d.intestazione = intestazioneAttuale();
    return d;
}

// The print and the PDF export of a window: a missing project name or
// currency brings up the framework window, where both are typed.
void dopoStampa(EsitoStampa esito, Economico* quadroAperto) {
    if (esito != EsitoStampa::MostraQuadro) return;
    if (quadroAperto)
        Finestre::porta(quadroAperto);
    else
        Finestre::istanza().mostra<Economico>();
}

// "Stampa per sezioni" and its PDF export, from either main window: the
// framework window's rows in the two sections. Missing name or currency
// bring that window forward.
void stampaSezioniDelQuadro(bool pdf) {
    Economico* e = quadro();
    QuadroSezioni q = sezioniDelQuadro(e->stato());
    q.intestazione = intestazioneAttuale();
    dopoStampa(pdf ? esportaSezioni(q) : stampaSezioni(q), e);
}

void preparaCalcolo(Calcolo* c) {
    Progetto& progetto = c->progettoAperto();
    // The window's start-up sets the currency to "euro". A calculation window
    // built while the framework window is still loaded (the previous one was
    // closed with its frame) keeps the project name and currency that window
    // shows, with its total row names, or the reports and the file would say
    // "euro" under a framework in another currency; from then on the window's
    // boxes edit the new project.
    if (Economico* e = Finestre::istanza().trova<Economico>()) {
        progetto.impostaNome(e->stato().nomeProgetto());
        progetto.impostaValuta(e->stato().valuta());
        e->stato().seguiProgetto(&progetto);
    }

    auto* dialogo = new CommonDialog1(c);
    ComandiFile& f = dialogo->comandi;
    // Open, and undo and redo of an Open, write the project name and currency
    // into the framework window, creating it hidden if needed; its handlers
    // copy them back.
    QObject::connect(&progetto, &Progetto::nomeValutaCambiati, c,
                     [](const QString& nome, const QString& valuta) {
                         StatoEconomico& e = quadro()->stato();
                         e.scriviNomeProgetto(nome);
                         e.scriviValuta(valuta);
                     });
    f.impostaMostraQuadro([] { Finestre::istanza().mostra<Economico>(); });
    f.impostaFileUsato(usaRecente);
    AzioniFinestra a;
    a.apri = conTitoli([&f] { f.apri(); });
    a.salva = conTitoli([&f] { f.salva(); });
    a.salvanome = conTitoli([&f] { f.salvaConNome(); });
    a.eliminare = conTitoli([&f] { f.eliminaFileScelto(); });
    a.stampa = [c] { dopoStampa(stampaCalcolo(datiStampa(c)), nullptr); };
    a.esportapdf = [c] { dopoStampa(esportaCalcolo(datiStampa(c)), nullptr); };
    a.stampasezioni = [] { stampaSezioniDelQuadro(false); };
    a.esportasezionipdf = [] { stampaSezioniDelQuadro(true); };
    a.colorare = [c] { colora(c, true); };
    a.controlla = [c] { c->controllaDati(); };
    a.cancella = [c] { c->cancellaTutto(); };
    a.apriRecente = apriRecente;
    a.vocicodice = [c] { applicaVociCodice(c->stato()); };
    a.convertiquadro = [c] { quadro::convertiInQuadro(c->stato()); };
    installaComandi(c, Principale::Calcolo, a);
    // Undo and redo in both main windows act on this project.
    impostaStoria(c, &progetto.storia());
    if (Economico* e = Finestre::istanza().trova<Economico>()) impostaStoria(e, &progetto.storia());

    QObject::connect(&progetto, &Progetto::storiaCambiata, c, aggiornaPrincipali);
    QObject::connect(&progetto, &Progetto::percorsoCambiato, c, aggiornaPrincipali);
    // Gone, it leaves the framework window with its caption alone and nothing
    // to undo.
    QObject::connect(c, &QObject::destroyed, [] {
        if (Economico* e = Finestre::istanza().trova<Economico>()) impostaStoria(e, nullptr);
        aggiornaPrincipali();
    });
    aggiornaPrincipali();
    aggiornaRecenti();

    // A framework after the tender already open follows the new window.
    if (PostGara* p = Finestre::istanza().trova<PostGara>()) p->riprendiProgetto();
}

// The framework window's file commands run the calculation window's and then
// bring it to the front; Delete stays where it is.
void preparaEconomico(Economico* e) {
    // A framework window built again after the previous one was closed with
    // its frame shows the project name and currency of the calculation
    // window's project, which are the ones its reports and the saved file
    // use; its boxes edit that project.
    if (Calcolo* c = Finestre::istanza().trova<Calcolo>()) {
        StatoEconomico& quadroNuovo = e->stato();
        const Progetto& p = c->progettoAperto();
        quadroNuovo.seguiProgetto(&c->progettoAperto());
        if (!p.nome().isEmpty()) quadroNuovo.scriviNomeProgetto(p.nome());
        if (!p.valuta().isEmpty()) quadroNuovo.scriviValuta(p.valuta());
    }

    auto sulCalcolo = [](auto comando, bool porta) {
        return conTitoli([comando, porta] {
            Calcolo* c = calcolo();
            (comandiFileDi(c).*comando)();
            if (porta) Finestre::porta(c);
        });
    };
    AzioniFinestra a;
    a.apri = sulCalcolo(&ComandiFile::apri, true);
    a.salva = sulCalcolo(&ComandiFile::salva, true);
    a.salvanome = sulCalcolo(&ComandiFile::salvaConNome, true);
    a.eliminare = sulCalcolo(&ComandiFile::eliminaFileScelto, false);
    a.stampa = [e] { dopoStampa(stampaQuadro(datiStampa(e)), e); };
    a.esportapdf = [e] { dopoStampa(esportaQuadro(datiStampa(e)), e); };
    a.stampasezioni = [] { stampaSezioniDelQuadro(false); };
    a.esportasezionipdf = [] { stampaSezioniDelQuadro(true); };
    a.colorare = [e] { colora(e, false); };
    a.controlla = [e] { e->controllaDati(); };
    a.cancella = [e] { e->cancellaTutto(); };
    a.apriRecente = apriRecente;
    installaComandi(e, Principale::Quadro, a);
    // Undo and redo act on the calculation window's project, when it is loaded.
    Calcolo* c = Finestre::istanza().trova<Calcolo>();
    impostaStoria(e, c ? &c->progettoAperto().storia() : nullptr);
    aggiornaPrincipali();
    aggiornaRecenti();
}

}  // namespace

bool apriProgettoAllAvvio(const QString& percorso) {
    Calcolo* c = Finestre::istanza().mostra<Calcolo>();
    const bool aperto = comandiFileDi(c).apriPercorso(percorso);
    aggiornaPrincipali();
    return aperto;
}

ComandiFile& comandiFileDi(Calcolo* c) {
    return c->findChild<CommonDialog1*>(QStringLiteral("CommonDialog1"))->comandi;
}

unsigned coloreSfondo(const QWidget* finestra) {
    return finestra->palette().color(QPalette::Window).rgb() & 0xFFFFFFu;
}

void impostaColoreSfondo(QWidget* finestra, unsigned colore) {
    QPalette p = finestra->palette();
    p.setColor(QPalette::Window, QColor::fromRgb(colore));
    finestra->setPalette(p);
    finestra->setAutoFillBackground(true);
    if (auto* m = qobject_cast<QMainWindow*>(finestra); m && m->centralWidget()) {
        m->centralWidget()->setAutoFillBackground(false);
    }
}

void collegaPrincipali(QWidget* finestra) {
    if (auto* c = dynamic_cast<Calcolo*>(finestra)) {
        c->impostaMostraQuadro(
            [](const StatoCalcolo& s) { Finestre::istanza().mostra<Economico>()->mostra(s); });
    } else if (auto* e = dynamic_cast<Economico*>(finestra)) {
        e->impostaRielabora([] {
            // The calculation window is loaded first: a window built here
            // starts with no constraint pending, and the rework's state must
            // outlast that start.
            Calcolo* c = calcolo();
            c->progettoAperto().registraPasso(QStringLiteral("rielaborazione quadro economico"),
                                              [c] {
                                                  c->stato().statovincolo = StatoVincolo::InAttesa;
                                                  c->stato().impostaSenzaVincoloVisibile(true);
                                              });
            Finestre::porta(c);
        });
    }
}

void registraFinestre() {
    Finestre& r = Finestre::istanza();
    r.registraFabbrica<Saluto>();
    r.registraFabbrica<Calcolo>();
    r.registraFabbrica<Economico>();
    r.registraFabbrica<PostGara>();
    r.registraFabbrica<Sommario>();
    r.registraFabbrica<Manuale>();
    r.registraFabbrica<Guidafunzionamento>();
    r.registraFabbrica<Guidacalcolo>();
    r.registraFabbrica<Guidaquadro>();
    r.registraFabbrica<SuggerimentoDelGiorno>();
    r.registraFabbrica<Licenza>();
    r.registraFabbrica<Catalogo>();
    r.registraFabbrica<Supportoclienti>();
    r.registraFabbrica<Informa>();
    r.registraFabbrica<quadro::FinestraQuadro>();
    // The close box of the calculation window asks before unsaved changes
    // are lost; the exit command closes it with its own question.
    r.impostaGuardiaChiusura(QString::fromLatin1(Calcolo::kNome), [] {
        Calcolo* c = Finestre::istanza().trova<Calcolo>();
        return !c || comandiFileDi(c).consentiChiusura();
    });
    r.impostaGuardiaChiusura(QString::fromLatin1(quadro::FinestraQuadro::kNome), [] {
        auto* q = Finestre::istanza().trova<quadro::FinestraQuadro>();
        return !q || q->chiudibile();
    });
    r.impostaUscita([] { esciprogramma(); });
    r.impostaAllaCreazione([](QWidget* w) {
        collegaPrincipali(w);
        if (auto* c = dynamic_cast<Calcolo*>(w))
            preparaCalcolo(c);
        else if (auto* e = dynamic_cast<Economico*>(w))
            preparaEconomico(e);
        else if (auto* q = dynamic_cast<quadro::FinestraQuadro*>(w))
            q->documento().impostaFileUsato(usaRecente);
        else if (auto* p = dynamic_cast<PostGara*>(w))
            p->impostaFonti(
                [] {
                    Calcolo* c = Finestre::istanza().trova<Calcolo>();
                    return c ? &c->stato() : nullptr;
                },
                [] { Finestre::istanza().mostra<Economico>(); });
    });
}

}  // namespace varimo
