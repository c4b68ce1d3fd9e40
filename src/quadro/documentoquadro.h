#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <optional>

#include "progetto/progettoaperto.h"
#include "quadro/fasi.h"
#include "quadro/modifiche.h"
#include "quadro/quadro.h"

// The framework being worked on in the window: the phases of its file, the
// one in the window, what the window shows of it (an award after its
// discount), its evaluation (always up to date: every edit recomputes at
// once) and its undo history. Every edit, of the items or of the phases, is
// one undo step. A step of the items holds only what the edit changed (the
// items of the phase in reading order that differ, with the header and the
// fixed total), so a framework of twenty thousand items costs a few hundred
// bytes per edit; a step of the phases holds the phases before and after,
// which share their unchanged items with the document.

namespace varimo::quadro {

// The whole document at one moment: the phases and the one in the window.
struct StatoDocumento {
    FileFasi fasi;
    int corrente = 0;
};

class DocumentoQuadro : public ProgettoAperto {
    Q_OBJECT
  public:
    explicit DocumentoQuadro(QObject* parent = nullptr);
    ~DocumentoQuadro() override;

    // The current phase as stored: the header and its items (an award's are
    // the project's, before the discount).
    const FileQuadro& file() const { return file_; }
    // What the window shows and its evaluation: the stored items, or for an
    // award with its discount the items after it, the economies taking the
    // difference (unless the items before the discount are asked for).
    const Quadro& quadro() const { return mostrato_; }
    const Valutazione& valutazione() const { return valutazione_; }
    // What the shown phase is computed with: the shown date, and in a variant
    // the amounts of the project of the award before it.
    const Riferimenti& riferimenti() const { return riferimenti_; }
    // The date of the phase in the window: its own, else (a file of one
    // framework that dated only its header) the header's.
    QString dataFase() const { return dataMostrata(stato_.fasi.intestazione); }
    // The shown framework as its documents and exports take it: the header
    // names the phase and carries its date.
    FileQuadro fileMostrato() const;
    // The award as computed when the window shows one after its discount.
    const std::optional<Aggiudicazione>& aggiudicazione() const { return aggiudicazione_; }
    // Why an award cannot be computed (its items are then shown as stored).
    const QString& problemaFase() const { return problema_; }
    // Whether the shown items are the stored ones, which the edits change.
    bool vociModificabili() const { return !aggiudicazione_; }
    // On an award: show the items before the discount (to correct them) or
    // after it (the default).
    bool primaDelRibasso() const { return primaDelRibasso_; }
    void impostaPrimaDelRibasso(bool prima);

    // A new document of one phase (the history emptied), counted as saved
    // unless `daSalvare` (a framework converted from a classic project).
    void imposta(const FileQuadro& f, const QString& percorso, bool daSalvare = false);
    // Opens a .varimo file (version 1 or 2) on its last phase, holding its
    // lock file (asking first when another Varimo holds it); on failure the
    // message, and nothing changes. An empty message: the user declined to
    // open a file another Varimo holds.
    std::optional<QString> apri(const QString& percorso);
    // The bytes of the file a save writes, or why there can be none: the
    // file the program would write must be one it can open again.
    std::variant<QByteArray, QString> contenuto() const;
    // Saves every phase to `percorso` (atomically), with no question; on
    // success it becomes the document's file and counts as saved.
    std::optional<QString> salva(const QString& percorso);
    // Save (`nuovoNome` false) and Save as, with the questions of every save:
    // `chiedi` gives a name when there is none or a new one is asked, a taken
    // name is replaced only after a question, a file another program has
    // changed is overwritten only after one. Messages head with `titolo`.
    // True when written.
    bool salvaChiedendo(bool nuovoNome, const std::function<std::optional<QString>()>& chiedi);

    // One edit of the current phase as one undo step named `nome`: applied to
    // a copy, recomputed, kept only when both succeed; otherwise the message
    // and nothing changes. A locked phase refuses every edit, and an award
    // shown after its discount refuses edits of its items.
    EsitoModifica modifica(const QString& nome,
                           const std::function<EsitoModifica(FileQuadro&)>& cambia);
    // The same for the edits of the items.
    EsitoModifica modificaQuadro(const QString& nome,
                                 const std::function<EsitoModifica(Quadro&)>& cambia);

    // The phases of the file, the current one's edits included.
    const FileFasi& fasi() const { return stato_.fasi; }
    int faseCorrente() const { return stato_.corrente; }
    StatoDocumento stato() const { return stato_; }
    // The phases after a change of their own ("Nuova fase", a lock, the data
    // of a phase, a removal) as one undo step, phase `corrente` in the window.
    void modificaFasi(const QString& nome, const FileFasi& f, int corrente);
    // Brings phase `i` into the window; the document is not changed by it.
    void scegliFase(int i);

    // Puts back a whole document (undo and redo); recomputes.
    void ripristina(const StatoDocumento& s);
    // Puts back the items of phase `fase` and what an edit of the items may
    // change besides them (undo and redo of such an edit); recomputes.
    void ripristinaFase(int fase, const FileQuadro& f);

  signals:
    void cambiato();

  private:
    void ricalcolaMostrato();
    // The date the shown phase is computed at, with this header: the phase's
    // own, else the header's (as fileMostrato() prints it).
    QString dataMostrata(const Intestazione& intestazione) const;
    // Phase `fase` in the window with the items, header and unknown keys of
    // f; `valutata`, when given, is the evaluation of those items just made.
    void applicaFase(int fase, const FileQuadro& f, const Valutazione* valutata = nullptr);

    StatoDocumento stato_;
    bool primaDelRibasso_ = false;
    // Derived from stato_ by ricalcolaMostrato.
    FileQuadro file_;
    Quadro mostrato_;
    Valutazione valutazione_;
    std::optional<Aggiudicazione> aggiudicazione_;
    QString problema_;
    Riferimenti riferimenti_;
};

}  // namespace varimo::quadro
