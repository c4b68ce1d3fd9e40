#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <variant>

#include "quadro/fasi.h"

// The .varimo file of version 2: the header at the top level and the phases in
// "fasi", each with its name, kind, date, lock, items and fixed total as in
// version 1, the discount of an award and the act of a variant:
//   { "formato": "varimo-quadro", "versione": 2, "intestazione": {...},
//     "fasi": [ { "nome": "Progetto esecutivo", "tipo": "esecutivo",
//                 "data": "2026-03-02", "bloccata": true, "voci": [...],
//                 "vincolo": {...} },
//               { "nome": "Aggiudicazione", "tipo": "aggiudicazione", ...,
//                 "ribasso": "18.735" },
//               { "nome": "Variante n. 1", "tipo": "variante", ...,
//                 "atto": { "numero": "45", "data": "2027-05-10" },
//                 "limite": { "percentuale": "20", "articolo": "..." } } ] }
// A file of version 1 reads as one phase; the program writes version 2.
// docs/formato-varimo.md describes both.

namespace varimo::quadro {

inline constexpr int kVersioneFasi = 2;

// UTF-8, indented, keys in a fixed order: writing what was read gives the same
// bytes.
QByteArray scriviFasi(const FileFasi& f);

// Reads a document of version 1 or 2 whole, or an Italian message naming the
// place ("fase 2 («Aggiudicazione»): ..."); nothing is returned half-read.
std::variant<FileFasi, QString> leggiFasi(const QByteArray& dati);
// The same from the whole document parsed at once: what leggiFasiInSequenza()
// falls back on for a document that is not plainly one of version 2.
std::variant<FileFasi, QString> leggiFasiIntero(const QByteArray& dati);

// The same reading, one phase at a time: `testa` receives the header and the
// unknown top-level keys before the first phase, and each phase goes to
// `ognuna` in the file's order as soon as it is read, so that only one phase
// is held at a time (the comparison of a file of a million items). A file of
// version 1 makes one phase. On a failure the Italian message of leggiFasi();
// the phases handed on before it are then to be discarded.
std::optional<QString> leggiFasiInSequenza(const QByteArray& dati, FileFasi& testa,
                                           const std::function<void(Fase&&)>& ognuna);

// The bytes a save writes: scriviFasi, or without indentation when that
// would be past the size the reader takes; refused with the reason when the
// reader would not open them again (too large, too many items).
std::variant<QByteArray, QString> fileDaSalvare(const FileFasi& f);

std::variant<FileFasi, QString> apriFileFasi(const QString& percorso);
// Atomic: on failure the old file stays as it was and the reason is returned.
std::optional<QString> salvaFileFasi(const QString& percorso, const FileFasi& f);

// One phase as a framework of version 1 (for the exports): the header, the
// phase's name as the header's phase, the framework as computed (an award
// after its discount). `valutazione` receives its evaluation, with the
// phase's date and the amounts of the project for the items on the tender
// base: the framework alone, computed again, would not keep them.
std::variant<FileQuadro, QString> quadroDellaFase(const FileFasi& f, int i,
                                                  Valutazione* valutazione = nullptr);
}  // namespace varimo::quadro
