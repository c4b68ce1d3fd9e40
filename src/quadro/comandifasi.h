#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "quadro/fasi.h"
#include "quadro/rigacomando.h"

// The export of a file with phases from the command line:
//   varimo --esporta IN OUT --confronto    the comparison of all the phases
//   varimo --esporta IN OUT --fase NAME    one phase (an award after its discount)
//   varimo --esporta IN OUT --ribasso P    the award of the last phase (or of
//                                          --fase NAME) at discount P ("23,456"),
//                                          IN unchanged
// IN is a .varimo file (version 1 or 2) or a classic data file, which makes
// one phase. OUT's extension chooses the format, as for the framework.

namespace varimo::quadro {

// --esporta with --confronto, --fase or --ribasso, as the command line read
// it: the comparison, one phase, or the award of a phase at a discount.
int eseguiComandoFasi(const RigaComando& riga, QString* errori, const Esportatori& formati);

// The comparison as .csv: UTF-8 with a byte order mark, ';' between fields,
// "codice;etichetta;" then one column per phase named by the phase's name, then
// "differenza" (when two phases or more are compared); one line per item, an
// empty cell where a phase lacks the item, amounts with a decimal comma and no
// grouping; the project total with the code TOTALE; then, when `andamenti`
// (andamento() of the file) is given, the contract amount (CONTRATTO), the
// contingencies and economies each phase used and left (IMPREVISTI_USATI,
// IMPREVISTI_RESIDUI, ECONOMIE_USATE, ECONOMIE_RESIDUE) and a variant's
// warning on its limit (AVVISO, the text in the label's field).
QByteArray csvConfronto(const Confronto& c, const QList<Andamento>& andamenti = {});

// The comparison of every phase of a file, with what its documents need: a
// .varimo file is read and computed one phase at a time, so that memory
// follows one phase and the comparison's rows and columns; a classic data
// file makes one phase.
std::variant<ConfrontoCalcolato, QString> confrontoDelFile(const QString& percorso);

// Phase `i` of a file as its exports take it: the framework as computed (an
// award after its discount) with the phase's name, kind, date and figures,
// and for an award its contract amount and economies. The window and the
// command line export a phase through it, so both write the same.
std::variant<QuadroCalcolato, QString> faseDaEsportare(const FileFasi& f, int i);

}  // namespace varimo::quadro
