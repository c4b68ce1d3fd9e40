#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <cstdint>

#include "calculation/ricalcolo.h"
#include "common/valore.h"
#include "common/voci.h"

namespace varimo {

// Who runs the data check: the user (success is announced) or a save waiting
// on it (success is silent and puts the mark back to Nessuno; a refusal leaves
// it at InAttesa).
enum class Salvataggio : std::uint8_t { Nessuno, InAttesa };

struct FotoCalcolo;

// 1..18 -> 'A'..'T' skipping J and K; anything else -> a blank.
QChar letteraVoce(int i);
// Initial label of row i (1..18); empty outside.
QString etichettaIniziale(int i);

// The reference list (Combo1) of one row: its entries, the selected entry
// (-1 = none) and the text shown in its box.
struct Riferimento {
    QStringList voci;
    int posizione = -1;
    QString testo;
    bool operator==(const Riferimento&) const = default;
};

// Fixed captions and tooltips of the calculation window.
namespace testicalcolo {
inline const QString titoloFinestra =
    QStringLiteral("Varimo: calcolo del quadro economico di lavori");
inline const QString titoloPercentuale = QStringLiteral("% della ------------>");
inline const QString titoloPercentualeSuggerimento =
    QStringLiteral("percentuale di calcolo rispetto ad un'altra voce");
inline const QString titoloTipo = QStringLiteral("Titologia di voce del quadro");
inline const QString titoloTipoSuggerimento =
    QStringLiteral("tipo di voce del quadro: modificabile dall'operatore");
inline const QString titoloCosto = QStringLiteral("costo previsto della tipologia");
inline const QString titoloCostoSuggerimento = QStringLiteral(
    "costo di ogni singola voce: digitabile direttamente come calcolo in percentuale di un'altra "
    "voce");
inline const QString titoloRiferimento = QStringLiteral("voce di riferimento");
inline const QString titoloRiferimentoSuggerimento =
    QStringLiteral("voce sulla quale va calcolata la percentuale");
inline const QString progettoSuggerimento =
    QStringLiteral("valore calcolato in automatico come somma delle voci D e T");
inline const QString calcolato = QStringLiteral("Importo calcolato del progetto");
inline const QString calcolatoSuggerimento =
    QStringLiteral("questa somma viene calcolata in base agli importi delle singole voci");
inline const QString costoprogettoSuggerimento =
    QStringLiteral("digita la somma massima del progetto");
inline const QString vincolato = QStringLiteral("Importo vincolato del progetto");
inline const QString vincolatoSuggerimento = QStringLiteral(
    "questo importo è immesso dall'operatore e le singole voci vengono ripartite in base ad esso");
inline const QString senzaVincolo = QStringLiteral("s&enza importo vincolato");
inline const QString senzaVincoloSuggerimento =
    QStringLiteral("clicca per aumentare liberamente l'importo del progetto");
inline const QString visualizza = QStringLiteral("Visuali&zza");
inline const QString visualizzaSuggerimento =
    QStringLiteral("clicca per visualizzare il quadro economico definitivo");
inline const QString aiuto = QStringLiteral("&AIUTO");
inline const QString aiutoSuggerimento =
    QStringLiteral("cliccare per avere informazioni sull'uso della finestra");
inline const QString costo1Suggerimento =
    QStringLiteral("costo sul quale può iniziare il calcolo con valore del progetto vincolato");
inline const QString costo4Suggerimento = QStringLiteral("somma delle voci precedenti");
inline const QString costo18Suggerimento = QStringLiteral("somma delle voci da E a S");
inline const QString riferimentoSuggerimento =
    QStringLiteral("clicca per scegliere la voce sulla quale calcolare la percentuale di costo");
inline const QString tipoSuggerimento =
    QStringLiteral("modifica eventualmente le singole voci del progetto");
inline const QString tipo4Suggerimento =
    QStringLiteral("questa voce riporta la somma delle voci A, B, C e non è modificabile");
inline const QString tipo18Suggerimento = QStringLiteral(
    "questa voce riporta la somma dei costi delle voci da E a S e non è modificabile");
inline const QString cancellaRigaSuggerimento =
    QStringLiteral("clicca per cancellare i valori di questa riga n.");
inline const QString uscitaSuggerimento = QStringLiteral("clicca per uscire da ");
inline const QString avvisoLunghezza =
    QStringLiteral("Attenzione: per una stampa corretta non superare i 50 caratteri.");
}  // namespace testicalcolo

// The controls of one row. Every value is observable (Valore): a widget view
// attaches with allaVista() and writes the user's edits back through the
// scrivi*/scegli* functions of StatoCalcolo.
struct RigaCalcolo {
    Valore<QString> tipo;
    Valore<QString> costo;
    Valore<QString> percentuale{QStringLiteral("0")};  // caption of the percentage label
    Valore<int> scorrimento;                           // 0..100
    Valore<Riferimento> riferimento;
    Valore<QString> suggerimentoTipo;
    Valore<QString> suggerimentoRiferimento;
    Valore<QString> suggerimentoCancellaRiga;
    int pagina = 1;  // page step of the scroll bar (LargeChange)
};

// Headless state of the calculation window `calcolo`: the data of all its
// controls and every change handler, recalculation included. It runs without
// any widget; the window (calculation/widgets) is a view on it.
class StatoCalcolo : public QObject {
    Q_OBJECT
  public:
    explicit StatoCalcolo(QObject* parent = nullptr);  // rows in start state; no preparaFinestra
    ~StatoCalcolo() override;

    // The load work, after the window size: titles, exit tooltip, lists, currency
    // "euro", tooltips of the delete buttons.
    void preparaFinestra();
    // Appends the 18 current labels to every reference list and sets the list
    // and label tooltips and the scroll bars' page step.
    void impostavoci();

    // --- reading
    QString tipo(int i) const;
    QString costo(int i) const;
    QString percentuale(int i) const;  // 1..18: row percentage; 0, 19, 20: headings
    int scorrimento(int i) const;
    const Riferimento& riferimento(int i) const;
    QString progetto() const;
    QString costoprogetto() const;
    bool senzaVincoloVisibile() const;
    QString suggerimentoTipo(int i) const;
    QString suggerimentoRiferimento(int i) const;
    QString suggerimentoCancellaRiga(int i) const;
    QString suggerimentoCosto(int i) const;  // rows 1, 4, 18; empty for the others
    QString suggerimentoUscita() const;
    int pagina(int i) const;  // page step of HScroll1(i)

    // Shape of the window, fixed for each row.
    static bool percentualeVisibile(int i);  // perc, HScroll1, Combo1 shown (not rows 1, 4, 18)
    static bool pulsanteCancellaRigaPresente(int i);  // delete button exists (1..17) ...
    static bool pulsanteCancellaRigaVisibile(int i);  // ... and is shown (not 4)
    static bool tipoSoloLettura(int i);               // rows 4 and 18
    static bool costoSoloLettura(int i);              // rows 4 and 18

    // Observable values, for the views.
    RigaCalcolo& riga(int i);
    Valore<QString>& progettoValore() { return progetto_; }
    Valore<QString>& costoprogettoValore() { return costoprogetto_; }
    Valore<bool>& senzaVincoloValore() { return senzaVincoloVisibile_; }
    Valore<QString>& suggerimentoUscitaValore() { return suggerimentoUscita_; }

    // --- writing: same effect as the user's edit; a changed amount, scroll
    // bar, reference or constrained total runs the recalculation
    // (calculation/ricalcolo.h).
    void scriviTipo(int i, const QString& testo);
    void scriviCosto(int i, const QString& testo);
    void scriviScorrimento(int i, int valore);  // clamped to 0..100
    // Typing into the reference box (or code writing its text): the text
    // changes, no entry stays selected -> applicaTestoRiferimento.
    void scriviTestoRiferimento(int i, const QString& testo);
    // Choosing an entry (or code setting the list position; -1 = none): the
    // entry is selected and its label becomes the text -> applicaRiferimento only.
    void scegliRiferimento(int i, int posizione);
    // Empties the list: no entries, no selection; the text in the box stays.
    // Runs no handler (the text does not change and nothing is chosen).
    void svuotaElencoRiferimento(int i);
    void scriviCostoprogetto(const QString& testo);
    void impostaSenzaVincoloVisibile(bool visibile);

    // --- handlers
    void applicaTestoRiferimento(int i);
    void applicaRiferimento(int i);
    void spegniVincolo();
    void cancellaRiga(int i);
    void applicaEtichetta(int i);
    void ricalcola();
    void controllaDati();
    void cancellaTutto();
    void mostraAiuto();
    // Rows whose amount no calculation can use (not a number, beyond the exact
    // range, a misplaced thousands point), one line each: letter, label, text.
    QStringList importiInutilizzabili() const;
    // When some row holds such an amount: one message listing those rows, and
    // true. Nothing and false otherwise.
    bool avvisaImportiInutilizzabili();
    // Brings every row in line as after an Open of a file with such amounts:
    // they count as zero, as an empty box does, so D, T and the total are the
    // sums of what the boxes show. Runs no descent; the texts stay as read.
    void assestaImportiInutilizzabili();

    // --- undo and redo (calculation/fotocalcolo.h)
    // Every value of the window's state that the views show, the file stores
    // or the next operation reads.
    FotoCalcolo foto() const;
    // Puts back a state taken by foto(): every control value is restored and
    // shown without running its change handler, so nothing is recalculated;
    // then cambiato() is emitted.
    void ripristina(const FotoCalcolo& f);

    // --- window state
    std::array<double, 21> centesimi{};  // 1..18: cents of each row; 0, 19, 20 unused
    QString centesimi20;                 // costoprogetto's text saved by a constrained step
    std::array<QVariant, 19> vocerif;    // invalid = unassigned (counts as 0)
    std::array<QVariant, 19> costorif;   // invalid = unassigned (counts as 0 and "")
    bool caricamento = false;            // a file is being loaded into the boxes
    Salvataggio salvataggio = Salvataggio::Nessuno;
    StatoVincolo statovincolo = StatoVincolo::Nessuno;  // the constrained total's state

    // --- counters (tests and benchmarks)
    long passiAnnidati() const { return passiTotali_; }  // passes run since azzeraContatori()
    // Passes running now: they all run inside one call of the recalculation,
    // so none is left running between two operations.
    int profondita() const { return 0; }
    int profonditaMassima() const { return profonditaMassima_; }  // deepest nesting seen
    int interruzioni() const { return interruzioni_; }            // operations stopped at a bound
    // An operation started from outside is running (cambiato follows its end).
    bool inOperazione() const { return operazioni_ > 0; }
    void azzeraContatori();

  signals:
    // Emitted when an operation started from outside (a user edit, a command)
    // has finished, so a view may refresh whatever it does not observe.
    void cambiato();

  private:
    enum class EventoRiferimento { Nessuno, Digitazione, Scelta };
    class Operazione;
    friend class Operazione;

    void collega();
    void gestisciRiferimento(int i);
    void riferimentoCambiato(int i);
    // The values the recalculation reads, and one operation run on them: the
    // result is shown without running any handler, its message once.
    DatiCalcolo dati() const;
    void esegui(const Modifica& m);
    void imponiRiferimento(int i, const Riferimento& r, EventoRiferimento e);

    std::array<RigaCalcolo, kVoci + 1> righe_;  // 0 unused
    Valore<QString> progetto_;
    Valore<QString> costoprogetto_;
    Valore<bool> senzaVincoloVisibile_;
    Valore<QString> suggerimentoUscita_;

    EventoRiferimento eventoRiferimento_ = EventoRiferimento::Nessuno;
    int operazioni_ = 0;  // nesting of operations started from outside
    int profonditaMassima_ = 0;
    long passiTotali_ = 0;
    int interruzioni_ = 0;
    QString vincoloUtente_;                         // constrained total last entered by the user
    std::array<bool, kVoci + 1> etichettaLunga_{};  // label past 50 characters, already told
};

}  // namespace varimo
