#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "common/voci.h"

namespace varimo {

// State of the constrained project total.
enum class StatoVincolo : std::uint8_t {
    Nessuno,   // no constrained step pending
    InAttesa,  // a constrained step is due
    Spento,    // switched off by the user
};

// Bounds that keep a recalculation from running on for ever (percentage
// cycles above 100 %, percentages that weigh 2 or more on row A, totals that
// rounding keeps just below the constrained amount). On reaching either bound
// the operation stops, the sums are brought in line with the rows, and the
// user is told once.
constexpr int kProfonditaMassima = 1000;  // passes nested inside one another
constexpr long kPassiMassimi = 20000;     // passes run by one operation of the user
// Halving steps of the constrained descent in one operation; the search in
// cents that ends every descent takes over from there.
constexpr int kPassiDimezzamento = 60;

namespace testiricalcolo {
inline const QString vincoloIrraggiungibile = QStringLiteral(
    "Non è possibile raggiungere l'importo vincolato del progetto con le percentuali impostate: "
    "il calcolo è stato interrotto. Modificare le percentuali, le voci di riferimento o "
    "l'importo vincolato.");
inline const QString ciclo = QStringLiteral(
    "Il calcolo è stato interrotto: le percentuali impostate rimandano l'una all'altra e fanno "
    "crescere gli importi senza fine. Modificare le percentuali o le voci di riferimento.");
}  // namespace testiricalcolo

// One row of the framework as the recalculation reads and writes it.
struct RigaDati {
    QString importo;                            // text of the amount box
    QString percentuale = QStringLiteral("0");  // caption of the percentage
    int scorrimento = 0;                        // its scroll bar, 0..100
    int riferimento = 0;                        // list entry chosen + 1: 0 none, 1..18 a row
    QString testoRiferimento;                   // text in the reference box
    double centesimi = 0;                       // cents of the amount after the last pass
    bool operator==(const RigaDati&) const = default;
};

// Everything a recalculation reads and writes: the rows, the project total,
// the constrained total and its state.
struct DatiCalcolo {
    std::array<RigaDati, kVoci + 1> righe;  // 0 unused
    QString totale;                         // project total (D + T)
    QString vincolo;                        // constrained total, as typed
    StatoVincolo stato = StatoVincolo::Nessuno;
    QString vincoloUtente;   // constrained total last entered by the user
    QString vincoloSalvato;  // constrained total kept by the last step of the descent
    bool operator==(const DatiCalcolo&) const = default;
};

// One operation of the user on the calculation window.
struct Modifica {
    enum class Tipo : std::uint8_t {
        Importo,        // riga gets the amount testo
        Percentuale,    // riga's scroll bar moves to valore (clamped to 0..100)
        Riferimento,    // riga's reference (already in the rows) was chosen or typed
        Vincolo,        // the constrained total becomes testo
        SpegniVincolo,  // "senza importo vincolato"
        CancellaRiga,   // riga's delete button
        CancellaTutto,  // the clearing command
        Assesta,        // rows read from a file with unusable amounts: brought in line
        Ricalcola,      // one recalculation, nothing changed
    };
    Tipo tipo = Tipo::Ricalcola;
    int riga = 0;
    QString testo;
    int valore = 0;
};

enum class EsitoRicalcolo : std::uint8_t {
    Ok,
    Interrotto,       // a percentage cycle or a bound stopped the operation
    Irraggiungibile,  // no amount of row A meets the constrained total
};

// Boxes a recalculation writes: the amounts of rows 1..18 and these two.
constexpr int kCasellaTotale = kVoci + 1;
constexpr int kCasellaVincolo = kVoci + 2;

// One write to a box, as the recalculation made it.
struct Scrittura {
    int casella = 0;
    QString testo;
};

struct RisultatoRicalcolo {
    DatiCalcolo dati;
    // Every change of an amount box or a total, in order, the last one of
    // each box being what dati holds: a view may show each step.
    std::vector<Scrittura> scritture;
    EsitoRicalcolo esito = EsitoRicalcolo::Ok;
    QString messaggio;  // to show once (exclamation); empty when nothing is to be told
    // Counters of this operation.
    long passi = 0;             // passes run
    int profonditaMassima = 0;  // deepest nesting of passes
    int interruzioni = 0;       // stops at a bound or at an unreachable total
};

// Applies one operation and every recalculation it causes. A recalculation is
// a sequence of passes: percentage rows in row order, the cents, the sums D
// and T, the project total and, when a constrained total is pending, one step
// of the descent of row A towards it. A pass that changes an amount causes a
// further pass right there, before it goes on; these passes are kept on an
// explicit stack, so that the order is the classic depth-first one while the
// loop stays readable from top to bottom. The outermost pass of a descent
// ends with an exact search of row A in cents.
RisultatoRicalcolo ricalcola(DatiCalcolo prima, const Modifica& modifica);

}  // namespace varimo
