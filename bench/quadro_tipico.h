#pragma once

// The framework both benchmark programs work on.
#include "calculation/statocalcolo.h"

namespace varimo::banco {

// A typical project: B typed, eleven percentage rows on A and D.
inline void quadroTipico(StatoCalcolo& s) {
    auto perc = [&](int riga, int rif, int p) {
        s.scegliRiferimento(riga, rif - 1);
        s.scriviScorrimento(riga, p);
    };
    s.scriviCosto(2, QStringLiteral("50000"));  // B typed
    perc(3, 1, 3);                              // C 3 % of A
    perc(5, 4, 2);                              // E 2 % of D
    perc(6, 4, 1);                              // F 1 % of D
    perc(7, 4, 5);                              // G 5 % of D
    perc(11, 4, 12);                            // M 12 % of D
    perc(12, 1, 2);                             // N 2 % of A
    perc(13, 4, 1);                             // O 1 % of D
    perc(14, 4, 1);                             // P 1 % of D
    perc(16, 4, 1);                             // R 1 % of D
    perc(15, 4, 2);                             // Q 2 % of D
    perc(17, 4, 10);                            // S 10 % of D
}

}  // namespace varimo::banco
