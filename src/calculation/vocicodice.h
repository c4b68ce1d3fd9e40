#pragma once

#include <QString>
#include <array>

namespace varimo {

class StatoCalcolo;

// The labels of the sums at the administration's disposal (rows E to S) as the
// public contracts code of 2023 (D.Lgs. 36/2023, annex I.7, article 5) lists
// them. Rows A to D and T keep their labels: they already name the works, the
// safety charges and the two sums as the code does.
inline constexpr int kPrimaVoceCodice = 5;    // E
inline constexpr int kUltimaVoceCodice = 17;  // S
const std::array<QString, 13>& vociCodice2023();
// The label the code gives row i (5..17); empty outside.
QString voceCodice(int i);

// The question asked before the labels are written: it names every label
// that will be replaced, row by row. Empty when rows E to S already carry the
// code's labels.
QString confermaVociCodice(const StatoCalcolo& s);

// "Voci secondo il D.Lgs. 36/2023": asks, then writes the code's labels into
// rows E to S as typed labels (the label change handler runs for each, as
// for the user's typing), all in one step of the window's undo history. When the labels are already
// those of the code the user is told and nothing changes. True when labels were written.
bool applicaVociCodice(StatoCalcolo& s);

}  // namespace varimo
