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
// grouping; the project total last with the code TOTALE.
QByteArray csvConfronto(const Confronto& c);

// The award as .csv: the framework's lines (codice;etichetta;regola;importo),
// then CONTRATTO (the contract amount) and ECONOMIE on lines of their own,
// then TOTALE.
QByteArray csvAggiudicazione(const FileQuadro& file, const Aggiudicazione& a);

}  // namespace varimo::quadro
