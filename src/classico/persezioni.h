#pragma once

#include "reports/sezioni.h"

namespace varimo {

class StatoEconomico;
class StatoPostGara;
struct QuadroDopoGara;

// The framework window's rows, sorted into the two sections by the
// calculation row each was copied from: A..C are the works, D their total,
// E..S the sums at the disposal, T their total, then the project total. The
// labels and amounts are those the window shows (through the amount format);
// rows whose amount box is empty are left out.
QuadroSezioni sezioniDelQuadro(const StatoEconomico& e);

// The framework after the tender in the two sections, with the columns
// "progetto", "dopo la gara", "differenza": the project's rows that carry an
// amount, the economies as the last row of section B.
QuadroSezioni sezioniDopoGara(const StatoPostGara& s, const QuadroDopoGara& q);

}  // namespace varimo
