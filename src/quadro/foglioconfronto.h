#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "quadro/fasi.h"

// The comparison as a spreadsheet (.xlsx, libxlsxwriter): the header on top,
// then the column heading (row kRigaColonneConfronto) and one row per item
// with its code, its label and one amount per phase (an empty cell where the
// phase lacks the item); each phase's section is the SUM of its children in
// that phase, its contract amount the cell of its top-level item "A" (a
// value when it has none), its project total the SUM of its top-level
// items, and the difference a formula on the two phases' cells
// (=ROUND(N(E7)-N(C7),2)), so the sheet follows an amount changed by hand.
// A formula longer than a spreadsheet takes is written as its value. Every
// text passes the documents' character filter (a phase's name with a
// noncharacter still gives a file every reader opens). Amounts in
// "#,##0.00", the heading frozen and repeated on every page, A4 fitted to
// the page width.

namespace varimo::quadro {

inline constexpr int kRigaColonneConfronto = 6;  // counted from 1, as the sheet does

std::optional<QByteArray> foglioConfronto(const ConfrontoCalcolato& cc,
                                          QString* errore = nullptr);

}  // namespace varimo::quadro
