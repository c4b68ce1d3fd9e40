#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>

#include "calculation/fotocalcolo.h"
#include "calculation/statocalcolo.h"
#include "datafile/formato.h"
#include "progetto/progettoaperto.h"

namespace varimo {

// One open project: its calculation (the rows of the calculation window, with
// the state of the constrained total), its name and currency, the file it
// lives in, and its undo history with the mark of unsaved changes. Windows
// show it and send the user's edits to it; they learn of its changes through
// its signals.
//
// Undo and redo (QUndoStack). Each operation of the user is one step: the
// whole state before it and the whole state after it (FotoCalcolo), with a
// name for the menus ("modifica importo voce C"). Undo puts the state before
// back, redo the state after, both through StatoCalcolo::ripristina(), which
// runs no change handler: the amounts come back exactly as they were shown,
// with no recalculation.
//  * The views call the user operations below (scriviCosto, cancellaRiga,
//    ...) instead of the calculation's own: each runs the operation inside a
//    step named after it.
//  * Any other operation of several writes that must be one step runs inside
//    registraPasso(nome, operazione) or a Progetto::Passo scope. Steps nest:
//    an inner step becomes part of the outer one.
//  * The writes that handlers and passes make by themselves never make a
//    step: a step is taken only when the outermost operation has finished.
//  * An operation started from outside any step (a command that does not name
//    itself) still makes one step, named "modifica dati", when the calculation
//    tells its views that it has finished (StatoCalcolo::cambiato). So no
//    change escapes the history and undo never skips one.
//  * An operation that changes nothing makes no step.
// Consecutive keystrokes in one box join one step: the user operations that
// type pass a joining key (the box), and a step with the same key right after
// the previous one is merged into it (QUndoCommand::mergeWith), until
// interrompiUnione() (the view calls it when the focus moves), an undo, a redo
// or a save. A scroll bar dragged joins the same way; its single moves do not.
class Progetto : public ProgettoAperto {
    Q_OBJECT
  public:
    // A project with the calculation in its start state and an empty
    // history; avvia() brings it to the state of a new window.
    explicit Progetto(QObject* parent = nullptr);
    ~Progetto() override;

    // The calculation's start-up (StatoCalcolo::preparaFinestra), the currency
    // "euro"; the history starts from there, which counts as saved.
    void avvia();

    // The project that holds that calculation, or nullptr.
    static Progetto* di(const StatoCalcolo& stato);

    StatoCalcolo& calcolo() { return *calcolo_; }
    const StatoCalcolo& calcolo() const { return *calcolo_; }

    // --- name, currency, file
    const QString& nome() const { return nome_; }
    const QString& valuta() const { return valuta_; }
    void impostaNome(const QString& nome);
    void impostaValuta(const QString& valuta);
    void impostaPercorso(const QString& percorso);
    StatoVincolo statoVincolo() const { return calcolo_->statovincolo; }

    // --- the file
    // The project as it goes into the file. Captures costorif for every row,
    // as the save always did just before writing it (the cost text of the
    // selected reference row, the whole number 0 when no entry is selected or
    // that cost is empty).
    ProgettoFile comeFile();
    // Open: the history is emptied and the Open is its one step (undo gives
    // back the work that was on screen, with its file name); the project read
    // from percorso replaces the calculation, name and currency, and counts
    // as saved. Amounts no calculation can carry are shown as read and count
    // as zero in the sums (the caller lists them to the user).
    void apri(const QString& percorso, const ProgettoFile& letto);
    // Save has written the project to percorso: it becomes the project's file
    // and the present state counts as saved.
    void salvato(const QString& percorso);

  protected:
    // A save through ProgettoAperto::salvaContenuto: as salvato().
    void salvatoIn(const QString& percorso) override { salvato(percorso); }

  public:

    // --- steps
    // Runs `operazione` as one step named `nome` (inside another step: as part
    // of it). `unione`, when not empty, joins it to the previous step made
    // with the same key, as consecutive keystrokes in one box.
    void registraPasso(const QString& nome, const std::function<void()>& operazione,
                       const QString& unione = {});

    // The same as a scope: everything done while it lives is one step.
    class Passo {
      public:
        // A null project makes the scope do nothing.
        Passo(Progetto* progetto, const QString& nome, const QString& unione = {});
        ~Passo();
        Passo(const Passo&) = delete;
        Passo& operator=(const Passo&) = delete;

      private:
        Progetto* progetto_;
    };

    // --- the user's operations on the calculation window, one step each
    void scriviTipo(int i, const QString& testo);
    void scriviCosto(int i, const QString& testo);
    // `trascinamento`: the move belongs to a drag of the thumb (joined).
    void scriviScorrimento(int i, int valore, bool trascinamento = false);
    void scriviTestoRiferimento(int i, const QString& testo);
    void scegliRiferimento(int i, int posizione);
    void scriviCostoprogetto(const QString& testo);
    void cancellaRiga(int i);
    void cancellaTutto();
    void spegniVincolo();

    // Ends the joining of keystrokes: the next edit makes a new step.
    void interrompiUnione();

    // --- undo and redo
    bool puoAnnullare() const { return storia_.canUndo(); }
    bool puoRipetere() const { return storia_.canRedo(); }
    // Names of the step undo and redo would act on; empty when there is none.
    QString nomeAnnulla() const { return storia_.undoText(); }
    QString nomeRipeti() const { return storia_.redoText(); }
    // Refused while a step is running.
    void annulla();
    void ripeti();
    int passiAnnullabili() const { return storia_.index(); }
    int passiRipetibili() const { return storia_.count() - storia_.index(); }

    // Forgets every step; the present state becomes the start of the history
    // (and counts as saved).
    void svuota();

    // --- unsaved changes
    // The present state has been saved.
    void segnaSalvato();

  signals:
    // The steps, their names or the unsaved mark changed.
    void storiaCambiata();
    void percorsoCambiato(const QString& percorso);
    // Name or currency changed from inside the project (an Open, an undo or
    // redo of one): the views that show them write them again.
    void nomeValutaCambiati(const QString& nome, const QString& valuta);

  private:
    class Comando;
    friend class Comando;

    // What a step changes besides the calculation: only an Open changes
    // them, and only when a step changed them are they put back.
    struct Esterno {
        QString percorso;
        QString nome;
        QString valuta;
        bool operator==(const Esterno&) const = default;
    };

    Esterno esterno() const { return Esterno{percorso_, nome_, valuta_}; }
    void inizia(const QString& nome, const QString& unione);
    void concludi();
    void registra(const QString& nome, const QString& unione, const Esterno& esternoPrima);
    void applica(const FotoCalcolo& f, const Esterno& da, const Esterno& a);
    void rinominaNellaStoria(const QString& percorso);
    void fineOperazioneEsterna();

    StatoCalcolo* calcolo_;
    QString nome_;
    QString valuta_;
    FotoCalcolo attuale_;   // the state after the last step (or at the start)
    long generazione_ = 0;  // steps join only within one generation

    int profondita_ = 0;  // steps running inside one another
    QString nomePasso_;   // name and key of the outermost step running
    QString unione_;
    Esterno esternoInizio_;
    bool ripristino_ = false;  // undo or redo is putting a state back
};

}  // namespace varimo
