#include "calculation/ricalcolo.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "common/numeri.h"

namespace varimo {

namespace {

using Numero = std::optional<double>;

bool valida(int i) {
    return i >= 1 && i <= kVoci;
}

bool cancellabile(int i) {
    return i >= 1 && i <= kVoci - 1 && i != 4;
}

// Readings a pass uses. Nothing ends the pass: a text that cannot be read, or
// a value that overflows. An amount with a misplaced thousands point
// ("1234.56") reads, but almost always stands for a decimal typed with a
// point: the passes treat it as an unreadable amount rather than compute with
// a hundred times the amount.
Numero rigorosa(const QString& t) {
    const auto v = letturaRigorosa(t);
    if (!v || separatoreFuoriPosto(t)) return std::nullopt;
    return v;
}

Numero tollerante(const QString& t) {
    const double v = letturaTollerante(t);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

Numero centesimiDi(const QString& t) {
    const auto v = letturaCentesimi(t);
    if (!v || separatoreFuoriPosto(t)) return std::nullopt;
    return v;
}

std::optional<QString> scrittura(double v) {
    if (!std::isfinite(v)) return std::nullopt;
    return scritturaNumerica(v);
}

// Whole currency units of the constrained total, read the way its amount
// reaches row A: the integer part of the strict reading, so that "400.000",
// "400000" and "400000,00" all mean four hundred thousand. A text the strict
// reading refuses ("12x") is read tolerantly, as the total always was.
Numero unitaVincolo(const QString& t) {
    if (const auto v = letturaRigorosa(t); v && std::isfinite(*v)) return std::trunc(*v);
    return tollerante(t);
}

// The readings of one row's amount and percentage. Every pass of an operation
// reads every row again, most of them unchanged since the pass before: each
// reading is made once per text and kept for as long as the row holds that
// text. A reading depends on the text alone.
class LettureRiga {
  public:
    // Cents of the amount (centesimiDi).
    Numero centesimi(const QString& importo) {
        prendi(importo);
        if (!centesimi_) centesimi_ = centesimiDi(importo_);
        return *centesimi_;
    }
    // Tolerant reading of the amount.
    Numero tolleranteImporto(const QString& importo) {
        prendi(importo);
        if (!tollerante_) tollerante_ = tollerante(importo_);
        return *tollerante_;
    }
    // The amount reads as zero, or not at all, to the strict reading.
    bool zeroRigoroso(const QString& importo) {
        prendi(importo);
        if (!zero_) {
            const auto r = letturaRigorosa(importo_);
            zero_ = !r || *r == 0;
        }
        return *zero_;
    }
    // Strict reading of the percentage.
    Numero percentuale(const QString& testo) {
        if (!percentualePronta_ || !stesso(percentualeTesto_, testo)) {
            percentualeTesto_ = testo;
            percentuale_ = rigorosa(testo);
            percentualePronta_ = true;
        }
        return percentuale_;
    }

  private:
    // The same text: characters shared with the copy kept here (kept alive by
    // it, so no other text takes their place), or equal ones.
    static bool stesso(const QString& a, const QString& b) {
        return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
    }
    void prendi(const QString& importo) {
        if (importoPronto_ && stesso(importo_, importo)) return;
        importo_ = importo;
        importoPronto_ = true;
        centesimi_.reset();
        tollerante_.reset();
        zero_.reset();
    }

    QString importo_;
    bool importoPronto_ = false;
    std::optional<Numero> centesimi_, tollerante_;
    std::optional<bool> zero_;
    QString percentualeTesto_;
    bool percentualePronta_ = false;
    Numero percentuale_;
};

// Where a pass stands. A pass stops only where it writes an amount whose
// change asks for a further pass; it resumes at the phase after the write.
enum class Fase : std::uint8_t {
    Percentuali,    // percentage rows, from `riga` on
    DopoRiga,       // after writing a percentage row
    Somme,          // cents, then row D
    DopoD,          // after writing row D
    DopoT,          // after writing row T: project total and the descent
    DopoDiscesa,    // after moving row A down
    DopoSvuotato,   // restart: after emptying the constrained total
    DopoRiscritto,  // restart: after writing it back
    Chiusura        // the descent is settled when the totals meet
};

struct Passo {
    Fase fase = Fase::Percentuali;
    int riga = 1;
    bool discesa = true;   // may take a step of the constrained descent
    bool riavvio = false;  // inside the restart writes of the descent
    QString salvato;       // the constrained total the restart writes back
};

enum class Avanzo : std::uint8_t {
    Fine,       // the pass is over (at its end, or stopped by a bound)
    Errore,     // the pass ended on a text it cannot read; what it wrote stays
    Richiesta,  // a write asks for a further pass, which runs before this one goes on
};

// One operation of the user, with every pass it causes.
class Motore {
  public:
    explicit Motore(DatiCalcolo q) {
        r_.dati = std::move(q);
        r_.scritture.reserve(64);
        pila_.reserve(32);
    }

    RisultatoRicalcolo esegui(const Modifica& m);  // once: the result is moved out

  private:
    DatiCalcolo& q() { return r_.dati; }
    QString& importo(int i) { return r_.dati.righe[i].importo; }

    // Writes with their handlers. True when a recalculation is asked for.
    bool imposta(int casella, const QString& t);
    bool scriviImporto(int i, const QString& t);
    bool scriviVincolo(const QString& t);
    bool cambioVincolo();
    bool scriviScorrimento(int i, int valore);
    bool applicaRiferimento();
    void cancellaRiferimento(int i);

    void ricalcola();
    void richiedi();
    void svolgi();
    Avanzo avanza(Passo& p, bool gestori);
    void concludiInterruzione();
    void assesta();
    void ricordaRigaA();
    bool contaPassoDiscesa();
    std::optional<qint64> totaleCon(qint64 a);
    std::optional<qint64> minimoRigaA(qint64 soglia, qint64 da);
    void affinaVincolo();
    void avvisa(EsitoRicalcolo e, const QString& testo);

    RisultatoRicalcolo r_;
    std::array<LettureRiga, kVoci + 1> letture_;  // 0 unused
    std::vector<Passo> pila_;                     // passes running, the innermost last
    int profondita_ = 0;  // passes running, plus one while the search in cents runs
    long passiOperazione_ = 0;
    int passiDiscesa_ = 0;             // halving steps and restarts
    bool discesaCeduta_ = false;       // the halving steps handed over to the search in cents
    bool fermo_ = false;               // a bound was reached: the passes are ending
    bool riavvioInterrotto_ = false;   // the bound was reached during a restart
    int riavvio_ = 0;                  // restarts running
    bool vincoloToccato_ = false;      // a pass of this recalculation took part in a descent
    bool ricerca_ = false;             // the search in cents is writing row A
    bool zeroInutilizzabili_ = false;  // unusable amounts count as zero
    std::optional<QString> aPrimaDelVincolo_;  // row A before the descent moved it
};

void Motore::avvisa(EsitoRicalcolo e, const QString& testo) {
    if (!r_.messaggio.isEmpty()) return;
    r_.esito = e;
    r_.messaggio = testo;
}

// ---------------------------------------------------------------- writes

// The amount box of row i. Its change asks for a recalculation, and a
// pending constrained total then takes a step.
bool Motore::scriviImporto(int i, const QString& t) {
    if (!imposta(i, t)) return false;
    if (!q().vincolo.isEmpty()) q().stato = StatoVincolo::InAttesa;
    return true;
}

bool Motore::scriviVincolo(const QString& t) {
    if (!imposta(kCasellaVincolo, t)) return false;
    return cambioVincolo();
}

// Every box written, in order: the views see each amount as it was.
bool Motore::imposta(int casella, const QString& t) {
    QString& campo = casella == kCasellaTotale    ? q().totale
                     : casella == kCasellaVincolo ? q().vincolo
                                                  : importo(casella);
    if (campo == t) return false;
    campo = t;
    r_.scritture.push_back(Scrittura{casella, t});
    return true;
}

// A new constrained total starts the descent from A = the total. One the rows
// already make moves nothing: the hand-off of "Visualizza" writes the total
// itself, and restarting the descent from it would change the amounts just
// shown and printed.
bool Motore::cambioVincolo() {
    if (riavvio_ == 0) q().vincoloUtente = q().vincolo;
    if (q().stato == StatoVincolo::Spento) return false;
    q().stato = StatoVincolo::InAttesa;
    const QString vincolo = q().vincolo;
    if (riavvio_ == 0 && !vincolo.isEmpty()) {
        const auto c = letturaRigorosa(vincolo);
        const auto p = letturaRigorosa(q().totale);
        if (c && p && *c == *p) return false;
    }
    ricordaRigaA();
    return scriviImporto(1, vincolo);
}

bool Motore::scriviScorrimento(int i, int valore) {
    RigaDati& r = q().righe[i];
    valore = std::clamp(valore, 0, 100);
    if (r.scorrimento == valore) return false;
    r.scorrimento = valore;
    if (!q().vincolo.isEmpty()) q().stato = StatoVincolo::InAttesa;
    r.percentuale = QString::number(valore);
    return true;
}

bool Motore::applicaRiferimento() {
    if (!q().vincolo.isEmpty()) q().stato = StatoVincolo::InAttesa;
    return true;
}

// The reference box of row i is emptied; a box that held a text tells its
// handler.
void Motore::cancellaRiferimento(int i) {
    RigaDati& r = q().righe[i];
    const bool cambia = !r.testoRiferimento.isEmpty();
    r.riferimento = 0;
    r.testoRiferimento.clear();
    if (cambia && applicaRiferimento()) ricalcola();
}

// ---------------------------------------------------------------- operation

RisultatoRicalcolo Motore::esegui(const Modifica& m) {
    using T = Modifica::Tipo;
    const int i = m.riga;
    switch (m.tipo) {
        case T::Importo:
            if (valida(i) && scriviImporto(i, m.testo)) ricalcola();
            break;
        case T::Percentuale:
            if (valida(i) && scriviScorrimento(i, m.valore)) ricalcola();
            break;
        case T::Riferimento:
            if (valida(i) && applicaRiferimento()) ricalcola();
            break;
        case T::Vincolo:
            if (scriviVincolo(m.testo)) ricalcola();
            break;
        case T::SpegniVincolo:
            q().stato = StatoVincolo::Spento;
            scriviVincolo(QString());
            break;
        case T::CancellaRiga:
            if (!cancellabile(i)) break;
            q().righe[i].centesimi = 0;
            if (scriviImporto(i, QString())) ricalcola();
            if (scriviScorrimento(i, 0)) ricalcola();
            cancellaRiferimento(i);
            ricalcola();
            if (scriviImporto(i, QString())) ricalcola();
            break;
        case T::CancellaTutto:
            for (int j = 1; j <= kVoci; ++j) {
                q().righe[j].centesimi = 0;
                if (scriviImporto(j, QString())) ricalcola();
                if (scriviScorrimento(j, 0)) ricalcola();
                cancellaRiferimento(j);
            }
            for (int j = 1; j <= kVoci; ++j) {
                if (scriviImporto(j, QString())) ricalcola();
            }
            imposta(kCasellaTotale, QString());
            if (scriviVincolo(QString())) ricalcola();
            break;
        case T::Assesta:
            zeroInutilizzabili_ = true;
            assesta();
            zeroInutilizzabili_ = false;
            break;
        case T::Ricalcola:
            ricalcola();
            break;
    }
    return std::move(r_);
}

// ---------------------------------------------------------------- passes

// One recalculation asked for from outside any pass: its passes run to the
// end; the outermost one then ends a descent with the search in cents, and a
// bound reached on the way concludes the operation.
void Motore::ricalcola() {
    if (fermo_) return;
    richiedi();
    if (pila_.empty()) return;
    svolgi();
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

// A further pass is asked for: it goes on the stack, unless a bound is
// reached. Then, inside a pass, every pass below ends at its next write, down
// to the outermost one; outside any pass the operation concludes at once.
void Motore::richiedi() {
    if (fermo_) return;
    if (profondita_ >= kProfonditaMassima || passiOperazione_ >= kPassiMassimi) {
        riavvioInterrotto_ = riavvio_ > 0;
        if (profondita_ > 0) {
            fermo_ = true;
            return;
        }
        concludiInterruzione();
        return;
    }
    ++profondita_;
    ++r_.passi;
    ++passiOperazione_;
    r_.profonditaMassima = std::max(r_.profonditaMassima, profondita_);
    pila_.push_back(Passo{});
}

// Runs the passes on the stack until none is left: the innermost goes on
// until it ends or asks for a further pass.
void Motore::svolgi() {
    while (!pila_.empty()) {
        if (avanza(pila_.back(), true) == Avanzo::Richiesta) {
            richiedi();
            continue;
        }
        if (pila_.back().riavvio) --riavvio_;
        pila_.pop_back();
        --profondita_;
    }
}

// Takes pass p on to its end or to its next write that asks for a further
// pass. Without handlers (bringing the rows in line) no write asks for one.
Avanzo Motore::avanza(Passo& p, bool gestori) {
    DatiCalcolo& s = q();
    auto& righe = s.righe;
    const auto scrivi = [&](int i, const QString& t) {
        if (!gestori) {
            imposta(i, t);
            return false;
        }
        return scriviImporto(i, t);
    };
    // Each case ends the pass, stops it at a write (the phase records where
    // it resumes), or moves on to the next phase.
    for (;;) {
        switch (p.fase) {
            case Fase::DopoRiga:
                if (fermo_) return Avanzo::Fine;
                p.fase = Fase::Percentuali;
                break;
            case Fase::Percentuali: {
                // 1. Percentage rows, in row order.
                if (p.riga > kVoci) {
                    p.fase = Fase::Somme;
                    break;
                }
                const int i = p.riga++;
                const int k = righe[i].riferimento;
                if (k == 0) break;
                if (!valida(k)) return Avanzo::Errore;
                const QString riferimento = righe[k].importo;
                // A reference that reads as zero from the start ("", "0",
                // "abc") makes the row "0"; a reference below one unit
                // ("0,79") still counts. Bringing the rows in line after an
                // Open, an unusable reference counts as zero too.
                bool zero = zeroInutilizzabili_ && !importoAccettabile(riferimento);
                LettureRiga& letto = letture_[k];
                if (!zero) {
                    const auto v = letto.tolleranteImporto(riferimento);
                    if (!v) return Avanzo::Errore;
                    if (*v == 0) zero = letto.zeroRigoroso(riferimento);
                }
                QString nuovo = QStringLiteral("0");
                if (!zero) {
                    const auto perc = letture_[i].percentuale(righe[i].percentuale);
                    const auto x = letto.centesimi(riferimento);
                    if (!perc || !x) return Avanzo::Errore;
                    const auto t = scrittura(std::floor(*perc / 100 * *x + 0.5) / 100);
                    if (!t) return Avanzo::Errore;
                    nuovo = *t;
                }
                if (scrivi(i, nuovo)) {
                    p.fase = Fase::DopoRiga;
                    return Avanzo::Richiesta;
                }
                if (fermo_) return Avanzo::Fine;
                break;
            }
            case Fase::Somme: {
                // 2. Amounts in cents. An empty box counts as zero: the sums
                // always add up what the boxes show, which is also all that a
                // saved file can carry.
                for (int i = 1; i <= kVoci; ++i) {
                    const QString& t = righe[i].importo;
                    if (t.isEmpty() || (zeroInutilizzabili_ && !importoAccettabile(t))) {
                        righe[i].centesimi = 0;
                        continue;
                    }
                    const auto c = letture_[i].centesimi(t);
                    if (!c) return Avanzo::Errore;
                    righe[i].centesimi = *c;
                }
                // 3. Row D.
                const auto d = scrittura(
                    std::floor(righe[1].centesimi + righe[2].centesimi + righe[3].centesimi + 0.5) /
                    100);
                if (!d) return Avanzo::Errore;
                p.fase = Fase::DopoD;
                if (scrivi(4, *d)) return Avanzo::Richiesta;
                break;
            }
            case Fase::DopoD: {
                if (fermo_) return Avanzo::Fine;
                // 4. Row T.
                righe[18].centesimi = 0;
                for (int i = 5; i <= 17; ++i) righe[18].centesimi += righe[i].centesimi;
                const auto t = scrittura(std::floor(righe[18].centesimi + 0.5) / 100);
                if (!t) return Avanzo::Errore;
                p.fase = Fase::DopoT;
                if (scrivi(18, *t)) return Avanzo::Richiesta;
                break;
            }
            case Fase::DopoT: {
                if (fermo_) return Avanzo::Fine;
                // 5. Project total. The cents are added first and divided
                // once: adding the two amounts in currency units would let
                // binary rounding show in the fifteen digits written when D
                // and T nearly cancel out (a negative row A), giving
                // 0,699999999953434 instead of 0,7.
                const auto d = letture_[4].centesimi(righe[4].importo);
                if (!d) return Avanzo::Errore;
                const auto t = letture_[18].centesimi(righe[18].importo);
                if (!t) return Avanzo::Errore;
                const auto totale = scrittura((*d + *t) / 100);
                if (!totale) return Avanzo::Errore;
                imposta(kCasellaTotale, *totale);
                // 6. One step of the constrained descent.
                if (!p.discesa || ricerca_ || s.stato != StatoVincolo::InAttesa ||
                    righe[1].importo.isEmpty())
                    return Avanzo::Fine;
                if (s.vincolo.isEmpty()) {
                    s.stato = StatoVincolo::Nessuno;
                    return Avanzo::Fine;
                }
                // The outermost pass ends the descent with the search in cents.
                vincoloToccato_ = true;
                if (discesaCeduta_) return Avanzo::Fine;
                s.vincoloSalvato = s.vincolo;
                const auto pr = tollerante(s.totale);
                if (!pr) return Avanzo::Errore;
                const auto c = unitaVincolo(s.vincolo);
                if (!c) return Avanzo::Errore;
                p.fase = Fase::DopoDiscesa;
                if (*pr > *c) {
                    // Too high: row A comes down by half the excess.
                    if (!contaPassoDiscesa()) return Avanzo::Fine;
                    const auto a0 = rigorosa(righe[1].importo);
                    if (!a0) return Avanzo::Errore;
                    const auto a = scrittura(*a0 - (*pr - *c) / 2);
                    if (!a) return Avanzo::Errore;
                    ricordaRigaA();
                    if (scrivi(1, *a)) return Avanzo::Richiesta;
                }
                break;
            }
            case Fase::DopoDiscesa: {
                if (fermo_ || discesaCeduta_) return Avanzo::Fine;
                const auto pr = tollerante(s.totale);
                if (!pr) return Avanzo::Errore;
                const auto c = unitaVincolo(s.vincolo);
                if (!c) return Avanzo::Errore;
                p.fase = Fase::Chiusura;
                if (*pr < *c) {
                    // Too low: restart from A = the constrained total. The
                    // box is emptied and the saved text written back, each
                    // write starting the descent again.
                    if (!contaPassoDiscesa()) return Avanzo::Fine;
                    ++riavvio_;
                    p.riavvio = true;
                    p.salvato = s.vincoloSalvato;
                    p.fase = Fase::DopoSvuotato;
                    if (scriviVincolo(QString())) return Avanzo::Richiesta;
                }
                break;
            }
            case Fase::DopoSvuotato:
                if (fermo_ || discesaCeduta_) return Avanzo::Fine;
                p.fase = Fase::DopoRiscritto;
                if (scriviVincolo(p.salvato)) return Avanzo::Richiesta;
                break;
            case Fase::DopoRiscritto:
                if (fermo_ || discesaCeduta_) return Avanzo::Fine;
                --riavvio_;
                p.riavvio = false;
                p.fase = Fase::Chiusura;
                break;
            case Fase::Chiusura: {
                const auto pr = tollerante(s.totale);
                if (!pr) return Avanzo::Errore;
                const auto c = unitaVincolo(s.vincolo);
                if (!c) return Avanzo::Errore;
                if (*pr == *c) s.stato = StatoVincolo::Nessuno;
                return Avanzo::Fine;
            }
        }
    }
}

// A bound was reached and every pass has unwound. The constrained total the
// user entered stays in its box, the sums are brought in line with the rows
// by passes that cause no further pass and take no step, the constraint is no
// longer pending, and the user is told once per operation.
void Motore::concludiInterruzione() {
    ++r_.interruzioni;
    // Stopped inside a restart of the descent, row A may have been emptied
    // just before being set to the constrained total again: put the total
    // back, so that row A shows the amount its cents still hold.
    if (riavvioInterrotto_ && importo(1).isEmpty()) imposta(1, q().vincoloSalvato);
    riavvioInterrotto_ = false;
    riavvio_ = 0;
    imposta(kCasellaVincolo, q().vincoloUtente);
    // Row A goes back to what it was before the descent moved it in this
    // operation (a text the user typed there stays).
    if (aPrimaDelVincolo_) imposta(1, *aPrimaDelVincolo_);
    assesta();
    q().stato = StatoVincolo::Nessuno;
    avvisa(EsitoRicalcolo::Interrotto,
           q().vincolo.isEmpty() ? testiricalcolo::ciclo : testiricalcolo::vincoloIrraggiungibile);
}

// Passes that cause no further pass and take no step, until no amount
// changes: every percentage row then equals its percentage of its reference,
// and D, T and the total are the sums of what the boxes show. Percentages
// that refer to one another in a loop that grows for ever never settle; the
// passes stop after as many rounds as there are rows.
void Motore::assesta() {
    for (int giro = 0; giro < 2 * kVoci + 2; ++giro) {
        const DatiCalcolo prima = q();
        Passo p;
        p.discesa = false;
        if (avanza(p, false) == Avanzo::Errore) break;
        bool uguale = prima.totale == q().totale;
        for (int i = 1; i <= kVoci && uguale; ++i) uguale = prima.righe[i].importo == importo(i);
        if (uguale) break;
    }
}

void Motore::ricordaRigaA() {
    if (!aPrimaDelVincolo_) aPrimaDelVincolo_ = importo(1);
}

bool Motore::contaPassoDiscesa() {
    if (++passiDiscesa_ <= kPassiDimezzamento) return true;
    discesaCeduta_ = true;
    return false;
}

// The project total, in cents, that row A = `a` cents makes: row A is written
// and its passes settle every row that depends on it; no pass takes a step of
// the descent meanwhile. Nothing when a pass fails or a bound is reached.
std::optional<qint64> Motore::totaleCon(qint64 a) {
    if (scriviImporto(1, scritturaNumerica(static_cast<double>(a) / 100))) ricalcola();
    if (fermo_) return std::nullopt;
    const auto t = letturaCentesimi(q().totale);
    if (!t || !std::isfinite(*t) || std::fabs(*t) > 1e17) return std::nullopt;
    return static_cast<qint64>(std::llround(*t));
}

// The smallest amount of row A, in cents, whose total is at least `soglia`.
// The total never decreases as row A grows (every percentage lies between 0
// and 100), so the amount is bracketed from `da` by doubling steps and then
// found by halving the bracket. Nothing when no amount of row A within the
// exact range reaches the threshold, or a pass fails.
std::optional<qint64> Motore::minimoRigaA(qint64 soglia, qint64 da) {
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
void Motore::affinaVincolo() {
    const QString vincolo = q().vincolo;
    const auto c = letturaRigorosa(vincolo);
    if (vincolo.isEmpty() || !c || !std::isfinite(*c) || std::fabs(*c) > kImportoMassimo ||
        importo(1).isEmpty()) {
        return;
    }
    // Totals with the whole units of the constrained total.
    const qint64 unita = static_cast<qint64>(std::trunc(*c));
    const qint64 minimo = unita > 0 ? unita * 100 : unita * 100 - 99;
    const qint64 massimo = unita < 0 ? unita * 100 : unita * 100 + 99;
    qint64 soglia = std::clamp(static_cast<qint64>(std::ceil(*c * 100 - 1e-6)), minimo, massimo);
    const auto dentro = [&](qint64 t) { return t >= minimo && t <= massimo; };

    // Already there, with row A in whole cents: nothing to search.
    const auto a = letturaCentesimi(importo(1));
    const auto totale = letturaCentesimi(q().totale);
    if (a && totale && *totale == static_cast<double>(soglia) &&
        scritturaNumerica(*a / 100) == importo(1)) {
        q().stato = StatoVincolo::Nessuno;
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
    q().stato = StatoVincolo::Nessuno;
    if (trovato) return;
    if (aPrimaDelVincolo_) imposta(1, *aPrimaDelVincolo_);
    assesta();
    ++r_.interruzioni;
    avvisa(EsitoRicalcolo::Irraggiungibile, testiricalcolo::vincoloIrraggiungibile);
}

}  // namespace

RisultatoRicalcolo ricalcola(DatiCalcolo prima, const Modifica& modifica) {
    return Motore(std::move(prima)).esegui(modifica);
}

}  // namespace varimo
