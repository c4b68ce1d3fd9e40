#pragma once

#include <QString>
#include <functional>

class QMainWindow;

namespace varimo::quadro {

class DocumentoQuadro;

// The menu "Fasi" (`menufasi`) of a framework window: the phases of the file,
// the current one checked (choosing another brings it into the window), "Nuova
// fase" (`nuovafase`), "Dati della fase…" (`datifase`: name, date, discount
// of an award, act and limit of a variant), "Fase bloccata" (`bloccafase`),
// "Rimuovi fase…" (`rimuovifase`, after a question; never the only phase nor
// a locked one) and "Confronto tra le fasi" (`confrontofasi`, the window
// `confronto`, which follows the document's later changes) and "Dati per
// ANAC…" (`datiperanac`, the window `datianac` of the current phase, which
// follows the document too; `nomeProposto` names the JSON it saves). Each
// change of the phases is one undo step of the window.
void aggiungiMenuFasi(QMainWindow* finestra, DocumentoQuadro& documento,
                      const std::function<QString()>& nomeProposto = {});

// "Rimuovi fase…" on the document's current phase: refused with a message
// when it is the only phase or is locked, else asks and removes it, the phase
// before it coming into the window. Whether it was removed.
bool comandoRimuoviFase(DocumentoQuadro& documento);

}  // namespace varimo::quadro
