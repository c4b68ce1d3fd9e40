#pragma once

#include <QString>
#include <QVariant>
#include <array>

#include "calculation/statocalcolo.h"
#include "common/testiprogramma.h"

namespace varimo {

// One row of the calculation window as it stands between two operations.
struct FotoRiga {
    QString tipo;
    QString costo;
    QString percentuale;
    int scorrimento = 0;
    Riferimento riferimento;
    double centesimi = 0;
    QVariant vocerif;
    QVariant costorif;
    bool operator==(const FotoRiga&) const = default;
};

// The whole state of the calculation window between two operations: what the
// window shows (labels, amounts, percentages, references, the sums, both
// totals, the button of the constraint), the members the next pass reads, and
// the state of the constrained total. Taken by StatoCalcolo::foto() and put
// back by StatoCalcolo::ripristina(), which runs no handler.
struct FotoCalcolo {
    std::array<FotoRiga, kVoci + 1> righe;  // 0 unused
    QString progetto;
    QString costoprogetto;
    bool senzaVincolo = false;
    QString centesimi20;
    StatoVincolo statovincolo = StatoVincolo::Nessuno;
    QString vincoloUtente;
    bool operator==(const FotoCalcolo&) const = default;
};

}  // namespace varimo
