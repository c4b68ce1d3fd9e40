#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

struct lxw_workbook;

// What the program's spreadsheets (.xlsx, written with libxlsxwriter) share:
// the limits of a cell and of a formula as Excel and Calc read them, the
// texts and sheet names made fit for the file, sums of cells in as few
// characters as they take, and the library's failures told in Italian.

namespace varimo {

// The longest text a cell holds, in UTF-16 code units as Excel counts them.
inline constexpr qsizetype kTestoMassimoCella = 32767;
// The longest formula Excel accepts, its leading '=' included.
inline constexpr qsizetype kFormulaMassima = 8192;
// The most arguments one function takes.
inline constexpr qsizetype kArgomentiMassimi = 255;

// A text ready for a cell: every character testoPerDocumenti() would refuse
// replaced, and a text longer than a cell holds cut so that it ends with a
// note saying so. A text that fits comes back filtered only.
QString testoCella(const QString& testo);

// A sheet's name: the text of testoCella() without the characters a sheet
// name may not hold ([ ] : * ? / \, each replaced by '_'), without
// apostrophes at its ends, no longer than 31 characters, never empty (then
// `riserva`), and different (case ignored, as the readers compare them) from
// every name in `usati`: a number in brackets is added to tell it apart.
QString nomeFoglio(const QString& nome, const QStringList& usati = {},
                   const QString& riserva = QStringLiteral("Foglio"));

// The letters of a column counted from 0: "A", "B", ... "Z", "AA" ...
QString letteraColonna(int colonna);

// The SUM of the cells of one column at the given rows (counted from 1):
// runs of consecutive rows become ranges ("SUM(D5:D40,D42)"), and more
// arguments than one function takes are grouped in nested SUMs. "0" for no
// row. The result may still be longer than a formula may be: see
// formulaAmmessa().
QString sommaCelle(const QString& colonna, QList<int> righe);

// Whether the formula (with or without its leading '=') fits Excel's limit.
bool formulaAmmessa(const QString& formula);

// The reason, in Italian, of a libxlsxwriter error (its lxw_error).
QString motivoLibro(int errore);

// Closes a workbook of libxlsxwriter, which is when the library writes its
// file. The library's own notes on standard error (in English, for
// developers) are held back; a failure to write (a full disk, a quota, a
// file-size limit) is told as every failed write of the program is, any other
// failure with the reason of motivoLibro(). Nothing on success.
std::optional<QString> chiudiLibro(lxw_workbook* libro);

}  // namespace varimo
