#pragma once

class QMainWindow;

namespace varimo::quadro {

class DocumentoQuadro;

// The menu "Fasi" (`menufasi`) of a framework window: the phases of the file,
// the current one checked (choosing another brings it into the window), "Nuova
// fase" (`nuovafase`), "Dati della fase…" (`datifase`: name, date, discount
// of an award, act and limit of a variant), "Fase bloccata" (`bloccafase`) and
// "Confronto tra le
// fasi" (`confrontofasi`, the window `confronto` over the phases as they
// stand).
void aggiungiMenuFasi(QMainWindow* finestra, DocumentoQuadro& documento);

}  // namespace varimo::quadro
