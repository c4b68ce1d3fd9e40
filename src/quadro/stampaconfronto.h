#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "quadro/fasi.h"
#include "reports/documento.h"

// The comparison of phases on paper and in files: a document with the
// project's header, the table of the phases side by side (sections and the
// project total in bold, the difference between two phases) and, below it,
// the contract amount and what each phase has used of the contingencies and
// of the economies, with the warnings on the variants' limits.

namespace varimo::quadro {

// `colori`: the tables in the program's colours; plain black on white when
// false.
std::unique_ptr<Documento> documentoConfronto(const ConfrontoCalcolato& cc, bool colori = false);

// Writes the comparison to `percorso` in the format of its extension: .csv,
// .docx, .pdf (PDF/A; it needs the fonts of a graphical application) or .xlsx.
// Nothing on success, else the reason in Italian; the file is then untouched.
std::optional<QString> esportaConfronto(ConfrontoCalcolato cc, const QString& percorso);
QStringList estensioniConfronto();

}  // namespace varimo::quadro
