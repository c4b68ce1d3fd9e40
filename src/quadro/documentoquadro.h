#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>

#include "quadro/fasi.h"
#include "quadro/modifiche.h"
#include "quadro/quadro.h"

// The framework being worked on in the window: the document's values, its
// evaluation (always up to date: every edit recomputes at once), its file and
// its undo history. Every edit is one undo step holding the whole document
// before and after (a framework of hundreds of items is a few kilobytes).

namespace varimo::quadro {

class DocumentoQuadro : public QObject {
    Q_OBJECT
  public:
    explicit DocumentoQuadro(QObject* parent = nullptr);

    const FileQuadro& file() const { return file_; }
    const Quadro& quadro() const { return file_.quadro; }
    const Valutazione& valutazione() const { return valutazione_; }
    QUndoStack& storia() { return storia_; }
    const QString& percorso() const { return percorso_; }
    bool modificato() const { return !storia_.isClean(); }

    // A new document (the history emptied), counted as saved unless
    // `daSalvare` (a framework converted from a classic project).
    void imposta(const FileQuadro& f, const QString& percorso, bool daSalvare = false);
    // Opens a .varimo file; on failure the message, and nothing changes.
    std::optional<QString> apri(const QString& percorso);
    // Saves to `percorso` (atomically); on success it becomes the document's
    // file and counts as saved.
    std::optional<QString> salva(const QString& percorso);

    // One edit as one undo step named `nome`: applied to a copy, recomputed,
    // kept only when both succeed; otherwise the message and nothing changes.
    EsitoModifica modifica(const QString& nome,
                           const std::function<EsitoModifica(FileQuadro&)>& cambia);
    // The same for the edits of the items.
    EsitoModifica modificaQuadro(const QString& nome,
                                 const std::function<EsitoModifica(Quadro&)>& cambia);

    // Puts back a whole document (undo and redo); recomputes.
    void ripristina(const FileQuadro& f);

    // The phases of the file: the window works on one of them (the last when
    // a file is opened); the others are kept as read and saved with it. A
    // locked phase refuses every edit.
    FileFasi fasi() const;
    int faseCorrente() const { return corrente_; }
    // The phases after a change of their own ("Nuova fase", a lock), phase
    // `corrente` in the window. The undo history starts again; the document
    // counts as modified.
    void impostaFasi(const FileFasi& f, int corrente);

  signals:
    void cambiato();

  private:
    FileQuadro file_;
    FileFasi fasi_;  // the current phase's items live in file_
    int corrente_ = 0;
    Valutazione valutazione_;
    QString percorso_;
    QUndoStack storia_;
};

}  // namespace varimo::quadro
