#pragma once

#include <QString>
#include <variant>

#include "datafile/formato.h"
#include "quadro/quadro.h"

namespace varimo {
class StatoCalcolo;
}

// A classic project (the eighteen rows of the calculation window) as a
// framework of any shape: rows A-C become A.1-A.3 under section A (row D's
// label), rows E-S become B.1-B.13 under section B (row T's label). Every
// amount, percentage and reference is kept (a reference to D becomes one to
// section A, to T one to section B); the project is first computed as the
// calculation window computes it, so the framework's total equals the classic
// total to the cent.

namespace varimo::quadro {

struct Conversione {
    FileQuadro file;
    // Rows whose rule could not be kept (a percentage of itself, a cycle of
    // percentages): they become amounts with the classic amount, and a note.
    QStringList avvisi;
    Centesimi totaleClassico = 0;
    // Not empty when the project cannot become a framework (an amount that
    // the classic computation let grow past 999.999.999.999,99): why.
    QString errore;
};

// The project of a calculation state as it stands (the calculation window's
// "Converti in quadro"); `nome` becomes the title, `moneta` the currency.
Conversione convertiStato(const StatoCalcolo& stato, const QString& nome, const QString& moneta);

// A classic data file: opened as a project of its own, without a window and
// without any message, and computed there.
Conversione convertiClassico(const ProgettoFile& classico);

}  // namespace varimo::quadro
