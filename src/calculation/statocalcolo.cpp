#include "calculation/statocalcolo.h"

#include <algorithm>
#include <cmath>

#include "calculation/numeri.h"
#include "shell/interazione.h"
#include "shell/modvarimo.h"

namespace varimo {

namespace {

// Ends the current pass of ricalcola: a text that cannot be read, or a value
// that overflows.
struct ErroreCalcolo {};

const QString kEtichette[kVoci + 1] = {
    QString(),
    QStringLiteral("Lavori a misura"),
    QStringLiteral("Lavori a corpo"),
    QStringLiteral("Oneri per i piani di sicurezza e coordinamento"),
    QStringLiteral("Importo a base dell'appalto"),
    QStringLiteral("Rilievi, accertamenti e indagini"),
    QStringLiteral("Allacciamenti ai pubblici servizi"),
    QStringLiteral("Imprevisti"),
    QStringLiteral("Acquisizione di aree (da piano particellare)"),
    QStringLiteral("Occupazione di aree (da piano particellare)"),
    QStringLiteral("Prezzo chiuso"),
    QStringLiteral("Spese tecniche"),
    QStringLiteral("Spese per attività di consulenza e supporto"),
    QStringLiteral("Spese per commissioni giudicatrici"),
    QStringLiteral("Spese per pubblicità"),
    QStringLiteral("Spese per opere d'arte al 2%"),
    QStringLiteral("Spese analisi e collaudi"),
    QStringLiteral("IVA sui lavori"),
    QStringLiteral("Totale somme a disposizione"),
};

const char kLettere[] = "ABCDEFGHILMNOPQRST";

// An amount with a misplaced thousands point ("1234.56") reads, but almost
// always stands for a decimal typed with a point: the passes treat it as an
// unreadable amount rather than compute with a hundred times the amount.
double rigorosa(const QString& t) {
    const auto v = letturaRigorosa(t);
    if (!v || separatoreFuoriPosto(t)) throw ErroreCalcolo{};
    return *v;
}

double tollerante(const QString& t) {
    const double v = letturaTollerante(t);
    if (!std::isfinite(v)) throw ErroreCalcolo{};
    return v;
}

double centesimiDi(const QString& t) {
    const auto v = letturaCentesimi(t);
    if (!v || separatoreFuoriPosto(t)) throw ErroreCalcolo{};
    return *v;
}

QString scrittura(double v) {
    if (!std::isfinite(v)) throw ErroreCalcolo{};
    return scritturaNumerica(v);
}

// Whole currency units of the constrained total, read the way its amount
// reaches row A: the integer part of the strict reading, so that "400.000",
// "400000" and "400000,00" all mean four hundred thousand. A text the strict
// reading refuses ("12x") is read tolerantly, as the total always was.
double unitaVincolo(const QString& t) {
    if (const auto v = letturaRigorosa(t); v && std::isfinite(*v)) return std::trunc(*v);
    return tollerante(t);
}

bool valida(int i) {
    return i >= 1 && i <= kVoci;
}

const QString kMessaggioVincolo = QStringLiteral(
    "Non è possibile raggiungere l'importo vincolato del progetto con le percentuali impostate: "
    "il calcolo è stato interrotto. Modificare le percentuali, le voci di riferimento o "
    "l'importo vincolato.");
const QString kMessaggioCiclo = QStringLiteral(
    "Il calcolo è stato interrotto: le percentuali impostate rimandano l'una all'altra e fanno "
    "crescere gli importi senza fine. Modificare le percentuali o le voci di riferimento.");

}  // namespace

// Marks an operation started from outside (a user edit, a command, a call by
// another window). Counters that limit one operation start with the outermost
// one; when it ends the views are told.
class StatoCalcolo::Operazione {
  public:
    explicit Operazione(StatoCalcolo& s) : s_(s) {
        if (s_.operazioni_++ == 0) {
            s_.passiOperazione_ = 0;
            s_.avvisato_ = false;
            s_.passiDiscesa_ = 0;
            s_.discesaCeduta_ = false;
            s_.aPrimaDelVincolo_.reset();
        }
    }
    ~Operazione() {
        if (--s_.operazioni_ == 0) emit s_.cambiato();
    }
    Operazione(const Operazione&) = delete;
    Operazione& operator=(const Operazione&) = delete;

  private:
    StatoCalcolo& s_;
};

QChar letteraVoce(int i) {
    return valida(i) ? QLatin1Char(kLettere[i - 1]) : QLatin1Char(' ');
}

QString etichettaIniziale(int i) {
    return valida(i) ? kEtichette[i] : QString();
}

StatoCalcolo::StatoCalcolo(QObject* parent) : QObject(parent) {
    for (int i = 1; i <= kVoci; ++i) righe_[i].tipo.imposta(kEtichette[i]);
    collega();
}

StatoCalcolo::~StatoCalcolo() = default;

void StatoCalcolo::collega() {
    for (int i = 1; i <= kVoci; ++i) {
        RigaCalcolo& r = righe_[i];
        r.tipo.suCambio([this, i] { applicaEtichetta(i); });
        r.costo.suCambio([this, i] { applicaCosto(i); });
        r.hscroll.suCambio([this, i] { applicaPercentuale(i); });
        r.combo.suCambio([this, i] { selezioneCombo(i); });
    }
    costoprogetto_.suCambio([this] { costoprogetto_change(); });
}

// ---------------------------------------------------------------- start-up

void StatoCalcolo::formLoad() {
    Operazione op(*this);
    // A new window starts with no constrained step pending and the constraint
    // not switched off: left switched off ("senza importo vincolato"), a
    // constrained total typed into the new window would never reach row A, and
    // the button that leads out of that state is hidden.
    statovincolo = StatoVincolo::Nessuno;
    suggerimentoEsco_.imposta(testicalcolo::escoSuggerimento + ModVarimo::nomeprogramma);
    impostavoci();
    for (int i = 1; i <= kVoci - 1; ++i) {
        righe_[i].suggerimentoDelriga.imposta(testicalcolo::delrigaSuggerimento + QLatin1Char(' ') +
                                              QString::number(i));
    }
}

void StatoCalcolo::impostavoci() {
    Operazione op(*this);
    for (int i = 1; i <= kVoci; ++i) {
        RigaCalcolo& r = righe_[i];
        r.pagina = 5;
        Riferimento nuovo = r.combo();
        for (int j = 1; j <= kVoci; ++j) nuovo.voci.append(righe_[j].tipo());
        imponiCombo(i, nuovo, EventoCombo::Nessuno);
        r.suggerimentoCombo.imposta(testicalcolo::comboSuggerimento);
        if (i == 4) {
            r.suggerimentoTipo.imposta(testicalcolo::tipo4Suggerimento);
        } else if (i == kVoci) {
            r.suggerimentoTipo.imposta(testicalcolo::tipo18Suggerimento);
        } else {
            r.suggerimentoTipo.imposta(testicalcolo::tipoSuggerimento);
        }
    }
}

// ---------------------------------------------------------------- reading

QString StatoCalcolo::tipo(int i) const {
    return valida(i) ? righe_[i].tipo() : QString();
}
QString StatoCalcolo::costo(int i) const {
    return valida(i) ? righe_[i].costo() : QString();
}

QString StatoCalcolo::perc(int i) const {
    if (valida(i)) return righe_[i].perc();
    if (i == 0) return testicalcolo::perc0;
    if (i == 19) return testicalcolo::perc19;
    if (i == 20) return testicalcolo::perc20;
    return QString();
}

int StatoCalcolo::hscroll(int i) const {
    return valida(i) ? righe_[i].hscroll() : 0;
}

const Riferimento& StatoCalcolo::combo(int i) const {
    static const Riferimento vuoto;
    return valida(i) ? righe_[i].combo() : vuoto;
}

QString StatoCalcolo::progetto() const {
    return progetto_();
}
QString StatoCalcolo::costoprogetto() const {
    return costoprogetto_();
}
bool StatoCalcolo::cmdannullaVisibile() const {
    return cmdannullaVisibile_();
}

QString StatoCalcolo::suggerimentoTipo(int i) const {
    return valida(i) ? righe_[i].suggerimentoTipo() : QString();
}
QString StatoCalcolo::suggerimentoCombo(int i) const {
    return valida(i) ? righe_[i].suggerimentoCombo() : QString();
}
QString StatoCalcolo::suggerimentoDelriga(int i) const {
    return delrigaPresente(i) ? righe_[i].suggerimentoDelriga() : QString();
}
QString StatoCalcolo::suggerimentoCosto(int i) const {
    if (i == 1) return testicalcolo::costo1Suggerimento;
    if (i == 4) return testicalcolo::costo4Suggerimento;
    if (i == kVoci) return testicalcolo::costo18Suggerimento;
    return QString();
}
QString StatoCalcolo::suggerimentoEsco() const {
    return suggerimentoEsco_();
}
int StatoCalcolo::pagina(int i) const {
    return valida(i) ? righe_[i].pagina : 1;
}

bool StatoCalcolo::percentualeVisibile(int i) {
    return valida(i) && i != 1 && i != 4 && i != 18;
}
bool StatoCalcolo::delrigaPresente(int i) {
    return i >= 1 && i <= kVoci - 1;
}
bool StatoCalcolo::delrigaVisibile(int i) {
    return delrigaPresente(i) && i != 4;
}
bool StatoCalcolo::tipoSoloLettura(int i) {
    return i == 4 || i == kVoci;
}
bool StatoCalcolo::costoSoloLettura(int i) {
    return i == 4 || i == kVoci;
}

RigaCalcolo& StatoCalcolo::riga(int i) {
    return righe_[valida(i) ? i : 0];
}

void StatoCalcolo::azzeraContatori() {
    passiTotali_ = 0;
    profonditaMassima_ = 0;
    interruzioni_ = 0;
}

// ---------------------------------------------------------------- writing

void StatoCalcolo::scriviTipo(int i, const QString& testo) {
    if (!valida(i)) return;
    Operazione op(*this);
    righe_[i].tipo.imposta(testo);
}

void StatoCalcolo::scriviCosto(int i, const QString& testo) {
    if (!valida(i)) return;
    Operazione op(*this);
    righe_[i].costo.imposta(testo);
}

void StatoCalcolo::scriviHScroll(int i, int valore) {
    if (!valida(i)) return;
    Operazione op(*this);
    righe_[i].hscroll.imposta(std::clamp(valore, 0, 100));
}

void StatoCalcolo::imponiCombo(int i, const Riferimento& r, EventoCombo e) {
    RigaCalcolo& riga = righe_[i];
    // An equal value runs nothing; return before the pending event is touched
    // so that a view echoing the value cannot disturb an edit in progress.
    if (riga.combo() == r) return;
    eventoCombo_ = e;
    riga.combo.imposta(r);
}

void StatoCalcolo::scriviTestoCombo(int i, const QString& testo) {
    if (!valida(i)) return;
    Operazione op(*this);
    const Riferimento& attuale = righe_[i].combo();
    if (attuale.testo == testo) return;  // the text does not change: no event
    Riferimento nuovo{attuale.voci, -1, testo};
    imponiCombo(i, nuovo, EventoCombo::Change);
}

void StatoCalcolo::scegliCombo(int i, int posizione) {
    if (!valida(i)) return;
    Operazione op(*this);
    const Riferimento& attuale = righe_[i].combo();
    if (posizione < -1 || posizione >= attuale.voci.size()) return;
    Riferimento nuovo{attuale.voci, posizione,
                      posizione >= 0 ? attuale.voci[posizione] : attuale.testo};
    imponiCombo(i, nuovo, EventoCombo::Click);
}

void StatoCalcolo::svuotaCombo(int i) {
    if (!valida(i)) return;
    Operazione op(*this);
    Riferimento nuovo{QStringList(), -1, righe_[i].combo().testo};
    imponiCombo(i, nuovo, EventoCombo::Nessuno);
}

void StatoCalcolo::scriviProgetto(const QString& testo) {
    Operazione op(*this);
    progetto_.imposta(testo);
}

void StatoCalcolo::scriviCostoprogetto(const QString& testo) {
    Operazione op(*this);
    costoprogetto_.imposta(testo);
}

void StatoCalcolo::impostaCmdannullaVisibile(bool visibile) {
    Operazione op(*this);
    cmdannullaVisibile_.imposta(visibile);
}

// ---------------------------------------------------------------- handlers

void StatoCalcolo::selezioneCombo(int i) {
    const EventoCombo e = eventoCombo_;
    eventoCombo_ = EventoCombo::Nessuno;
    if (e == EventoCombo::Change) {
        applicaTestoRiferimento(i);
    } else if (e == EventoCombo::Click) {
        applicaRiferimento(i);
    }
}

void StatoCalcolo::applicaCosto(int /*i*/) {
    Operazione op(*this);
    if (inerte_) return;
    if (!costoprogetto_().isEmpty()) statovincolo = StatoVincolo::InAttesa;
    ricalcola();
}

void StatoCalcolo::applicaPercentuale(int i) {
    if (!valida(i)) return;
    Operazione op(*this);
    if (inerte_) return;
    if (!costoprogetto_().isEmpty()) statovincolo = StatoVincolo::InAttesa;
    righe_[i].perc.imposta(QString::number(righe_[i].hscroll()));
    ricalcola();
}

void StatoCalcolo::gestisciCombo(int i) {
    if (!valida(i)) return;
    Operazione op(*this);
    if (inerte_) return;
    if (!costoprogetto_().isEmpty()) statovincolo = StatoVincolo::InAttesa;
    if (!caricamento) vocerif[i] = righe_[i].combo().posizione + 1;
    ricalcola();
}

void StatoCalcolo::applicaTestoRiferimento(int i) {
    gestisciCombo(i);
}
void StatoCalcolo::applicaRiferimento(int i) {
    gestisciCombo(i);
}

void StatoCalcolo::costoprogetto_change() {
    Operazione op(*this);
    if (riavvio_ == 0) vincoloUtente_ = costoprogetto_();
    if (inerte_) return;
    if (statovincolo == StatoVincolo::Spento) return;
    statovincolo = StatoVincolo::InAttesa;
    // A constrained total that the rows already make moves nothing: the
    // hand-off of "Visualizza" writes the total itself, and restarting the
    // descent from it would change the amounts just shown and printed.
    const QString& vincolo = costoprogetto_();
    if (riavvio_ == 0 && !vincolo.isEmpty()) {
        const auto c = letturaRigorosa(vincolo);
        const auto p = letturaRigorosa(progetto_());
        if (c && p && *c == *p) return;
    }
    ricordaRigaA();
    righe_[1].costo.imposta(vincolo);
}

void StatoCalcolo::spegniVincolo() {
    Operazione op(*this);
    statovincolo = StatoVincolo::Spento;
    costoprogetto_.imposta(QString());
    cmdannullaVisibile_.imposta(false);
}

void StatoCalcolo::cancellaRiga(int i) {
    if (!delrigaVisibile(i)) return;
    Operazione op(*this);
    RigaCalcolo& r = righe_[i];
    centesimi[i] = 0;
    r.costo.imposta(QString());
    r.hscroll.imposta(0);
    if (r.combo().testo != QString()) {
        imponiCombo(i, Riferimento{r.combo().voci, -1, QString()}, EventoCombo::Change);
    }
    costorif[i] = 0;
    ricalcola();
    r.costo.imposta(QString());
}

void StatoCalcolo::applicaEtichetta(int /*i*/) {
    Operazione op(*this);
    if (inerte_) return;
    if (caricamento) {
        // A label read from a file is not typed: no warning now, nor at the
        // next change of another label.
        for (int j = 1; j <= kVoci; ++j) etichettaLunga_[j] = righe_[j].tipo().size() > 50;
        return;
    }
    // Every list is emptied and refilled with the current labels. A row keeps
    // the reference it had chosen (same row number), and its box shows that
    // row's new label: the selection is put back without running a handler,
    // so vocerif and every amount stay as they are.
    std::array<int, kVoci + 1> scelte{};
    for (int j = 1; j <= kVoci; ++j) {
        scelte[j] = righe_[j].combo().posizione;
        svuotaCombo(j);
        // The warning comes once when a label goes past 50 characters (again
        // only after it came back within them), and it does not take the
        // keyboard: the keys typed meanwhile reach the box.
        const bool lunga = righe_[j].tipo().size() > 50;
        if (lunga && !etichettaLunga_[j]) {
            avviso(testicalcolo::avvisoLunghezza, ModVarimo::titoloaiuto, Icona::Informazione);
        }
        etichettaLunga_[j] = lunga;
    }
    impostavoci();
    for (int j = 1; j <= kVoci; ++j) {
        const Riferimento& r = righe_[j].combo();
        if (scelte[j] < 0 || scelte[j] >= r.voci.size()) continue;
        imponiCombo(j, Riferimento{r.voci, scelte[j], r.voci[scelte[j]]}, EventoCombo::Nessuno);
    }
}

// ---------------------------------------------------------------- recalculation

void StatoCalcolo::ricalcola() {
    Operazione op(*this);
    if (inerte_ || fermo_) return;
    if (profondita_ >= kProfonditaMassima || passiOperazione_ >= kPassiMassimi) {
        riavvioInterrotto_ = riavvio_ > 0;
        // Inside a pass: every pass below ends at its next nested write, down
        // to the outermost one, which concludes.
        if (profondita_ > 0) {
            fermo_ = true;
            return;
        }
        concludiInterruzione();
        return;
    }
    ++profondita_;
    ++passiTotali_;
    ++passiOperazione_;
    if (profondita_ > profonditaMassima_) profonditaMassima_ = profondita_;
    try {
        passo(true);
    } catch (const ErroreCalcolo&) {
        // The pass ends here; what it wrote stays.
    }
    --profondita_;
    if (profondita_ > 0 || ricerca_) return;
    if (!fermo_ && vincoloToccato_) {
        ++profondita_;
        affinaVincolo();
        --profondita_;
    }
    vincoloToccato_ = false;
    if (fermo_) {
        fermo_ = false;
        concludiInterruzione();
    }
}

// One pass: percentage rows, cents, the sums D and T, the project total and,
// when a constrained total is pending, one step of the descent of row A. A
// pass whose nested write reached a bound ends right after that write.
void StatoCalcolo::passo(bool conDiscesa) {
    // 1. Percentage rows, in row order.
    for (int i = 1; i <= kVoci; ++i) {
        const int posizione = righe_[i].combo().posizione;
        if (posizione < 0) continue;
        const int k = posizione + 1;
        if (!valida(k)) throw ErroreCalcolo{};
        const QString riferimento = righe_[k].costo();
        // A reference that reads as zero from the start ("", "0", "abc") makes
        // the row "0"; a reference below one unit ("0,79") still counts.
        // Bringing the rows in line after an Open, an unusable reference
        // counts as zero too.
        bool zero = zeroInutilizzabili_ && !importoAccettabile(riferimento);
        if (!zero && tollerante(riferimento) == 0) {
            const auto r = letturaRigorosa(riferimento);
            zero = !r || *r == 0;
        }
        if (zero) {
            righe_[i].costo.imposta(QStringLiteral("0"));
        } else {
            const double p = rigorosa(righe_[i].perc());
            const double x = centesimiDi(riferimento);
            righe_[i].costo.imposta(scrittura(std::floor(p / 100 * x + 0.5) / 100));
        }
        if (fermo_) return;
    }
    // 2. Amounts in cents. An empty box counts as zero: the sums always add
    // up what the boxes show, which is also all that a saved file can carry.
    for (int i = 1; i <= kVoci; ++i) {
        const QString t = righe_[i].costo();
        const bool zero = t.isEmpty() || (zeroInutilizzabili_ && !importoAccettabile(t));
        centesimi[i] = zero ? 0 : centesimiDi(t);
    }
    // 3. Row D.
    righe_[4].costo.imposta(
        scrittura(std::floor(centesimi[1] + centesimi[2] + centesimi[3] + 0.5) / 100));
    if (fermo_) return;
    // 4. Row T.
    centesimi[18] = 0;
    for (int i = 5; i <= 17; ++i) centesimi[18] += centesimi[i];
    righe_[18].costo.imposta(scrittura(std::floor(centesimi[18] + 0.5) / 100));
    if (fermo_) return;
    // 5. Project total. The cents are added first and divided once: adding
    // the two amounts in currency units would let binary rounding show in
    // the fifteen digits written when D and T nearly cancel out (a negative
    // row A), giving 0,699999999953434 instead of 0,7.
    progetto_.imposta(
        scrittura((centesimiDi(righe_[4].costo()) + centesimiDi(righe_[18].costo())) / 100));
    // 6. One step of the constrained descent.
    if (!conDiscesa || ricerca_ || statovincolo != StatoVincolo::InAttesa ||
        righe_[1].costo().isEmpty())
        return;
    if (costoprogetto_().isEmpty()) {
        statovincolo = StatoVincolo::Nessuno;
        return;
    }
    // The outermost pass ends the descent with the search in cents.
    vincoloToccato_ = true;
    if (discesaCeduta_) return;
    centesimi20 = costoprogetto_();
    double p = tollerante(progetto_());
    double c = unitaVincolo(costoprogetto_());
    if (p > c) {
        if (!contaPassoDiscesa()) return;
        const QString a = scrittura(rigorosa(righe_[1].costo()) - (p - c) / 2);
        ricordaRigaA();
        righe_[1].costo.imposta(a);
    }
    if (fermo_ || discesaCeduta_) return;
    p = tollerante(progetto_());
    c = unitaVincolo(costoprogetto_());
    if (p < c) {
        if (!contaPassoDiscesa()) return;
        // Restart from A = the constrained total: empty the box and write the
        // saved text back, each write running costoprogetto_change.
        struct Riavvio {
            int& n;
            explicit Riavvio(int& v) : n(v) { ++n; }
            ~Riavvio() { --n; }
        } riavvio(riavvio_);
        const QString salvato = centesimi20;
        costoprogetto_.imposta(QString());
        if (fermo_ || discesaCeduta_) return;
        costoprogetto_.imposta(salvato);
        if (fermo_ || discesaCeduta_) return;
    }
    p = tollerante(progetto_());
    c = unitaVincolo(costoprogetto_());
    if (p == c) statovincolo = StatoVincolo::Nessuno;
}

// A bound was reached and every pass has unwound. The constrained total the
// user entered stays in its box, the sums are brought in line with the rows by
// one last pass that nests nothing and takes no step, the constraint is no
// longer pending, and the user is told once per operation.
void StatoCalcolo::concludiInterruzione() {
    ++interruzioni_;
    inerte_ = true;
    // Stopped inside a restart of the descent, row A may have been emptied
    // just before being set to the constrained total again: put the total
    // back, so that row A shows the amount its cents still hold.
    if (riavvioInterrotto_ && righe_[1].costo().isEmpty()) righe_[1].costo.imposta(centesimi20);
    riavvioInterrotto_ = false;
    riavvio_ = 0;
    eventoCombo_ = EventoCombo::Nessuno;
    costoprogetto_.imposta(vincoloUtente_);
    // Row A goes back to what it was before the descent moved it in this
    // operation (a text the user typed there stays).
    if (aPrimaDelVincolo_) righe_[1].costo.imposta(*aPrimaDelVincolo_);
    assesta();
    statovincolo = StatoVincolo::Nessuno;
    inerte_ = false;
    if (!avvisato_) {
        avvisato_ = true;
        messaggio(costoprogetto_().isEmpty() ? kMessaggioCiclo : kMessaggioVincolo,
                  ModVarimo::titoloaiuto, Icona::Esclamazione);
    }
}

// Passes that nest nothing and take no step, until no amount changes: every
// percentage row then equals its percentage of its reference, and D, T and the
// total are the sums of what the boxes show. Percentages that refer to one
// another in a loop that grows for ever never settle; the passes stop after
// as many rounds as there are rows.
void StatoCalcolo::assesta() {
    const bool eraInerte = inerte_;
    inerte_ = true;
    for (int giro = 0; giro < 2 * kVoci + 2; ++giro) {
        std::array<QString, kVoci + 2> prima;
        for (int i = 1; i <= kVoci; ++i) prima[i] = righe_[i].costo();
        prima[kVoci + 1] = progetto_();
        try {
            passo(false);
        } catch (const ErroreCalcolo&) {
            break;
        }
        bool uguale = prima[kVoci + 1] == progetto_();
        for (int i = 1; i <= kVoci && uguale; ++i) uguale = prima[i] == righe_[i].costo();
        if (uguale) break;
    }
    inerte_ = eraInerte;
}

void StatoCalcolo::ricordaRigaA() {
    if (!aPrimaDelVincolo_) aPrimaDelVincolo_ = righe_[1].costo();
}

bool StatoCalcolo::contaPassoDiscesa() {
    if (++passiDiscesa_ <= kPassiDimezzamento) return true;
    discesaCeduta_ = true;
    return false;
}

// The project total, in cents, that row A = `a` cents makes: row A is written
// and its passes settle every row that depends on it; no pass takes a step of
// the descent meanwhile. Nothing when a pass fails or a bound is reached.
std::optional<qint64> StatoCalcolo::totaleCon(qint64 a) {
    righe_[1].costo.imposta(scritturaNumerica(static_cast<double>(a) / 100));
    if (fermo_) return std::nullopt;
    const auto t = letturaCentesimi(progetto_());
    if (!t || !std::isfinite(*t) || std::fabs(*t) > 1e17) return std::nullopt;
    return static_cast<qint64>(std::llround(*t));
}

// The smallest amount of row A, in cents, whose total is at least `soglia`.
// The total never decreases as row A grows (every percentage lies between 0
// and 100), so the amount is bracketed from `da` by doubling steps and then
// found by halving the bracket. Nothing when no amount of row A within the
// exact range reaches the threshold, or a pass fails.
std::optional<qint64> StatoCalcolo::minimoRigaA(qint64 soglia, qint64 da) {
    const qint64 limite = std::llround(kImportoMassimo * 100);
    da = std::clamp(da, -limite, limite);
    auto t = totaleCon(da);
    if (!t) return std::nullopt;
    qint64 basso = 0;  // total below the threshold
    qint64 alto = 0;   // total at or above it
    if (*t >= soglia) {
        alto = da;
        for (qint64 passo = 1;; passo *= 2) {
            if (alto == -limite) return alto;
            const qint64 prova = std::max(-limite, da - passo);
            t = totaleCon(prova);
            if (!t) return std::nullopt;
            if (*t < soglia) {
                basso = prova;
                break;
            }
            alto = prova;
        }
    } else {
        basso = da;
        for (qint64 passo = 1;; passo *= 2) {
            if (basso == limite) return std::nullopt;
            const qint64 prova = std::min(limite, da + passo);
            t = totaleCon(prova);
            if (!t) return std::nullopt;
            if (*t >= soglia) {
                alto = prova;
                break;
            }
            basso = prova;
        }
    }
    while (alto - basso > 1) {
        const qint64 medio = basso + (alto - basso) / 2;
        t = totaleCon(medio);
        if (!t) return std::nullopt;
        if (*t >= soglia) {
            alto = medio;
        } else {
            basso = medio;
        }
    }
    return alto;
}

// Ends a constrained descent: the total keeps the whole units of the
// constrained total and, among the totals that some amount of row A in cents
// makes, is the smallest one not below the constrained total (exactly that
// total when one is reachable). The halving steps bring row A close; the
// search in cents finishes, and also finds the amount when the percentages
// weigh so much on row A that the halving cannot converge. When no amount of
// row A gives those whole units, row A goes back to what it was before this
// operation moved it, every row is brought in line, and the user is told.
void StatoCalcolo::affinaVincolo() {
    const QString vincolo = costoprogetto_();
    const auto c = letturaRigorosa(vincolo);
    if (vincolo.isEmpty() || !c || !std::isfinite(*c) || std::fabs(*c) > kImportoMassimo ||
        righe_[1].costo().isEmpty()) {
        return;
    }
    // Totals with the whole units of the constrained total.
    const qint64 unita = static_cast<qint64>(std::trunc(*c));
    const qint64 minimo = unita > 0 ? unita * 100 : unita * 100 - 99;
    const qint64 massimo = unita < 0 ? unita * 100 : unita * 100 + 99;
    qint64 soglia = std::clamp(static_cast<qint64>(std::ceil(*c * 100 - 1e-6)), minimo, massimo);
    const auto dentro = [&](qint64 t) { return t >= minimo && t <= massimo; };

    // Already there, with row A in whole cents: nothing to search.
    const auto a = letturaCentesimi(righe_[1].costo());
    const auto totale = letturaCentesimi(progetto_());
    if (a && totale && *totale == static_cast<double>(soglia) &&
        scritturaNumerica(*a / 100) == righe_[1].costo()) {
        statovincolo = StatoVincolo::Nessuno;
        return;
    }
    const qint64 da = a && std::fabs(*a) < 1e17 ? std::llround(*a) : unita * 100;
    ricerca_ = true;
    std::optional<qint64> trovato;
    std::optional<qint64> t;
    for (int prova = 0; prova < 2 && !fermo_; ++prova) {
        trovato = minimoRigaA(soglia, da);
        if (fermo_) break;
        if (trovato) t = totaleCon(*trovato);
        if (t && dentro(*t)) break;
        trovato.reset();
        // Nothing reaches the constrained total within its whole units: the
        // smallest total with those units, below it, will do.
        if (soglia == minimo) break;
        soglia = minimo;
    }
    ricerca_ = false;
    if (fermo_) return;
    statovincolo = StatoVincolo::Nessuno;
    if (trovato) return;
    if (aPrimaDelVincolo_) {
        inerte_ = true;
        righe_[1].costo.imposta(*aPrimaDelVincolo_);
        inerte_ = false;
    }
    assesta();
    ++interruzioni_;
    if (!avvisato_) {
        avvisato_ = true;
        messaggio(kMessaggioVincolo, ModVarimo::titoloaiuto, Icona::Esclamazione);
    }
}

// ---------------------------------------------------------------- unusable amounts

QStringList StatoCalcolo::importiInutilizzabili() const {
    QStringList righe;
    for (int i = 1; i <= kVoci; ++i) {
        const QString& c = righe_[i].costo();
        if (c.trimmed().isEmpty() || importoAccettabile(c)) continue;
        righe.append(QStringLiteral("%1 (%2): %3").arg(letteraVoce(i)).arg(tipo(i), c.left(40)));
    }
    return righe;
}

bool StatoCalcolo::avvisaImportiInutilizzabili() {
    const QStringList righe = importiInutilizzabili();
    if (righe.isEmpty()) return false;
    messaggio(QStringLiteral("Gli importi di queste voci non sono numeri utilizzabili (al massimo "
                             "999.999.999.999,99) e vanno corretti prima di calcolare il "
                             "quadro:") +
                  u'\r' + righe.join(u'\r'),
              ModVarimo::titoloaiuto, Icona::Esclamazione);
    return true;
}

void StatoCalcolo::assestaImportiInutilizzabili() {
    Operazione op(*this);
    zeroInutilizzabili_ = true;
    assesta();
    zeroInutilizzabili_ = false;
}

// ---------------------------------------------------------------- commands

void StatoCalcolo::controllaDati() {
    Operazione op(*this);
    bool importi = false;
    bool percentuali = false;
    bool riferimenti = false;
    for (int i = 1; i <= kVoci; ++i) {
        if (!righe_[i].costo().isEmpty()) importi = true;
        const auto p = letturaRigorosa(righe_[i].perc());
        if (p && *p > 0) percentuali = true;
        if (!righe_[i].combo().testo.isEmpty()) riferimenti = true;
    }
    const QString& titolo = ModVarimo::titolocontrollo;
    // An amount that cannot be read, or a negative one, comes first: the
    // framework would not add up. The first such row is named.
    for (int i = 1; i <= kVoci; ++i) {
        const QString& t = righe_[i].costo();
        if (t.isEmpty()) continue;
        const QString voce = QString(letteraVoce(i));
        if (separatoreFuoriPosto(t)) {
            messaggio(QStringLiteral("L'importo della voce ") + voce +
                          QStringLiteral(" ha un separatore delle migliaia fuori posto: per i "
                                         "decimali usare la virgola."),
                      titolo, Icona::Esclamazione);
            return;
        }
        if (!importoAccettabile(t) && letturaRigorosa(t)) {
            messaggio(QStringLiteral("L'importo della voce ") + voce +
                          QStringLiteral(" supera 999.999.999.999,99, il massimo che il calcolo "
                                         "porta esatto al centesimo."),
                      titolo, Icona::Esclamazione);
            return;
        }
        if (!importoAccettabile(t)) {
            messaggio(QStringLiteral("L'importo della voce ") + voce +
                          QStringLiteral(" non è leggibile: correggerlo usando solo cifre, la "
                                         "virgola per i decimali ed eventualmente il punto per "
                                         "le migliaia."),
                      titolo, Icona::Esclamazione);
            return;
        }
        if (*letturaRigorosa(t) < 0) {
            messaggio(QStringLiteral("L'importo della voce ") + voce +
                          QStringLiteral(" è negativo: controllare le percentuali, le voci di "
                                         "riferimento e l'importo vincolato del progetto."),
                      titolo, Icona::Esclamazione);
            return;
        }
    }
    if (costoprogetto_().isEmpty() && !importi) {
        messaggio(QStringLiteral("Non è stato digitato alcun valore significativo: iniziare con il "
                                 "costo di una voce o con l'importo vincolato del progetto."),
                  titolo, Icona::Esclamazione);
    } else if (!importi) {
        messaggio(QStringLiteral("Non è stato digitato alcun valore per le singole voci: iniziare "
                                 "immettendo almeno il costo dei lavori a misura."),
                  titolo, Icona::Esclamazione);
    } else if (!percentuali) {
        messaggio(QStringLiteral("Non è stata utilizzata alcuna voce come percentuale di "
                                 "un'altra: l'IVA, le spese tecniche ed altre voci sono calcolate "
                                 "in base a percentuali sui lavori."),
                  titolo, Icona::Esclamazione);
    } else if (!riferimenti) {
        messaggio(QStringLiteral("Non sono state evidenziate voci di riferimento per il calcolo "
                                 "delle percentuali: almeno l'IVA, le spese tecniche ed altre voci "
                                 "sono calcolate come percentuali sui lavori."),
                  titolo, Icona::Esclamazione);
    } else if (salvataggio == Salvataggio::InAttesa) {
        salvataggio = Salvataggio::Nessuno;
    } else {
        messaggio(QStringLiteral("I dati sono stati immessi correttamente."), titolo,
                  Icona::Informazione);
    }
}

void StatoCalcolo::cancellaTutto() {
    Operazione op(*this);
    for (int i = 1; i <= kVoci; ++i) {
        RigaCalcolo& r = righe_[i];
        centesimi[i] = 0;
        r.costo.imposta(QString());
        r.hscroll.imposta(0);
        if (!r.combo().testo.isEmpty()) {
            imponiCombo(i, Riferimento{r.combo().voci, -1, QString()}, EventoCombo::Change);
        }
        costorif[i] = 0;
    }
    for (int i = 1; i <= kVoci; ++i) righe_[i].costo.imposta(QString());
    progetto_.imposta(QString());
    costoprogetto_.imposta(QString());
}

void StatoCalcolo::mostraAiuto() {
    Operazione op(*this);
    const QStringList righe{
        QStringLiteral("- Immettere un valore per ogni voce che interessa;"),
        QStringLiteral("- scegliere l'eventuale percentuale di calcolo in riferimento ad un'altra "
                       "voce;"),
        QStringLiteral("- scegliere la voce di riferimento per il calcolo della percentuale;"),
        QStringLiteral("- impostare, eventualmente, un valore vincolante per il totale progetto;"),
        QStringLiteral("- controllare i risultati ed apportare le modifiche ai dati, se "
                       "necessario;"),
        QStringLiteral("- visualizzare, con l'apposito tasto il quadro economico definitivo;"),
        QStringLiteral("- effettuare il controllo dei dati immessi cliccando sul tasto ABC."),
    };
    messaggio(righe.join(QLatin1Char('\r')), ModVarimo::titoloaiuto, Icona::Informazione);
}

}  // namespace varimo
