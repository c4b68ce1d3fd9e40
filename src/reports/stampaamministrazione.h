#pragma once

#include <QString>
#include <memory>

#include "reports/documento.h"
#include "reports/quadroesportato.h"

namespace varimo {

enum class EsitoStampa;

// The print of a framework an administration files: the header
// (administration, project title, CUP, CIG, phase, date), the framework as
// one table (code, label, rule, amount; sections and their totals in bold;
// "TOTALE PROGETTO" in the currency), then place and date and the signature
// lines of the designer and of the RUP with their names. The heading names
// the administration and the project only; the program is named in the
// document's properties. The table's heading row repeats on every page it
// runs onto, its columns are fixed so no amount wraps, long labels wrap
// within their cell.
std::shared_ptr<Documento> documentoAmministrazione(const QuadroEsportato& q);

// The name the print's file is proposed with: "<title> - quadro economico",
// or "quadro economico" for a framework without a title.
QString nomeStampaAmministrazione(const QuadroEsportato& q);

// The print handed to the word processor as a .docx file, as the classic
// reports are.
EsitoStampa stampaAmministrazione(const QuadroEsportato& q);
// The print exported as a PDF/A file (save dialog, question before
// replacing, message on failure).
EsitoStampa esportaAmministrazionePdf(const QuadroEsportato& q);
// The spreadsheet of the framework (foglioquadro.h), through the same save
// dialog, question and message.
EsitoStampa esportaFoglioQuadro(const QuadroEsportato& q);

}  // namespace varimo
