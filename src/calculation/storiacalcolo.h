#pragma once

#include <QObject>
#include <QString>
#include <deque>
#include <functional>

#include "calculation/fotocalcolo.h"

namespace varimo {

// Undo and redo of the calculation window, and its mark of unsaved changes.
//
// Each operation of the user is one step: the whole state before it and the
// whole state after it (FotoCalcolo), with a name for the menus ("modifica
// importo voce C"). Undo puts the state before back, redo the state after,
// both through StatoCalcolo::ripristina(), which runs no change handler: the
// amounts come back exactly as they were shown, with no recalculation.
//
// How steps are made:
//  * The views call the user operations below (scriviCosto, cancellaRiga,
//    ...) instead of the state's own: each runs the state's operation inside
//    a step named after it.
//  * Any other operation of several writes that must be one step runs inside
//    registraPasso(nome, operazione) or a StoriaCalcolo::Passo scope. Steps
//    nest: an inner step becomes part of the outer one.
//  * The writes that handlers and passes make by themselves never make a step:
//    a step is taken only when the outermost operation has finished.
//  * An operation started from outside any step (a command that does not name
//    itself) still makes one step, named "modifica dati", when the state
//    tells its views that it has finished (StatoCalcolo::cambiato). So no
//    change escapes the history and undo never skips one.
//  * An operation that changes nothing makes no step.
//
// Consecutive keystrokes in one box join one step: the user operations that
// type pass a joining key (the box), and a step with the same key right after
// the previous one is merged into it, until interrompiUnione() (the view calls
// it when the focus moves), an undo, a redo or a save. A scroll bar dragged
// joins the same way; its single moves do not.
class StoriaCalcolo : public QObject {
    Q_OBJECT
  public:
    // Steps kept; the oldest are dropped beyond this.
    static constexpr int kPassiConservati = 500;

    // Follows that state; its present state is the start of the history and
    // counts as saved. The history is a child of the state, which deletes it:
    // create it with new.
    explicit StoriaCalcolo(StatoCalcolo& stato);
    ~StoriaCalcolo() override;

    // The history that follows that state, or nullptr.
    static StoriaCalcolo* di(const StatoCalcolo& stato);

    // Runs `operazione` as one step named `nome` (inside another step: as part
    // of it). `unione`, when not empty, joins it to the previous step made
    // with the same key, as consecutive keystrokes in one box.
    void registraPasso(const QString& nome, const std::function<void()>& operazione,
                       const QString& unione = {});

    // The same as a scope: everything done while it lives is one step.
    class Passo {
      public:
        // A null history makes the scope do nothing.
        Passo(StoriaCalcolo* storia, const QString& nome, const QString& unione = {});
        ~Passo();
        Passo(const Passo&) = delete;
        Passo& operator=(const Passo&) = delete;

      private:
        StoriaCalcolo* storia_;
    };

    // --- the user's operations on the calculation window, one step each
    void scriviTipo(int i, const QString& testo);
    void scriviCosto(int i, const QString& testo);
    // `trascinamento`: the move belongs to a drag of the thumb (joined).
    void scriviHScroll(int i, int valore, bool trascinamento = false);
    void scriviTestoCombo(int i, const QString& testo);
    void scegliCombo(int i, int posizione);
    void scriviCostoprogetto(const QString& testo);
    void cancellaRiga(int i);
    void cancellaTutto();
    void spegniVincolo();

    // Ends the joining of keystrokes: the next edit makes a new step.
    void interrompiUnione();

    // --- undo and redo
    bool puoAnnullare() const { return indice_ > 0; }
    bool puoRipetere() const { return indice_ < static_cast<int>(passi_.size()); }
    // Names of the step undo and redo would act on; empty when there is none.
    QString nomeAnnulla() const;
    QString nomeRipeti() const;
    void annulla();
    void ripeti();
    int passiAnnullabili() const { return indice_; }
    int passiRipetibili() const { return static_cast<int>(passi_.size()) - indice_; }

    // Forgets every step; the present state becomes the start of the history
    // (and counts as saved).
    void svuota();

    // --- unsaved changes
    // True when the state differs from the one last opened or saved, or, if
    // none, from the state the history started with.
    bool modificato() const { return pulito_ != indice_; }
    // The present state has been saved.
    void segnaSalvato();

    // How undo and redo of an Open put the project name and currency back
    // (the framework window's boxes). Without it only the program-wide values
    // change.
    void impostaNomeValuta(std::function<void(const QString&, const QString&)> f) {
        impostaNomeValuta_ = std::move(f);
    }

  signals:
    // The steps, their names or the unsaved mark changed.
    void cambiata();

  private:
    // What a step changes outside the window's controls: only an Open changes
    // them, and only when a step changed them are they put back.
    struct Esterno {
        QString filecorrente;
        QString nomeprogetto;
        QString valuta;
        bool operator==(const Esterno&) const = default;
    };
    struct Voce {
        QString nome;
        FotoCalcolo prima;
        FotoCalcolo dopo;
        Esterno esternoPrima;
        Esterno esternoDopo;
        QString unione;
        long generazione = 0;
    };

    void inizia(const QString& nome, const QString& unione);
    void concludi();
    void registra(const QString& nome, const QString& unione, const Esterno& esternoPrima);
    void applica(const FotoCalcolo& f, const Esterno& da, const Esterno& a);
    Esterno esterno() const;
    void fineOperazioneEsterna();

    StatoCalcolo& stato_;
    // A deque: once the history is full, every new step drops the oldest,
    // which must not move the hundreds of steps behind it.
    std::deque<Voce> passi_;
    int indice_ = 0;        // steps that can be undone; passi_[indice_..] can be redone
    int pulito_ = 0;        // value of indice_ when the state was saved; -1 when out of reach
    FotoCalcolo attuale_;   // the state after the last step (or at the start)
    long generazione_ = 0;  // joining is possible only within one generation
    QString unioneAperta_;

    int profondita_ = 0;  // steps running inside one another
    QString nome_;        // name and key of the outermost step running
    QString unione_;
    Esterno esternoInizio_;
    bool ripristino_ = false;  // undo or redo is putting a state back

    std::function<void(const QString&, const QString&)> impostaNomeValuta_;
};

}  // namespace varimo
