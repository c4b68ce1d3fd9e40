#pragma once

#include <QString>
#include <vector>

#include "reports/documento.h"

namespace varimo {

// The page every document is laid out on, and the decisions both writers
// (the .docx package and the PDF) share: page and margins, table column
// widths, cell margins and the footer. Lengths are in twips (1/1440 inch,
// 1/20 point).

// A4 portrait, 2 cm side and bottom margins, 2.5 cm top margin; the footer
// ends 1.25 cm above the bottom edge.
inline constexpr int kLarghezzaPagina = 11906;
inline constexpr int kAltezzaPagina = 16838;
inline constexpr int kMargineLato = 1134;
inline constexpr int kMargineAlto = 1417;
inline constexpr int kMargineBasso = 1134;
inline constexpr int kDistanzaPiePagina = 708;
inline constexpr int kLarghezzaTesto = kLarghezzaPagina - 2 * kMargineLato;

// Blank space at the left and at the right of the text of every table cell.
inline constexpr int kMargineCella = 108;
// Default tab stops of a paragraph.
inline constexpr int kTabulazione = 709;

// Size of the footer text, points.
inline constexpr double kDimensionePiePagina = 8;

// Width of a line of text, in twips, as wide as the widest of the fonts a
// word processor may lay it out with (the font the document asks for, its
// metric twin, and the fonts Linux systems put in its place): a column at
// least this wide (plus the cell margins) holds the line without breaking it.
int larghezzaRiga(const QString& testo, double punti, bool grassetto);

// Whether a table row is set in bold: the heading row of the coloured format.
bool rigaInGrassetto(const Tabella& t, int riga);
// Whether a cell is set in bold: its row is, or the cell itself was made bold.
bool cellaInGrassetto(const Tabella& t, int riga, int colonna);

// Column widths of a table, in twips, within the text width: the widths are
// fixed in the document, so every word processor lays the table out the
// same way. A plain table has even columns, as a new table in a word
// processor. The automatic format fits them to their contents, filling the
// text width: a column gets at least the room its
// longest line needs when all columns fit; otherwise every column keeps the room of its longest
// word (an amount, a percentage, a row number, a heading never breaks) and
// the columns of running text share what is left, so their lines wrap
// between words. Only words that no width could hold make the widest
// columns give way.
std::vector<int> larghezzeColonne(const Tabella& t, int disponibile = kLarghezzaTesto);

// The footer of every page: the date the document was made (its date of
// printing) at the left, "pag. N di M" at the right.
QString dataPiePagina(const Documento& d);
QString testoPagina(int pagina, int pagine);
// The font the footer is set in: the document's first font, plain, footer
// size.
Carattere caratterePiePagina(const Documento& d);

}  // namespace varimo
