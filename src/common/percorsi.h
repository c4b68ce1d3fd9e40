#pragma once

#include <QString>

namespace varimo {

// The program's own folder: where the executable lies, unless another was
// set among the application's services (tests set one).
QString cartellaProgramma();
void impostaCartellaProgramma(const QString& cartella);  // empty = back to the real one

// Finds a data file of the program (sound, tips file): beside the executable
// first (build tree, or a program copied by hand), then in the data folder of
// an installation next to it (../share/varimo), then in the data folder this
// build installs to. Returns the empty text when none exists.
QString trovaDato(const QString& nome);

}  // namespace varimo
