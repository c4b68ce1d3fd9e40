#pragma once

#include <QString>
#include <optional>

#include "quadro/rigacomando.h"
#include "reports/quadroesportato.h"

// The framework's documents: the record the writers of the document layer
// read, made from a computed framework, and the writers of the formats that
// go beyond the .csv (.pdf, .docx, .xlsx) with the export table that holds them.

namespace varimo::quadro {

// The computed framework as its documents see it: every item in reading
// order with its amount, rule and links, the total, the fixed total.
QuadroEsportato perDocumenti(const QuadroCalcolato& q);

// Computes a framework as it stands (the absorbing item as set) for its
// documents; the problem that prevents it, in Italian, otherwise.
// `r`: the date and the project's amounts the framework is computed with
// (by default the header's date and no award).
std::variant<QuadroCalcolato, QString> calcolaPerDocumenti(const FileQuadro& f,
                                                           const std::optional<Riferimenti>& r = {});

// The administration's print as PDF/A (needs the fonts of a graphical
// application), as .docx, and the spreadsheet, written atomically to
// percorso: nothing on success, the reason otherwise.
std::optional<QString> esportaPdfQuadro(const QuadroCalcolato& q, const QString& percorso);
std::optional<QString> esportaDocxQuadro(const QuadroCalcolato& q, const QString& percorso);
std::optional<QString> esportaXlsxQuadro(const QuadroCalcolato& q, const QString& percorso);

// The prints of a framework are plain black on white; colour (the program's
// maroon and yellow) is the user's choice, kept in the settings.
bool stampaAColori();
void impostaStampaAColori(bool colori);
// The items' notes (the article of law they come from) under their labels in
// the prints: the user's choice, kept in the settings; off by default.
bool stampaNote();
void impostaStampaNote(bool note);

// The formats of `varimo --esporta`: the .csv with .pdf, .docx and .xlsx.
Esportatori formatiEsportazione();

// Whether writing percorso needs the fonts of a graphical application (a
// PDF): the command line then runs on the offscreen platform.
bool richiedeCaratteriGrafici(const QString& percorso);

}  // namespace varimo::quadro
